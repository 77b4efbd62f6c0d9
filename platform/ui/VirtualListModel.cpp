#include "platform/ui/VirtualListModel.h"

#include <QPixmap>

int VirtualListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant VirtualListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count || !m_display) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return QString::fromUtf8(m_display(index.row()).text.GetString());
    }
    if (role == Qt::DecorationRole && m_picture) {
        return m_picture(m_display(index.row()));
    }
    return {};
}

Qt::ItemFlags VirtualListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    return m_editable ? flags | Qt::ItemIsEditable : flags;
}

bool VirtualListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !m_onEdited) {
        return false;
    }
    if (!m_onEdited(index.row(), value.toString().toUtf8().constData())) {
        return false;
    }
    Changed(index.row(), index.row());
    return true;
}

void VirtualListModel::SetCount(int count) {
    count = count < 0 ? 0 : count;
    if (count > m_count) {
        beginInsertRows({}, m_count, count - 1);
        m_count = count;
        endInsertRows();
    } else if (count < m_count) {
        beginRemoveRows({}, count, m_count - 1);
        m_count = count;
        endRemoveRows();
    }
}

void VirtualListModel::Changed(int first, int last) {
    if (first <= last && first >= 0 && last < m_count) {
        emit dataChanged(index(first), index(last));
    }
}
