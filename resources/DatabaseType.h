#pragma once
// The tier of a library database. Stored as a 32-bit number in the registry and in item data;
// any number may arrive, and the library set answers every unknown one with the master tier.

enum DATABASETYPE : long {
    DATABASETYPE_MASTER = 1,
    DATABASETYPE_CORPORATE = 2,
    DATABASETYPE_USER = 3,
};
