// vaultry_scale: the helper of bench/scale.sh. It makes large interchange files from a small
// one, runs a command to report its time and peak memory, and does with raw SQLite what the
// command-line program does with a library, so the script can set the two side by side:
//
//   vaultry_scale parts IN.xml N OUT.xml   N parts, copies of IN's parts under new names
//   vaultry_scale run COMMAND...           "SECONDS PEAK_KB" of COMMAND, its output dropped
//   vaultry_scale ls LIBRARY [TEXT]        the rows `vaultry ls --tier` prints
//   vaultry_scale check LIBRARY            integrity, then every part's data read and decoded
//   vaultry_scale store FROM TO            FROM's parts, blobs and measured rows stored into TO
//
// The raw side opens the files as the program does (collation, journal, full syncs), reads the
// same rows and bytes, and decodes with the same decoder, but skips every layer in between.

#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/RawSqlite.h"
#include "host/CBlob.h"
#include "host/CDrwObList.h"
#include "host/CDrwSubSheet.h"
#include "host/CLibraryObject.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

extern char** environ;

namespace {

using vaultry::bench::OpenRaw;

// A statement that is finalised when it goes; throws when SQLite refuses it.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &m_statement, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Step() {
        const int rc = sqlite3_step(m_statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            throw std::runtime_error(sqlite3_errmsg(m_db));
        }
        return rc == SQLITE_ROW;
    }
    void Reset() { sqlite3_reset(m_statement); }
    sqlite3_stmt* get() const { return m_statement; }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(m_statement, column);
        return text ? reinterpret_cast<const char*>(text) : "";
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

void Execute(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "failed";
        sqlite3_free(error);
        throw std::runtime_error(std::string(sql) + ": " + message);
    }
}

