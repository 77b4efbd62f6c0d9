#pragma once
// The land-pattern facts of each part (pads, pitch, rows, span, body, surface or through-hole)
// in the library's table "tPartGeometry", one row per part, so that a search by geometry reads
// one small table instead of decoding every part. A part's row is written when the part is
// stored; Rebuild measures every part again. A library made before the table existed gets it
// when it is first written to; until then it has no rows to search.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "host/PartGeometry.h"
#include "platform/afx/CString.h"

class CDrawObject;
struct GeometryQuery;
class CMSAccessDBHandler;

class PartGeometryTable {
public:
    static constexpr const char* kTable = "tPartGeometry";

    // `library` (open) is not owned.
    explicit PartGeometryTable(CMSAccessDBHandler& library) : m_library(library) {}

    // Makes the table where the library lacks it, and its index by part where the table lacks
    // that (tables made before it was indexed). Asks the library once per object until a
    // rollback or a change of its tables may have taken the table away: the library keeps one
    // object for all its stores.
    void Ensure();
    // For a library closed, or opened on another file.
    void Forget() { m_ensuredAt.reset(); }
    // The row of part `objectID`, measured from `part` (a group; anything else has no pads).
    void Record(long objectID, const CDrawObject& part);
    // Every part measured again into a table made anew, in one transaction; the number
    // measured. Parts that cannot be read keep no row.
    int Rebuild();
    // The rows of the parts that exist, by part id; empty without the table.
    std::map<long, PartGeometry> ReadAll();
    // The rows `query` matches, of parts that exist.
    std::map<long, PartGeometry> ReadMatching(const GeometryQuery& query);
    // A filter of the part set (tObjects) picking the parts whose rows `query` matches; without
    // the table, one that picks none, as no part of the library has been measured.
    CString PartsFilter(const GeometryQuery& query);

private:
    bool Exists();
    void Create();  // without its index
    std::pair<std::uint64_t, std::uint64_t> Counts() const;
    std::map<long, PartGeometry> Read(const CString& condition);

    CMSAccessDBHandler& m_library;
    // The library's rollback and schema change counts when the table was last found or made.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> m_ensuredAt;
};
