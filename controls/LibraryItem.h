#pragma once
// A category or a part as the controls hand it around: its id in its library, and the library.

#include "resources/DatabaseType.h"

struct LibraryItem {
    long id = 0;
    DATABASETYPE tier = DATABASETYPE_USER;
    bool operator==(const LibraryItem&) const = default;
};
