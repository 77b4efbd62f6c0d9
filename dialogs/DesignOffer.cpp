#include "dialogs/DesignOffer.h"

#include <vector>

#include "host/CDrwSubSheet.h"

void OfferDesign(CDrwSubSheet& sheet, DesignOffer& offer) {
    offer.selection.reset(sheet.CreateGroupOfObjects(true));
    if (offer.selection != nullptr && offer.selection->GetObjectCount() == 1 &&
        offer.selection->GetObject(0)->IsGroup()) {
        offer.selection.reset(dynamic_cast<CDrwGroup*>(offer.selection->GetObject(0)->Clone()));
    }
    if (offer.selection != nullptr && offer.selection->GetObjectCount() == 0) {
        offer.selection.reset();
    }
    std::vector<CDrwSubSheet::ValidLibraryObject> valid;
    sheet.GetObjectsValidForLibrary(valid);
    for (const CDrwSubSheet::ValidLibraryObject& entry : valid) {
        const auto* group = dynamic_cast<const CDrwGroup*>(entry.object);
        if (group != nullptr && group->GetObjectCount() > 0) {
            auto* copy = dynamic_cast<CDrawObject*>(group->Clone());
            copy->SetName(entry.name);
            offer.parts.Add(copy);
        }
    }
}
