#pragma once
// What an open design offers the store dialog: its selection as one part, and copies of its
// parts, each under the name the design gives it.

#include <memory>

#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"

class CDrwSubSheet;

struct DesignOffer {
    // The selection as one group; a selection that is one part is that part itself, with its
    // name. Null when nothing is selected.
    std::unique_ptr<CDrwGroup> selection;
    CDrwObList parts{true};  // owns its copies

    bool Empty() const { return selection == nullptr && parts.GetCount() == 0; }
};

void OfferDesign(CDrwSubSheet& sheet, DesignOffer& offer);
