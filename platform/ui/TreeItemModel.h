#pragma once
// The Qt model of a tree view's items: one column, each index pointing at its TreeItem. Changes
// go through it so that the view hears of each; many changes may be batched into one reset.

#include <QAbstractItemModel>
#include <functional>

#include "platform/ui/TreeItems.h"

class TreeItemModel : public QAbstractItemModel {
public:
    TreeItemModel() = default;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The item of `index`, or null (the top level).
    static HTREEITEM ItemOf(const QModelIndex& index);
    QModelIndex IndexOf(HTREEITEM item) const;

    // The children of `parent` (null: the top level).
    std::vector<std::unique_ptr<TreeItem>>& ChildrenOf(HTREEITEM parent);
    // A new last child of `parent` (null: the top level).
    HTREEITEM Append(HTREEITEM parent, const CString& text);
    void Remove(HTREEITEM item);
    void RemoveAll();
    void SetText(HTREEITEM item, const CString& text);
    // Orders the children of `parent` by text, case ignored as names compare everywhere.
    void SortChildren(HTREEITEM parent);
    // Between these two, changes reach the view as one reset at the end.
    void BeginBatch();
    void EndBatch();

    // The item a drag would drop on, shown highlighted (null: none).
    void SetDropTarget(HTREEITEM item);
    HTREEITEM DropTarget() const { return m_dropTarget; }

    bool m_editable = false;
    // Asked when an edited label is to be taken: true keeps the new text.
    std::function<bool(HTREEITEM item, const CString& text)> m_onEdited;

private:
    static void Renumber(std::vector<std::unique_ptr<TreeItem>>& items, std::size_t from);

    std::vector<std::unique_ptr<TreeItem>> m_top;
    int m_batch = 0;
    HTREEITEM m_dropTarget = nullptr;
};
