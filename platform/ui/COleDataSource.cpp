#include "platform/ui/COleDataSource.h"

#include <QDrag>
#include <QMimeData>
#include <memory>
#include <utility>

#include "platform/ui/CWnd.h"

namespace {

COleDataSource::DragRunner& Runner() {
    static COleDataSource::DragRunner runner;
    return runner;
}

constexpr DROPEFFECT kDragEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

DROPEFFECT RunRealDrag(QWidget* source, std::unique_ptr<QMimeData> data, DROPEFFECT allowed) {
    // QDrag takes the data and deletes itself once the drag is over.
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    const auto actions = static_cast<Qt::DropActions>(static_cast<int>(allowed));
    const Qt::DropAction preferred =
        (allowed & DROPEFFECT_MOVE) != 0 ? Qt::MoveAction : Qt::CopyAction;
    return static_cast<DROPEFFECT>(drag->exec(actions, preferred)) & allowed;
}

}  // namespace

COleDataSource::DragRunner COleDataSource::SetDragRunner(DragRunner runner) {
    return std::exchange(Runner(), std::move(runner));
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, const QByteArray& bytes) {
    m_data[format] = bytes;
}

DROPEFFECT COleDataSource::DoDragDrop(CWnd& source, DROPEFFECT allowed) {
    allowed &= kDragEffects;
    if (m_data.empty() || source.Widget() == nullptr || allowed == DROPEFFECT_NONE) {
        return DROPEFFECT_NONE;
    }
    auto data = std::make_unique<QMimeData>();
    for (const auto& [format, bytes] : m_data) {
        data->setData(QString::fromUtf8(ClipboardFormatName(format).GetString()), bytes);
    }
    if (const DragRunner& runner = Runner()) {
        return runner(source.Widget(), *data, allowed) & allowed;
    }
    return RunRealDrag(source.Widget(), std::move(data), allowed);
}
