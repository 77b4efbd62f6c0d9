#pragma once
// Drags in tests, as the mouse and the window system make them, without a window system's drag
// loop: a press and a move start a view's drag, and while a SyntheticDrop lives every drag a
// control runs is delivered as enter, move and (when the move was taken) drop events at the
// point aimed at.

#include <QAbstractItemView>
#include <QMimeData>
#include <string>

#include "platform/ui/COleDataSource.h"
#include "platform/ui/CTreeCtrl.h"

namespace vaultry::test {

// Presses on `from` in `view` and moves far enough for the view to start its drag. The drag
// takes the release, as a real one does.
void MouseDrag(QAbstractItemView* view, QPoint from);

// The place of `item` in `tree`'s view, scrolled into view.
QPoint PointOf(CTreeCtrl& tree, HTREEITEM item);

class SyntheticDrop {
public:
    SyntheticDrop();
    ~SyntheticDrop();
    SyntheticDrop(const SyntheticDrop&) = delete;
    SyntheticDrop& operator=(const SyntheticDrop&) = delete;

    // Drags from now on drop on `item` of `target` with `keys` held.
    void Aim(CTreeCtrl& target, HTREEITEM item, Qt::KeyboardModifiers keys = {});
    // Delivers a drag of `data` allowing `allowed`; the effect of the drop, none when the
    // target showed none.
    DROPEFFECT Drop(QMimeData& data, DROPEFFECT allowed);

    // Of the last drag: the effect the target showed before the drop, and the text of the item
    // it showed as the drop target ("" for none).
    DROPEFFECT Shown() const { return m_shown; }
    const std::string& Highlighted() const { return m_highlighted; }

private:
    CTreeCtrl* m_target = nullptr;  // not owned
    QPoint m_at;
    Qt::KeyboardModifiers m_keys;
    DROPEFFECT m_shown = DROPEFFECT_NONE;
    std::string m_highlighted;
    COleDataSource::DragRunner m_previous;
};

}  // namespace vaultry::test
