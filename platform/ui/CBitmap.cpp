#include "platform/ui/CBitmap.h"

#include <QImage>

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT id) {
    return LoadBitmap(AfxGetResourceHandle(), id);
}

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT id) {
    const CResourceBitmap* bitmap = module ? module->FindBitmap(id) : nullptr;
    if (bitmap == nullptr) {
        return FALSE;
    }
    auto image = std::make_unique<QImage>();
    if (!image->loadFromData(bitmap->data, static_cast<int>(bitmap->size), "PNG")) {
        return FALSE;
    }
    m_image = std::move(image);
    return TRUE;
}