struct Database {
    explicit Database(const std::string& path) : db(OpenRaw(path)) {
        if (sqlite3_errcode(db) != SQLITE_OK) {
            throw std::runtime_error(path + ": " + sqlite3_errmsg(db));
        }
    }
    ~Database() { sqlite3_close(db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    sqlite3* db;
};

int Parts(const std::string& in, long count, const std::string& out) {
    pugi::xml_document source;
    if (!source.load_file(in.c_str())) {
        throw std::runtime_error(in + ": not an interchange file");
    }
    const pugi::xml_node root = source.child("vaultry-parts");
    std::vector<pugi::xml_node> parts;
    for (const pugi::xml_node part : root.children("part")) {
        parts.push_back(part);
    }
    if (parts.empty()) {
        throw std::runtime_error(in + ": holds no part");
    }
    std::FILE* file = std::fopen(out.c_str(), "w");
    if (file == nullptr) {
        throw std::runtime_error(out + ": cannot be written");
    }
    pugi::xml_writer_file writer(file);
    std::fprintf(file, "<?xml version=\"1.0\"?>\n<vaultry-parts version=\"%s\" units=\"%s\">\n",
                 root.attribute("version").value(), root.attribute("units").value());
    for (const pugi::xml_node definitions : root.children("definitions")) {
        definitions.print(writer, "", pugi::format_raw);
    }
    for (long i = 0; i < count; ++i) {
        pugi::xml_node part = parts[static_cast<std::size_t>(i) % parts.size()];
        pugi::xml_attribute name = part.child("group").attribute("name");
        const std::string original = name.value();
        name.set_value((original + "-" + std::to_string(i)).c_str());
        part.attribute("category").set_value("");
        part.print(writer, "", pugi::format_raw);
        std::fputc('\n', file);
        name.set_value(original.c_str());
    }
    std::fputs("</vaultry-parts>\n", file);
    return std::fclose(file) == 0 ? 0 : 1;
}

int Run(char** command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int failed = posix_spawnp(&child, command[0], &actions, nullptr, command, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error(std::string(command[0]) + ": cannot be started");
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %ld\n", seconds.count(), usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? 0 : 1;  // check says 1 for findings
}

int List(const std::string& path, const std::string& text) {
    Database library(path);
    Statement rows(library.db,
                   "SELECT o.lObjectID, o.strObjectName, t.strDocumentType, o.lUserID, "
                   "u.strUserName FROM tObjects o JOIN tObjectTypes t ON "
                   "t.lObjectTypeID=o.lObjectTypeID LEFT JOIN tUserTree u ON u.lUserID=o.lUserID" +
                       std::string(text.empty() ? "" : " WHERE o.strObjectName LIKE ?") +
                       " ORDER BY o.strObjectName");
    const std::string pattern = "*" + text + "*";
    sqlite3_bind_text(rows.get(), 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
    std::string out;
    while (rows.Step()) {
        out = std::to_string(rows.Int(0)) + "\t" + rows.Text(1) + "\t" + rows.Text(2) + "\t" +
              rows.Text(4) + "\tuser\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return 0;
}

// The decoder and the data block of each object type, as the program decodes parts with.
class Decoder {
public:
    explicit Decoder(sqlite3* db) : m_db(db) {}
    bool Decode(std::int64_t type, const void* bytes, int size) {
        CCommonLibraryInfo& block = Block(type);
        const auto docType = m_docTypes.at(type);
        const CDocTypeLibraryInfo* stored = block.GetDocTypeLibInfo(docType.c_str());
        if (stored == nullptr) {
            return false;
        }
        const CBlob blob(static_cast<const BYTE*>(bytes), static_cast<DWORD>(size));
        const bool decoded = m_library.DecodeBlob(
            &m_sheet, block.GetClassList(), block.GetStringPool(), stored->GetLayerDefinition(),
            stored->GetColorDefinition(), &blob, nullptr, nullptr);
        m_library.DestroyObjectList();
        return decoded;
    }

private:
    CCommonLibraryInfo& Block(std::int64_t type) {
        auto& block = m_blocks[type];
        if (!block) {
            block = std::make_unique<CCommonLibraryInfo>();
            Statement row(m_db,
                          "SELECT t.strDocumentType, b.blbBlob FROM tObjectTypes t JOIN tBlobs b "
                          "ON b.lBlobID=t.lBlobID WHERE t.lObjectTypeID=" +
                              std::to_string(type));
            if (row.Step()) {
                m_docTypes[type] = row.Text(0);
                block->DecodeDataBlock(static_cast<const BYTE*>(sqlite3_column_blob(row.get(), 1)),
                                       static_cast<UINT>(sqlite3_column_bytes(row.get(), 1)));
            }
        }
        return *block;
    }

    sqlite3* m_db;
    CDrwSubSheet m_sheet;
    CLibraryObject m_library;
    std::map<std::int64_t, std::unique_ptr<CCommonLibraryInfo>> m_blocks;
    std::map<std::int64_t, std::string> m_docTypes;
};

int Check(const std::string& path) {
    Database library(path);
    Statement integrity(library.db, "PRAGMA integrity_check");
    while (integrity.Step()) {
    }
    Statement parts(library.db,
                    "SELECT o.lObjectID, o.lObjectTypeID, b.blbBlob FROM tObjects o JOIN tBlobs "
                    "b ON b.lBlobID=o.lBlobID ORDER BY o.lObjectID");
    Decoder decoder(library.db);
    long damaged = 0;
    while (parts.Step()) {
        damaged += decoder.Decode(parts.Int(1), sqlite3_column_blob(parts.get(), 2),
                                  sqlite3_column_bytes(parts.get(), 2))
                       ? 0
                       : 1;
    }
    Statement names(library.db,
                    "SELECT o.lObjectID, o.strObjectName, t.strDocumentType FROM tObjects o "
                    "JOIN tObjectTypes t ON o.lObjectTypeID=t.lObjectTypeID ORDER BY "
                    "o.strObjectName, t.strDocumentType");
    while (names.Step()) {
    }
    std::printf("%ld parts do not decode\n", damaged);
    return damaged == 0 ? 0 : 1;
}

// The object type of `docType` in `target`, copied with its data block from `source` when the
// target has none.
std::int64_t TypeFor(sqlite3* source, sqlite3* target, const std::string& docType) {
    Statement found(target, "SELECT lObjectTypeID FROM tObjectTypes WHERE strDocumentType=?");
    sqlite3_bind_text(found.get(), 1, docType.c_str(), -1, SQLITE_TRANSIENT);
    if (found.Step()) {
        return found.Int(0);
    }
    Statement type(source,
                   "SELECT t.strDescription, t.byVisibility, b.blbBlob, b.lBlobSize FROM "
                   "tObjectTypes t JOIN tBlobs b ON b.lBlobID=t.lBlobID WHERE "
                   "t.strDocumentType=?");
    sqlite3_bind_text(type.get(), 1, docType.c_str(), -1, SQLITE_TRANSIENT);
    type.Step();
    Statement blob(target, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?, ?)");
    sqlite3_bind_blob(blob.get(), 1, sqlite3_column_blob(type.get(), 2),
                      sqlite3_column_bytes(type.get(), 2), SQLITE_STATIC);
    sqlite3_bind_int64(blob.get(), 2, type.Int(3));
    blob.Step();
    Statement row(target,
                  "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, "
                  "byVisibility) VALUES (?, ?, ?, ?)");
    sqlite3_bind_text(row.get(), 1, type.Text(0).c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(row.get(), 2, docType.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(row.get(), 3, sqlite3_last_insert_rowid(target));
    sqlite3_bind_int64(row.get(), 4, type.Int(1));
    row.Step();
    return sqlite3_last_insert_rowid(target);
}

// Copies FROM's parts, with their blobs and measured rows, into TO's top category in one
// transaction, as an import stores them.
int Store(const std::string& from, const std::string& to) {
    Database source(from);
    Database target(to);
    Execute(target.db, "BEGIN IMMEDIATE");
    Statement schema(source.db,
                     "SELECT sql FROM sqlite_master WHERE tbl_name='tPartGeometry' ORDER BY "
                     "type DESC");
    while (schema.Step()) {  // the table before its index
        Execute(target.db, schema.Text(0).c_str());
    }
    Statement root(target.db, "SELECT lTreeID FROM tObjectTree WHERE lLevel=0");
    root.Step();
    const std::int64_t category = root.Int(0);
    Statement rows(source.db,
                   "SELECT o.strObjectName, o.lUserID, t.strDocumentType, b.blbBlob, "
                   "b.lBlobSize, g.lPadCount, g.lPitch, g.lRowCount, g.lSpan, g.lBodyWidth, "
                   "g.lBodyHeight, g.bSmd FROM tObjects o JOIN tBlobs b ON b.lBlobID=o.lBlobID "
                   "JOIN tObjectTypes t ON t.lObjectTypeID=o.lObjectTypeID JOIN tPartGeometry g "
                   "ON g.lObjectID=o.lObjectID ORDER BY o.lObjectID");
    Statement blob(target.db, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?, ?)");
    Statement part(target.db,
                   "INSERT INTO tObjects (strObjectName, lUserID, lObjectTreeID, lObjectTypeID, "
                   "lBlobID) VALUES (?, ?, ?, ?, ?)");
    Statement geometry(target.db, "INSERT INTO tPartGeometry VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    std::map<std::string, std::int64_t> types;
    while (rows.Step()) {
        const std::string docType = rows.Text(2);
        auto known = types.find(docType);
        if (known == types.end()) {
            known = types.emplace(docType, TypeFor(source.db, target.db, docType)).first;
        }
        sqlite3_bind_blob(blob.get(), 1, sqlite3_column_blob(rows.get(), 3),
                          sqlite3_column_bytes(rows.get(), 3), SQLITE_STATIC);
        sqlite3_bind_int64(blob.get(), 2, rows.Int(4));
        blob.Step();
        blob.Reset();
        sqlite3_bind_text(part.get(), 1,
                          reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 0)), -1,
                          SQLITE_STATIC);
        sqlite3_bind_int64(part.get(), 2, rows.Int(1));
        sqlite3_bind_int64(part.get(), 3, category);
        sqlite3_bind_int64(part.get(), 4, known->second);
        sqlite3_bind_int64(part.get(), 5, sqlite3_last_insert_rowid(target.db));
        part.Step();
        part.Reset();
        sqlite3_bind_int64(geometry.get(), 1, sqlite3_last_insert_rowid(target.db));
        for (int i = 0; i < 7; ++i) {
            sqlite3_bind_int64(geometry.get(), i + 2, rows.Int(5 + i));
        }
        geometry.Step();
        geometry.Reset();
    }
    Execute(target.db, "COMMIT");
    return 0;
}

int Usage() {
    std::cerr << "usage: vaultry_scale parts IN.xml N OUT.xml | run COMMAND... | ls LIBRARY "
                 "[TEXT] | check LIBRARY | store FROM TO\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() == 4 && args[0] == "parts") {
            return Parts(args[1], std::stol(args[2]), args[3]);
        }
        if (args.size() >= 2 && args[0] == "run") {
            return Run(argv + 2);
        }
        if ((args.size() == 2 || args.size() == 3) && args[0] == "ls") {
            return List(args[1], args.size() == 3 ? args[2] : "");
        }
        if (args.size() == 2 && args[0] == "check") {
            return Check(args[1]);
        }
        if (args.size() == 3 && args[0] == "store") {
            return Store(args[1], args[2]);
        }
        return Usage();
    } catch (const std::exception& e) {
        std::cerr << "vaultry_scale: " << e.what() << "\n";
        return 1;
    }
}
