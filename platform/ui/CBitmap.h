#pragma once
// A bitmap of a module's resources, decoded from the image file the module holds.

#include <memory>

#include "platform/afx/CResourceModule.h"

class QImage;

class CBitmap {
public:
    CBitmap();
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Bitmap `id` of the current resource module (the one a module's dialog makes current
    // while it runs). FALSE when the module has none or it does not decode.
    BOOL LoadBitmap(UINT id);
    // Bitmap `id` of `module` (a plug-in's, say); FALSE as above, also for no module.
    BOOL LoadBitmap(HINSTANCE module, UINT id);
    // Null before a successful load.
    const QImage* Image() const { return m_image.get(); }

private:
    std::unique_ptr<QImage> m_image;
};
