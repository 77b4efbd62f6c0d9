#include "host/HostEvents.h"

HostEvent<DRAGDROP_EVENTINFO>& EventDragAndDrop() {
    static HostEvent<DRAGDROP_EVENTINFO> event;
    return event;
}

HostEvent<CREATE_SUBSHEET_REQUEST>& EventCreateEmptyProjectSubsheet() {
    static HostEvent<CREATE_SUBSHEET_REQUEST> event;
    return event;
}
