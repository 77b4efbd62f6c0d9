#include "platform/ui/TreeItemModel.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <utility>

#include "platform/afx/UnicodeCase.h"

HTREEITEM TreeItemModel::ItemOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<HTREEITEM>(index.internalPointer()) : nullptr;
}

QModelIndex TreeItemModel::IndexOf(HTREEITEM item) const {
    return item ? createIndex(item->row, 0, item) : QModelIndex();
}

std::vector<std::unique_ptr<TreeItem>>& TreeItemModel::ChildrenOf(HTREEITEM parent) {
    return parent ? parent->children : m_top;
}

QModelIndex TreeItemModel::index(int row, int column, const QModelIndex& parent) const {
    const auto& items = parent.isValid() ? ItemOf(parent)->children : m_top;
    if (column != 0 || row < 0 || row >= static_cast<int>(items.size())) {
        return {};
    }
    return createIndex(row, 0, items[static_cast<std::size_t>(row)].get());
}

QModelIndex TreeItemModel::parent(const QModelIndex& child) const {
    const HTREEITEM item = ItemOf(child);
    return item ? IndexOf(item->parent) : QModelIndex();
}

int TreeItemModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return static_cast<int>(parent.isValid() ? ItemOf(parent)->children.size() : m_top.size());
}

int TreeItemModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TreeItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return QString::fromUtf8(ItemOf(index)->text.GetString());
    }
    // The drop target shows as selected does, while the selection stays where it is.
    if (ItemOf(index) == m_dropTarget && role == Qt::BackgroundRole) {
        return QGuiApplication::palette().highlight();
    }
    if (ItemOf(index) == m_dropTarget && role == Qt::ForegroundRole) {
        return QGuiApplication::palette().highlightedText();
    }
    return {};
}

void TreeItemModel::SetDropTarget(HTREEITEM item) {
    const HTREEITEM before = std::exchange(m_dropTarget, item);
    for (const HTREEITEM changed : {before, item}) {
        if (changed != nullptr && m_batch == 0) {
            const QModelIndex at = IndexOf(changed);
            emit dataChanged(at, at, {Qt::BackgroundRole, Qt::ForegroundRole});
        }
    }
}

Qt::ItemFlags TreeItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return m_editable ? flags | Qt::ItemIsEditable : flags;
}

bool TreeItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const CString text = value.toString().toUtf8().constData();
    if (m_onEdited && !m_onEdited(ItemOf(index), text)) {
        return false;
    }
    SetText(ItemOf(index), text);
    return true;
}

void TreeItemModel::Renumber(std::vector<std::unique_ptr<TreeItem>>& items, std::size_t from) {
    for (std::size_t i = from; i < items.size(); ++i) {
        items[i]->row = static_cast<int>(i);
    }
}

HTREEITEM TreeItemModel::Append(HTREEITEM parent, const CString& text) {
    auto& items = ChildrenOf(parent);
    auto item = std::make_unique<TreeItem>();
    item->text = text;
    item->parent = parent;
    item->row = static_cast<int>(items.size());
    if (m_batch == 0) {
        beginInsertRows(IndexOf(parent), item->row, item->row);
    }
    items.push_back(std::move(item));
    if (m_batch == 0) {
        endInsertRows();
    }
    return items.back().get();
}

void TreeItemModel::Remove(HTREEITEM item) {
    for (HTREEITEM at = m_dropTarget; at != nullptr; at = at->parent) {
        if (at == item) {
            m_dropTarget = nullptr;  // goes with the item
            break;
        }
    }
    auto& items = ChildrenOf(item->parent);
    const int row = item->row;
    if (m_batch == 0) {
        beginRemoveRows(IndexOf(item->parent), row, row);
    }
    items.erase(items.begin() + row);
    Renumber(items, static_cast<std::size_t>(row));
    if (m_batch == 0) {
        endRemoveRows();
    }
}

void TreeItemModel::RemoveAll() {
    m_dropTarget = nullptr;
    BeginBatch();
    m_top.clear();
    EndBatch();
}

void TreeItemModel::SetText(HTREEITEM item, const CString& text) {
    item->text = text;
    if (m_batch == 0) {
        const QModelIndex changed = IndexOf(item);
        emit dataChanged(changed, changed);
    }
}

void TreeItemModel::SortChildren(HTREEITEM parent) {
    auto& items = ChildrenOf(parent);
    const QModelIndex parentIndex = IndexOf(parent);
    if (m_batch == 0) {
        emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)});
    }
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return vaultry::text::CompareFolded(a->text.str(), b->text.str()) < 0;
    });
    Renumber(items, 0);
    if (m_batch == 0) {
        for (const QModelIndex& kept : persistentIndexList()) {
            const HTREEITEM item = ItemOf(kept);
            if (item != nullptr && item->parent == parent) {
                changePersistentIndex(kept, createIndex(item->row, 0, item));
            }
        }
        emit layoutChanged({QPersistentModelIndex(parentIndex)});
    }
}

void TreeItemModel::BeginBatch() {
    if (m_batch++ == 0) {
        beginResetModel();
    }
}

void TreeItemModel::EndBatch() {
    if (--m_batch == 0) {
        endResetModel();
    }
}
