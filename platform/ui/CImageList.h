#pragma once
// A list of images of one size, as the tree and list views show them: each added from a bitmap
// with one colour masked out (a bitmap wider than one image gives several, left to right), and
// any of them usable as an overlay drawn over another image.

#include <QPixmap>
#include <map>
#include <vector>

#include "platform/afx/AfxTypes.h"

class CBitmap;

using COLORREF = DWORD;  // 0x00BBGGRR, as Windows keeps colours
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}

class CImageList {
public:
    // An empty list of images `cx` by `cy` pixels.
    BOOL Create(int cx, int cy);
    // Adds the images `bitmap` holds, with `mask` transparent; the index of the first, or -1
    // when the bitmap is not loaded or not as high as the images.
    int Add(const CBitmap& bitmap, COLORREF mask);
    // Image `image` becomes overlay `overlay` (1 to 15), which an item may ask for.
    BOOL SetOverlayImage(int image, int overlay);
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

    // Image `index`, with overlay `overlay` (0 for none) drawn over it; a transparent image of
    // the list's size when `index` is out of range.
    QPixmap Draw(int index, int overlay = 0) const;

private:
    int m_cx = 0;
    int m_cy = 0;
    std::vector<QPixmap> m_images;
    std::map<int, int> m_overlays;  // overlay number to image index
};
