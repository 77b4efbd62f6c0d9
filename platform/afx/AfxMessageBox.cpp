#include "platform/afx/AfxMessageBox.h"

#include <cstdio>

namespace {

int WriteToStandardError(const CString& text, UINT type, UINT) {
    std::fprintf(stderr, "%s\n", text.GetString());
    return AfxDefaultButton(type);
}

AfxMessageBoxHandler& CurrentHandler() {
    static AfxMessageBoxHandler handler = WriteToStandardError;
    return handler;
}

}  // namespace

AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler handler) {
    AfxMessageBoxHandler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : AfxMessageBoxHandler(WriteToStandardError);
    return previous;
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    // Copied first: a handler may replace itself while it runs.
    const AfxMessageBoxHandler handler = CurrentHandler();
    return handler(CString(text), type, helpId);
}

int AfxMessageBox(UINT id, UINT type, UINT helpId) {
    CString text;
    text.LoadString(id);
    return AfxMessageBox(text, type, helpId);
}

int AfxDefaultButton(UINT type) {
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},       // MB_OK
        {IDOK, IDCANCEL, IDOK},   // MB_OKCANCEL
        {IDOK, IDOK, IDOK},       // (abort/retry/ignore: not used)
        {IDYES, IDNO, IDCANCEL},  // MB_YESNOCANCEL
        {IDYES, IDNO, IDYES},     // MB_YESNO
    };
    const UINT kind = type & MB_TYPEMASK;
    const UINT which = (type & MB_DEFMASK) >> 8;
    if (kind >= sizeof(buttons) / sizeof(buttons[0]) || which > 2) {
        return IDOK;
    }
    return buttons[kind][which];
}

void AfxFormatString1(CString& out, UINT id, const char* arg) {
    out.LoadString(id);
    out.Replace("%1", arg);
}
