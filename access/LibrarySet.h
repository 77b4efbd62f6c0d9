#pragma once
// The three library databases, one per tier, on one shared workspace. The library set owns the
// workspace and the handlers from AssureDBLoaded until UnloadDB.

#include "resources/DatabaseType.h"

class CMSAccessDBHandler;

// The handler of a tier: 2 corporate, 3 user, any other value master. Null before
// AssureDBLoaded has run and after UnloadDB. Not owned by the caller.
CMSAccessDBHandler* GetAccessDB(DATABASETYPE type);
// Makes what is missing and opens the master, corporate and user library in that order,
// stopping at the first that fails. True only when all three are open.
bool AssureDBLoaded();
// Closes the three handlers, closes and frees the workspace, frees the handlers.
void UnloadDB();
