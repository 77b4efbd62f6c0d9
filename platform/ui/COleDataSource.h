#pragma once
// The source side of a drag: the data offered in each clipboard format, and the drag itself,
// which runs until the user drops or gives up. Tests replace the drag with a runner of their
// own that hands the data to a drop target through synthetic drag events.

#include <QByteArray>
#include <functional>
#include <map>

#include "platform/ui/COleDataObject.h"

class CWnd;
class QMimeData;
class QWidget;

class COleDataSource {
public:
    // Runs a drag of `data` from `source`'s widget; the effect the drop took.
    using DragRunner =
        std::function<DROPEFFECT(QWidget* source, QMimeData& data, DROPEFFECT allowed)>;
    // Replaces how drags run (empty: a real drag with the mouse); returns the runner before.
    static DragRunner SetDragRunner(DragRunner runner);

    void CacheGlobalData(CLIPFORMAT format, const QByteArray& bytes);
    // Drags the cached data from `source` allowing `allowed` (copy, move; scroll is ignored:
    // views scroll under a drag by themselves). DROPEFFECT_NONE when nothing was cached, the
    // source has no window, or the user gave up.
    DROPEFFECT DoDragDrop(CWnd& source, DROPEFFECT allowed);

private:
    std::map<CLIPFORMAT, QByteArray> m_data;
};
