#pragma once
// The one definition of a library file's tables, and the making of new library files.

#include <vector>

#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"

class CDaoDatabase;

namespace vaultry::tables {

// Library generations: the current one (".zblib" files with a version of at least "V8") and
// the older one. Each opens only with its own database password.
enum class Generation { kOlder = 7, kCurrent = 8 };

inline constexpr const char* kCurrentGenerationPassword = "R71K48QQ3";
inline constexpr const char* kOlderGenerationPassword = "Toma";
inline constexpr const char* kCurrentVersion = "V8";
inline constexpr const char* kOlderVersion = "V7";

struct FieldDefinition {
    const char* name;
    short type;
    long size;
    long attributes;
};

struct IndexDefinition {
    const char* name;
    const char* columns;
};

struct TableDefinition {
    const char* name;
    std::vector<FieldDefinition> fields;  // in the order the record sets bind them
    std::vector<IndexDefinition> indexes;
};

class LibrarySchema {
public:
    // The tables every library holds, the five main ones and SYS_INFO.
    static const std::vector<TableDefinition>& Tables();
    // ";PWD=..." for opening a library of `generation`.
    static CString ConnectString(Generation generation);

    // Makes a library at `path`: the tables, the version of its generation, user 0 without a
    // password and with write right, and a root category named `rootName` (its own parent, at
    // level 0). All in one transaction; on failure no file is left. Throws CDaoException.
    static void CreateLibrary(const CString& path, const CString& rootName, Generation generation);

private:
    static void CreateTables(CDaoDatabase& database);
    static void AddFirstRows(CDaoDatabase& database, const CString& rootName,
                             Generation generation);
};

}  // namespace vaultry::tables
