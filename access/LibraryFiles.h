#pragma once
// Library files as wholes: making a new one for a tier, and telling what a file is.

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"
#include "tables/LibraryExaminer.h"
#include "tables/LibrarySchema.h"

class LibraryFiles {
public:
    using Generation = vaultry::tables::Generation;
    using Report = vaultry::tables::LibraryReport;
    // A file that is no usable library; what() is a one-line reason.
    using Unusable = vaultry::tables::UnusableLibrary;

    // Makes a library of `generation` at `path`, its folder (or schema) too where missing: the
    // tables, user 0 without a password, and a top category named after `tier`. Fails
    // (CDaoException) when the library exists; nothing is left behind by a failure.
    static void Create(const CString& path, DATABASETYPE tier, Generation generation);
    // Whether there is something at `path` to open as a library: a file, or on a server a
    // schema with a library's tables (a server that does not answer counts: opening it will
    // say why it failed).
    static bool Exists(const CString& path);
    // The generation, version and row counts of the library at `path`. Throws Unusable.
    static Report Inspect(const CString& path);
};
