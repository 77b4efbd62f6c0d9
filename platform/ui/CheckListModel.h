#pragma once
// The Qt model of a check list box: texts kept in the order names compare everywhere in the
// libraries (case ignored), each with a pointer the owner gives it and a check mark. The view
// draws the marks; only the owner changes them, so a click cannot tick what the owner refuses.

#include <QAbstractListModel>
#include <vector>

#include "platform/afx/CString.h"

class CheckListModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Puts `text` at its sorted place, unchecked and without data; its index.
    int Add(const CString& text);
    void Remove(int row);
    void Clear();
    int Count() const { return static_cast<int>(m_items.size()); }
    // Whether `row` is an item; the getters below answer nothing for one that is not.
    bool Has(int row) const { return row >= 0 && row < Count(); }
    CString Text(int row) const;
    void SetData(int row, void* data);
    void* Data(int row) const;
    void SetChecked(int row, bool checked);
    bool Checked(int row) const;

private:
    struct Item {
        CString text;
        void* data = nullptr;  // the owner's; not owned
        bool checked = false;
    };
    std::vector<Item> m_items;
};
