#pragma once
// What a drag carries, as the window under it sees it: the data in each clipboard format the
// source offers, and the effects the source allows. Clipboard formats are registered by name;
// each is carried as the MIME type of that name, so a drag between two windows of one process
// hands the same data over.

#include <QByteArray>
#include <optional>

#include "platform/afx/AfxTypes.h"
#include "platform/afx/CString.h"

class QMimeData;

using DROPEFFECT = DWORD;
constexpr DROPEFFECT DROPEFFECT_NONE = 0;
constexpr DROPEFFECT DROPEFFECT_COPY = 1;
constexpr DROPEFFECT DROPEFFECT_MOVE = 2;
constexpr DROPEFFECT DROPEFFECT_LINK = 4;
constexpr DROPEFFECT DROPEFFECT_SCROLL = 0x80000000;

// Key and button state during a drag.
constexpr DWORD MK_LBUTTON = 0x1;
constexpr DWORD MK_RBUTTON = 0x2;
constexpr DWORD MK_SHIFT = 0x4;
constexpr DWORD MK_CONTROL = 0x8;
constexpr DWORD MK_MBUTTON = 0x10;
constexpr DWORD MK_ALT = 0x20;

using CLIPFORMAT = UINT;

// The number of the format `name`: the same name gives the same number for the life of the
// process. 0 for an empty name.
CLIPFORMAT RegisterClipboardFormatA(const char* name);
// The name of a registered format, empty for an unknown number.
CString ClipboardFormatName(CLIPFORMAT format);

class COleDataObject {
public:
    // `data` is not owned and must outlive this object; `allowed` are the source's effects.
    COleDataObject(const QMimeData* data, DROPEFFECT allowed) : m_data(data), m_allowed(allowed) {}

    BOOL IsDataAvailable(CLIPFORMAT format) const;
    // The bytes in `format`; nullopt when the source offers none.
    std::optional<QByteArray> GetData(CLIPFORMAT format) const;
    DROPEFFECT GetAllowedEffects() const { return m_allowed; }

private:
    const QMimeData* m_data;
    DROPEFFECT m_allowed;
};
