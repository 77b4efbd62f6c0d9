#include "tables/LibraryExaminer.h"

#include <filesystem>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"

namespace vaultry::tables {
namespace {

// Opens `path` with the password of either generation; says which one fitted.
Generation OpenEitherGeneration(CDaoDatabase& database, const CString& path) {
    for (Generation generation : {Generation::kCurrent, Generation::kOlder}) {
        try {
            database.Open(path, FALSE, TRUE, LibrarySchema::ConnectString(generation));
            return generation;
        } catch (const CDaoException& e) {
            if (e.m_pErrorInfo->m_lErrorCode != JET_ERROR_INVALID_PASSWORD) {
                throw UnusableLibrary(CString(e.GetErrorMessage()).str());
            }
        }
    }
    throw UnusableLibrary(
        "wrong password: the file is protected by a password of no library "
        "generation");
}

long CountRows(CDaoDatabase& database, const char* table) {
    CDaoRecordset count(&database);
    count.Open(dbOpenSnapshot, CString("SELECT Count(*) AS n FROM [") + table + "]");
    return static_cast<long>(count.GetFieldValue(0).AsInt64());
}

}  // namespace

bool LibraryExaminer::HoldsLibrary(const CString& path) {
    CDaoDatabase database;
    try {
        OpenEitherGeneration(database, path);
    } catch (const UnusableLibrary&) {
        return true;  // something is there, or the server did not answer
    }
    try {
        CDaoTableDef info(&database);
        info.Open("SYS_INFO");
        return true;
    } catch (const CDaoException&) {
        return false;
    }
}

LibraryReport LibraryExaminer::Inspect(const CString& path) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path.str(), error) &&
        std::filesystem::file_size(path.str(), error) == 0) {
        throw UnusableLibrary("an empty file, not a library");
    }
    CDaoDatabase database;
    LibraryReport report;
    report.generation = OpenEitherGeneration(database, path);
    try {
        for (const TableDefinition& table : LibrarySchema::Tables()) {
            CDaoTableDef definition(&database);
            try {
                definition.Open(table.name);
            } catch (const CDaoException&) {
                // None of them: some other program's database; some: a damaged library.
                throw UnusableLibrary(report.rowCounts.empty()
                                          ? std::string("not a library: a database without "
                                                        "the library tables")
                                          : std::string("missing table ") + table.name);
            }
            report.rowCounts.emplace_back(table.name, CountRows(database, table.name));
        }
        CDaoRecordset version(&database);
        version.Open(dbOpenSnapshot, "SELECT [Version] FROM [SYS_INFO]");
        if (!version.IsEOF()) {
            report.version = version.GetFieldValue(0).AsText();
        }
    } catch (const CDaoException& e) {
        throw UnusableLibrary(CString(e.GetErrorMessage()).str());
    }
    return report;
}

}  // namespace vaultry::tables
