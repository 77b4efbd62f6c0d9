#include "platform/ui/CheckListModel.h"

#include "platform/afx/UnicodeCase.h"

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !Has(index.row())) {
        return {};
    }
    const Item& item = m_items[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return QString::fromUtf8(item.text.GetString());
        case Qt::CheckStateRole:
            return item.checked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

// Not user-checkable: the view would tick on a click by itself.
Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int CheckListModel::Add(const CString& text) {
    int row = 0;
    while (row < Count() &&
           vaultry::text::CompareFolded(m_items[static_cast<std::size_t>(row)].text.str(),
                                        text.str()) <= 0) {
        ++row;
    }
    beginInsertRows({}, row, row);
    m_items.insert(m_items.begin() + row, Item{text});
    endInsertRows();
    return row;
}

void CheckListModel::Remove(int row) {
    if (Has(row)) {
        beginRemoveRows({}, row, row);
        m_items.erase(m_items.begin() + row);
        endRemoveRows();
    }
}

void CheckListModel::Clear() {
    beginResetModel();
    m_items.clear();
    endResetModel();
}

CString CheckListModel::Text(int row) const {
    return Has(row) ? m_items[static_cast<std::size_t>(row)].text : CString();
}

void CheckListModel::SetData(int row, void* data) {
    if (Has(row)) {
        m_items[static_cast<std::size_t>(row)].data = data;
    }
}

void* CheckListModel::Data(int row) const {
    return Has(row) ? m_items[static_cast<std::size_t>(row)].data : nullptr;
}

void CheckListModel::SetChecked(int row, bool checked) {
    if (Has(row) && m_items[static_cast<std::size_t>(row)].checked != checked) {
        m_items[static_cast<std::size_t>(row)].checked = checked;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed, {Qt::CheckStateRole});
    }
}

bool CheckListModel::Checked(int row) const {
    return Has(row) && m_items[static_cast<std::size_t>(row)].checked;
}
