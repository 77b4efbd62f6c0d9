#pragma once
// The Qt model of a list view in owner-data mode: it knows only how many items there are and
// asks its owner for an item's text and images when the view draws it.

#include <QAbstractListModel>
#include <functional>

#include "platform/afx/CString.h"

class QPixmap;

// What the owner tells of one item.
struct ListItemDisplay {
    CString text;
    int image = -1;      // in the small image list; -1 for none
    int overlay = 0;     // overlay number of the small image list; 0 for none
    int stateImage = 0;  // 1-based index in the state image list; 0 for none
};

class VirtualListModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The number of items; the view hears of the items added or gone.
    void SetCount(int count);
    int Count() const { return m_count; }
    // The view redraws items `first` to `last`.
    void Changed(int first, int last);

    // Asked for every item drawn or read.
    std::function<ListItemDisplay(int item)> m_display;
    // The picture of an item's images.
    std::function<QPixmap(const ListItemDisplay& item)> m_picture;
    // Asked when an edited label is to be taken: true keeps the new text.
    std::function<bool(int item, const CString& text)> m_onEdited;
    bool m_editable = false;

private:
    int m_count = 0;
};
