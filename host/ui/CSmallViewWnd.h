#pragma once
// A small view of drawing objects: the objects it is given (never owned), drawn in their layers'
// colours on a dark plate and fitted to the window with a margin; fitted again whenever the
// window changes size.

#include <vector>

#include "host/ui/LayerPalette.h"
#include "platform/afx/CString.h"
#include "platform/ui/CWnd.h"

class CDrawObject;
class CDrwObList;
class CTotalLayerInformation;
class QPainter;

class CSmallViewWnd : public CWnd {
public:
    CSmallViewWnd();
    ~CSmallViewWnd() override;

    // The view as a child of `parent` (or a window of its own), in `rect`.
    BOOL Create(const CRect& rect, CWnd* parent);
    // The definitions the objects are drawn with; copied. A null one keeps the one before.
    void Init(const CColorDefinition* colours, const CLayerDefinition* layers,
              const CTotalLayerInformation* total);

    // The objects to show, not owned: they must live until removed or the view goes.
    void AddDrawObject(CDrawObject* object, bool flag);
    void AddList(const CDrwObList* list);
    void SetObjectList(const CDrwObList* list);
    // Forgets the objects; frees nothing.
    void RemoveAllObjects();
    int GetObjectCount() const { return static_cast<int>(m_objects.size()); }

    void ZoomToFitObjects();
    void Invalidate();
    // A line shown in the middle of the view while it shows no objects ("" for none).
    void SetMessage(const CString& message);

    // Draws what the view shows into `painter`, `width` by `height` pixels.
    void Paint(QPainter& painter, int width, int height) const;

protected:
    LayerPalette& Palette() { return m_palette; }

private:
    std::vector<const CDrawObject*> m_objects;  // not owned
    LayerPalette m_palette;
    CString m_message;
};
