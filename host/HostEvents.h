#pragma once
// The host's events the library module raises or listens to: a registry of callbacks, each
// called with the event's record until one accepts it.

#include <functional>
#include <vector>

#include "platform/afx/AfxTypes.h"
#include "platform/afx/CResourceModule.h"

class COleDataObject;
class CWnd;

template <typename Info>
class HostEvent {
public:
    // Returns nonzero when it accepted the event.
    using Callback = std::function<int(Info& info)>;

    // `subscriber` (not owned) names whose callback it is, for RemoveCallBacks.
    void AddCallBack(const void* subscriber, Callback callback) {
        m_callbacks.push_back({subscriber, std::move(callback)});
    }
    // Removes the callbacks of `subscriber` only: a window going away leaves the others.
    void RemoveCallBacks(const void* subscriber) {
        std::erase_if(m_callbacks,
                      [subscriber](const Entry& entry) { return entry.subscriber == subscriber; });
    }
    void RemoveAllCallBacks() { m_callbacks.clear(); }
    // Nonzero when a callback accepted; the second argument is kept for the host's signature.
    int DoEvent(Info& info, int) {
        // Copied first: a callback may change the registry while it runs.
        const std::vector<Entry> callbacks = m_callbacks;
        for (const Entry& entry : callbacks) {
            if (const int accepted = entry.callback(info)) {
                return accepted;
            }
        }
        return 0;
    }
    int GetCallBackCount() const { return static_cast<int>(m_callbacks.size()); }

private:
    struct Entry {
        const void* subscriber;
        Callback callback;
    };
    std::vector<Entry> m_callbacks;
};

// What a drag over a window carries to the drag-and-drop event.
struct DRAGDROP_EVENTINFO {
    CWnd* pTargetWnd = nullptr;
    COleDataObject* pDataObject = nullptr;
    DWORD dwDropEffect =
        0;       // 1 while entering and over; on drop the effect chosen (1 copy, 2 move)
    long x = 0;  // cursor, in the target's client coordinates
    long y = 0;
    DWORD dwKeyState = 0;  // during drag-over only
    DWORD nPhase = 0;      // 0 enter, 3 over, 4 drop
    UINT nClipboardFormat = 0;
};

// A part to open on a sheet of its own: `lObjectID`, `DATABASETYPE` and 0, all 0 for a new part.
struct PART_REFERENCE {
    long lObjectID = 0;
    long lDatabaseType = 0;
    long lReserved = 0;
};

// Asks the host to open an empty project sheet for a new or edited part.
struct CREATE_SUBSHEET_REQUEST {
    HINSTANCE hModule = nullptr;
    const char* pszDocType = nullptr;
    long lReserved1 = 0;
    long lReserved2 = 0;
    long lCount = 1;
    PART_REFERENCE* pPart = nullptr;
};

// The host's two events; every category tree subscribes to the first.
HostEvent<DRAGDROP_EVENTINFO>& EventDragAndDrop();
HostEvent<CREATE_SUBSHEET_REQUEST>& EventCreateEmptyProjectSubsheet();
