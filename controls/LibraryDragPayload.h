#pragma once
// What a drag of categories or parts carries in the clipboard format "Library Part drag": the
// kind, then an array of the dragged items, each as its id and its library. The items are
// carried by value, not by address, and each payload names the process that made it: data from
// another program or another run is refused, never read as a reference.

#include <QByteArray>
#include <optional>
#include <vector>

#include "controls/LibraryItem.h"

struct LibraryDragPayload {
    enum class Kind { kCategory = 0, kParts = 1 };

    static constexpr const char* kFormatName = "Library Part drag";
    // Offered by other parts of the host; taken where it lands, never offered here.
    static constexpr const char* kOtherFormatName = "Part drag";

    Kind kind = Kind::kCategory;
    std::vector<LibraryItem> items;

    QByteArray Encode() const;
    // Nullopt for damaged data, data of another process, an unknown kind or library, and a
    // category drag of other than one category.
    static std::optional<LibraryDragPayload> Decode(const QByteArray& bytes);
};
