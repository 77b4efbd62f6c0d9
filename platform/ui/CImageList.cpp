#include "platform/ui/CImageList.h"

#include <QImage>
#include <QPainter>

#include "platform/ui/CBitmap.h"

BOOL CImageList::Create(int cx, int cy) {
    if (cx <= 0 || cy <= 0) {
        return FALSE;
    }
    m_cx = cx;
    m_cy = cy;
    m_images.clear();
    m_overlays.clear();
    return TRUE;
}

int CImageList::Add(const CBitmap& bitmap, COLORREF mask) {
    const QImage* source = bitmap.Image();
    if (source == nullptr || m_cx == 0 || source->height() != m_cy || source->width() < m_cx) {
        return -1;
    }
    QImage image = source->convertToFormat(QImage::Format_ARGB32);
    const QRgb masked = qRgb(mask & 0xFF, (mask >> 8) & 0xFF, (mask >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (masked & 0xFFFFFF)) {
                line[x] = 0;
            }
        }
    }
    const int first = GetImageCount();
    for (int x = 0; x + m_cx <= image.width(); x += m_cx) {
        m_images.push_back(QPixmap::fromImage(image.copy(x, 0, m_cx, m_cy)));
    }
    return first;
}

BOOL CImageList::SetOverlayImage(int image, int overlay) {
    if (image < 0 || image >= GetImageCount() || overlay < 1 || overlay > 15) {
        return FALSE;
    }
    m_overlays[overlay] = image;
    return TRUE;
}

QPixmap CImageList::Draw(int index, int overlay) const {
    QPixmap result(m_cx > 0 ? m_cx : 1, m_cy > 0 ? m_cy : 1);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    if (index >= 0 && index < GetImageCount()) {
        painter.drawPixmap(0, 0, m_images[static_cast<std::size_t>(index)]);
    }
    const auto over = m_overlays.find(overlay);
    if (over != m_overlays.end()) {
        painter.drawPixmap(0, 0, m_images[static_cast<std::size_t>(over->second)]);
    }
    return result;
}
