#include "access/LibraryChecker.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryTree.h"
#include "host/CBlob.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoTransaction.h"
#include "platform/dao/ServerLocation.h"

using vaultry::dao::DaoTransaction;

namespace {

using Findings = std::vector<std::string>;

constexpr std::uintmax_t kWalHeaderSize = 32;

long LongAt(CDaoRecordset& rows, int column) {
    return static_cast<long>(rows.GetFieldValue(column).AsInt64());
}

std::string TextAt(CDaoRecordset& rows, int column) {
    return rows.GetFieldValue(column).AsText().str();
}

// A damaged row may hold text where bytes belong.
std::vector<BYTE> BytesOf(const COleVariant& value) {
    if (value.IsText()) {
        const CString text = value.AsText();
        return std::vector<BYTE>(text.GetString(), text.GetString() + text.GetLength());
    }
    return value.AsBytes();
}

std::string Part(long id, const std::string& name) {
    return "part " + std::to_string(id) + " \"" + name + "\": ";
}

// Orders pairs by their first member ignoring case, then by their second.
struct FoldedFirst {
    template <class Second>
    bool operator()(const std::pair<std::string, Second>& a,
                    const std::pair<std::string, Second>& b) const {
        const int first = vaultry::text::CompareFolded(a.first, b.first);
        return first != 0 ? first < 0 : a.second < b.second;
    }
};

// Orders (name, type) pairs ignoring case in both.
struct FoldedBoth {
    bool operator()(const std::pair<std::string, std::string>& a,
                    const std::pair<std::string, std::string>& b) const {
        const int first = vaultry::text::CompareFolded(a.first, b.first);
        return first != 0 ? first < 0 : vaultry::text::CompareFolded(a.second, b.second) < 0;
    }
};

}  // namespace

Findings LibraryChecker::Findings() {
    ::Findings findings;
    try {
        CheckIntegrity(findings);
        CheckPartRows(findings);
        CheckTree(findings);
        CheckPartData(findings);
        CheckNamesPerDocType(findings);
        CheckTypeRows(findings);
    } catch (const CDaoException& e) {
        findings.push_back("file: " + e.GetErrorMessage().str());
    }
    return findings;
}

// SQLite reads a page cut short as if its missing bytes were zeros, so a file truncated at its
// end can pass the integrity test; its size tells. While a write-ahead log holds pages the file
// may rightly be shorter than the library.
void LibraryChecker::CheckFileSize(::Findings& findings) {
    const std::string path = m_library.GetName().str();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return;  // not a file on this machine's disk
    }
    const long pageSize = PragmaNumber("page_size");
    if (pageSize <= 0) {
        return;
    }
    if (size % static_cast<std::uintmax_t>(pageSize) != 0) {
        findings.push_back("file: its size (" + std::to_string(size) +
                           " bytes) is not a whole number of pages: it was cut short or "
                           "written to by something else");
        return;
    }
    const auto wal = std::filesystem::file_size(path + "-wal", error);
    const bool walHoldsPages = !error && wal > kWalHeaderSize;
    const auto pages = static_cast<std::uintmax_t>(PragmaNumber("page_count"));
    if (!walHoldsPages && size / static_cast<std::uintmax_t>(pageSize) < pages) {
        findings.push_back("file: it holds " + std::to_string(size / pageSize) + " of its " +
                           std::to_string(pages) + " pages: it was cut short");
    }
}

long LibraryChecker::PragmaNumber(const char* name) {
    CDaoRecordset pragma(&m_library);
    pragma.Open(dbOpenSnapshot, CString("SELECT * FROM pragma_") + name);
    return pragma.IsEOF() ? -1 : LongAt(pragma, 0);
}

void LibraryChecker::CheckIntegrity(::Findings& findings) {
    if (vaultry::dao::IsServerLocation(m_library.GetName().str())) {
        return;  // no file: the server keeps its storage sound; the rows are checked below
    }
    CheckFileSize(findings);
    CDaoRecordset check(&m_library);
    check.Open(dbOpenSnapshot, "SELECT * FROM pragma_integrity_check");
    for (; !check.IsEOF(); check.MoveNext()) {
        const std::string line = TextAt(check, 0);
        if (line != "ok") {
            findings.push_back("file: " + line);
        }
    }
}

// Parts whose category, object type or blob row is missing.
void LibraryChecker::CheckPartRows(::Findings& findings) {
    struct Rule {
        const char* condition;
        const char* finding;
    };
    constexpr Rule kRules[] = {
        {"lObjectTreeID NOT IN (SELECT lTreeID FROM tObjectTree)", "its category is missing"},
        {"lObjectTypeID NOT IN (SELECT lObjectTypeID FROM tObjectTypes)",
         "its object type is missing"},
        {"lBlobID NOT IN (SELECT lBlobID FROM tBlobs)", "its data is missing"},
    };
    for (const Rule& rule : kRules) {
        CDaoRecordset parts(&m_library);
        parts.Open(dbOpenSnapshot, CString("SELECT lObjectID, strObjectName FROM tObjects WHERE ") +
                                       rule.condition);
        for (; !parts.IsEOF(); parts.MoveNext()) {
            findings.push_back(Part(LongAt(parts, 0), TextAt(parts, 1)) + rule.finding);
        }
    }
}

