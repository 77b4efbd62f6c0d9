#pragma once
// The drop target of a category tree. It decides nothing itself: it raises the host's
// drag-and-drop event, to which every category tree listens, and shows the effect the keys ask
// for when the tree under the drag accepts. Over the tree, a drag that rests opens the category
// under it and scrolls near the edges.

#include "platform/ui/COleDropTarget.h"

class CTreeCtrl;

class CDragPartTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState,
                           CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState,
                          CPoint point) override;
    void OnDragLeave(CWnd* window) override;
    BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point) override;

    // The effect of a drop by the keys held, among those the source allows: Ctrl alone
    // copies; no Ctrl, or Ctrl with Shift, moves. A move the source does not allow becomes a
    // copy; a copy asked for with Ctrl is never turned into a move.
    static DROPEFFECT EffectForKeys(DWORD keyState, DROPEFFECT allowed);

private:
    // Raises the event for `phase` (0 enter, 3 over, 4 drop); nonzero when a tree accepted.
    static int Raise(CWnd* window, COleDataObject* data, DWORD phase, DROPEFFECT effect,
                     DWORD keyState, CPoint point);
    static void Hover(CWnd* window, CPoint point);
};
