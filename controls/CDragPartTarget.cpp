#include "controls/CDragPartTarget.h"

#include "controls/LibraryDragPayload.h"
#include "host/HostEvents.h"
#include "platform/ui/CTreeCtrl.h"

namespace {

CLIPFORMAT LibraryFormat() {
    return RegisterClipboardFormatA(LibraryDragPayload::kFormatName);
}

bool OffersAnyFormat(const COleDataObject& data) {
    return data.IsDataAvailable(LibraryFormat()) ||
           data.IsDataAvailable(RegisterClipboardFormatA(LibraryDragPayload::kOtherFormatName));
}

constexpr DWORD kPhaseEnter = 0;
constexpr DWORD kPhaseOver = 3;
constexpr DWORD kPhaseDrop = 4;

}  // namespace

DROPEFFECT CDragPartTarget::EffectForKeys(DWORD keyState, DROPEFFECT allowed) {
    const bool copyAsked = (keyState & MK_CONTROL) != 0 && (keyState & MK_SHIFT) == 0;
    if (copyAsked) {
        return allowed & DROPEFFECT_COPY;
    }
    if ((allowed & DROPEFFECT_MOVE) != 0) {
        return DROPEFFECT_MOVE;
    }
    return allowed & DROPEFFECT_COPY;
}

int CDragPartTarget::Raise(CWnd* window, COleDataObject* data, DWORD phase, DROPEFFECT effect,
                           DWORD keyState, CPoint point) {
    DRAGDROP_EVENTINFO info;
    info.pTargetWnd = window;
    info.pDataObject = data;
    info.dwDropEffect = effect;
    info.x = point.x;
    info.y = point.y;
    info.dwKeyState = keyState;
    info.nPhase = phase;
    info.nClipboardFormat = LibraryFormat();
    return EventDragAndDrop().DoEvent(info, 0);
}

void CDragPartTarget::Hover(CWnd* window, CPoint point) {
    if (auto* tree = dynamic_cast<CTreeCtrl*>(window)) {
        tree->DragHover(point);
    }
}

DROPEFFECT CDragPartTarget::OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState,
                                        CPoint point) {
    if (data == nullptr || !OffersAnyFormat(*data)) {
        return DROPEFFECT_NONE;
    }
    Hover(window, point);
    if (Raise(window, data, kPhaseEnter, DROPEFFECT_COPY, 0, point) == 0) {
        return DROPEFFECT_NONE;
    }
    return EffectForKeys(keyState, data->GetAllowedEffects());
}

DROPEFFECT CDragPartTarget::OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState,
                                       CPoint point) {
    if (data == nullptr || !data->IsDataAvailable(LibraryFormat())) {
        return DROPEFFECT_NONE;
    }
    Hover(window, point);
    if (Raise(window, data, kPhaseOver, DROPEFFECT_COPY, keyState, point) == 0) {
        return DROPEFFECT_NONE;
    }
    return EffectForKeys(keyState, data->GetAllowedEffects());
}

void CDragPartTarget::OnDragLeave(CWnd* window) {
    if (auto* tree = dynamic_cast<CTreeCtrl*>(window)) {
        tree->EndDragHover();
    }
}

BOOL CDragPartTarget::OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point) {
    OnDragLeave(window);
    if (data == nullptr || !OffersAnyFormat(*data)) {
        return FALSE;
    }
    return Raise(window, data, kPhaseDrop, effect, 0, point) != 0;
}