// Every category must reach the one top category through parents that exist, one level at a
// time.
void LibraryChecker::CheckTree(::Findings& findings) {
    const LibraryTree tree(m_library);
    int roots = 0;
    for (const LibraryCategory& category : tree.All()) {
        const std::string name =
            "category " + std::to_string(category.id) + " \"" + category.name.str() + "\": ";
        if (category.IsRoot()) {
            ++roots;
            if (category.level != 0) {
                findings.push_back(name + "a top category at level " +
                                   std::to_string(category.level));
            }
            continue;
        }
        const LibraryCategory* parent = tree.Find(category.parent);
        if (parent == nullptr) {
            findings.push_back(name + "its parent " + std::to_string(category.parent) +
                               " is missing");
            continue;
        }
        const LibraryCategory* namesake = tree.Child(parent->id, category.name);
        if (namesake != nullptr && namesake->id != category.id) {
            findings.push_back(name + "its sibling " + std::to_string(namesake->id) +
                               " has the same name");
        }
        if (category.level != parent->level + 1) {
            findings.push_back(name + "at level " + std::to_string(category.level) +
                               " under a category at level " + std::to_string(parent->level));
        }
        std::set<long> seen{category.id};
        for (const LibraryCategory* at = parent; at != nullptr && !at->IsRoot();
             at = tree.Find(at->parent)) {
            if (!seen.insert(at->id).second) {
                findings.push_back(name + "its parents run in a circle");
                break;
            }
        }
    }
    if (roots != 1) {
        findings.push_back("tree: " + std::to_string(roots) + " top categories instead of one");
    }
}

// Every part's data in one pass over one state of the file, a row at a time.
void LibraryChecker::CheckPartData(::Findings& findings) {
    DaoTransaction reading(m_library, DaoTransaction::Mode::kRead);
    CDaoRecordset parts(&m_library);
    parts.Open(dbOpenForwardOnly,
               "SELECT tObjects.lObjectID, tObjects.strObjectName, tObjects.lObjectTypeID, "
               "tBlobs.blbBlob FROM tObjects INNER JOIN tBlobs ON "
               "tObjects.lBlobID=tBlobs.lBlobID ORDER BY tObjects.lObjectID");
    for (; !parts.IsEOF(); parts.MoveNext()) {
        const COleVariant data = parts.GetFieldValue(3);
        const std::vector<BYTE> bytes = BytesOf(data);
        const CBlob blob(bytes.data(), static_cast<DWORD>(bytes.size()));
        if (data.IsNull() || !m_library.Decodes(LongAt(parts, 2), blob)) {
            findings.push_back(Part(LongAt(parts, 0), TextAt(parts, 1)) +
                               "its data does not decode");
        }
    }
}

// Parts of different document types may share a name; parts of one may not, whatever object
// type rows they were stored under.
void LibraryChecker::CheckNamesPerDocType(::Findings& findings) {
    CDaoRecordset parts(&m_library);
    parts.Open(dbOpenSnapshot,
               "SELECT tObjects.lObjectID, tObjects.strObjectName, tObjectTypes.strDocumentType "
               "FROM tObjects INNER JOIN tObjectTypes ON "
               "tObjects.lObjectTypeID=tObjectTypes.lObjectTypeID ORDER BY tObjects.lObjectID");
    std::map<std::pair<std::string, std::string>, long, FoldedBoth> first;
    for (; !parts.IsEOF(); parts.MoveNext()) {
        const std::string name = TextAt(parts, 1);
        const std::string docType = TextAt(parts, 2);
        const auto [earlier, added] =
            first.emplace(std::make_pair(name, docType), LongAt(parts, 0));
        if (!added) {
            findings.push_back(Part(LongAt(parts, 0), name) + "another " + docType + " (part " +
                               std::to_string(earlier->second) + ") has the same name");
        }
    }
}

// Two object type rows of one document type with the same data block: parts stored since may
// be under either, which only a damaged library or an old fault leaves behind.
void LibraryChecker::CheckTypeRows(::Findings& findings) {
    CDaoRecordset types(&m_library);
    types.Open(dbOpenSnapshot,
               "SELECT tObjectTypes.lObjectTypeID, tObjectTypes.strDocumentType, tBlobs.blbBlob "
               "FROM tObjectTypes INNER JOIN tBlobs ON tObjectTypes.lBlobID=tBlobs.lBlobID "
               "ORDER BY tObjectTypes.lObjectTypeID");
    std::map<std::pair<std::string, std::vector<BYTE>>, long, FoldedFirst> first;
    for (; !types.IsEOF(); types.MoveNext()) {
        const auto [earlier, added] = first.emplace(
            std::make_pair(TextAt(types, 1), BytesOf(types.GetFieldValue(2))), LongAt(types, 0));
        if (!added) {
            findings.push_back("object type " + std::to_string(LongAt(types, 0)) + " \"" +
                               TextAt(types, 1) + "\": repeats object type " +
                               std::to_string(earlier->second));
        }
    }
}
