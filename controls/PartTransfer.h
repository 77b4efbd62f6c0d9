#pragma once
// Parts copied or moved into a category, from any library into any library: what the part
// list's Copy and Move and a drop of parts on the tree have in common.

#include <vector>

#include "controls/LibraryItem.h"

// Copies (with `move`, moves) each of `parts` into category `treeID` of library `tier`; true
// when at least one went. Each part goes whole or not at all: one that is missing or that the
// user may not change is passed over, and a failure of a library file is shown.
bool TransferParts(const std::vector<LibraryItem>& parts, long treeID, DATABASETYPE tier,
                   bool move);
