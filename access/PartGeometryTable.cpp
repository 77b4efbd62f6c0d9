#include "access/PartGeometryTable.h"

#include <memory>
#include <string>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/GeometryQuery.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoTransaction.h"

using vaultry::dao::DaoTransaction;

namespace {

constexpr const char* kColumns[] = {"lPadCount",  "lPitch",      "lRowCount", "lSpan",
                                    "lBodyWidth", "lBodyHeight", "bSmd"};

long AsLong(const COleVariant& value) {
    return value.IsNull() ? 0 : static_cast<long>(value.AsInt64());
}

// The terms of `query` as a condition on the table's columns (unqualified, so that it reads
// the same inside a sub-query); empty when it has none.
CString Condition(const GeometryQuery& query) {
    std::string condition;
    const auto add = [&condition](const std::string& term) {
        condition += (condition.empty() ? "" : " AND ") + term;
    };
    const auto within = [&add](const char* column, const LengthWanted& wanted) {
        add(std::string(column) + " BETWEEN " + std::to_string(wanted.value - wanted.tolerance) +
            " AND " + std::to_string(wanted.value + wanted.tolerance));
    };
    if (query.pads) {
        add("lPadCount = " + std::to_string(*query.pads));
    }
    if (query.pitch) {
        within("lPitch", *query.pitch);
    }
    if (query.span) {
        within("lSpan", *query.span);
    }
    if (query.smdOnly) {
        add("bSmd <> 0");
    }
    return CString(condition.c_str());
}

// One statement whether the part has a row or not: a row that exists takes every measure of the
// new one ("lPadCount=excluded.lPadCount,..."). Its values are bound.
std::string Upsert() {
    std::string columns = "lObjectID";
    std::string marks = "?";
    std::string replacements;
    for (const char* column : kColumns) {
        columns += std::string(", ") + column;
        marks += ",?";
        replacements +=
            (replacements.empty() ? "" : ",") + std::string(column) + "=excluded." + column;
    }
    return "INSERT INTO tPartGeometry (" + columns + ") VALUES (" + marks +
           ") ON CONFLICT (lObjectID) DO UPDATE SET " + replacements;
}

}  // namespace

std::pair<std::uint64_t, std::uint64_t> PartGeometryTable::Counts() const {
    return {m_library.GetRollbackCount(), m_library.GetSchemaChangeCount()};
}

bool PartGeometryTable::Exists() {
    CDaoTableDef table(&m_library);
    try {
        table.Open(kTable);
        table.Close();
        return true;
    } catch (const CDaoException&) {
        return false;
    }
}

void PartGeometryTable::Ensure() {
    if (m_ensuredAt == Counts()) {
        return;
    }
    if (!Exists()) {
        Create();
    }
    // Each store replaces its part's row through the index; a table made before it was indexed
    // gets it here.
    m_library.Execute(
        "CREATE UNIQUE INDEX IF NOT EXISTS [idxPartGeometryObject] ON [tPartGeometry] (lObjectID)");
    m_ensuredAt = Counts();
}

void PartGeometryTable::Create() {
    CDaoTableDef table(&m_library);
    table.Create(kTable);
    CDaoFieldInfo id;
    id.m_strName = "lObjectID";
    id.m_nType = dbLong;
    id.m_lSize = 4;
    id.m_lAttributes = dbFixedField | dbUpdatableField;
    id.m_bRequired = true;
    table.CreateField(id);
    for (const char* column : kColumns) {
        table.CreateField(column, dbLong, 4, dbUpdatableField);
    }
    table.Append();
    table.Close();
}

void PartGeometryTable::Record(long objectID, const CDrawObject& part) {
    Ensure();
    const auto* group = dynamic_cast<const CDrwGroup*>(&part);
    const PartGeometry g = group != nullptr ? MeasureGeometry(*group) : PartGeometry{};
    static const std::string kUpsert = Upsert();
    m_library.Execute(kUpsert.c_str(),
                      {COleVariant(objectID), COleVariant(g.padCount), COleVariant(g.pitch),
                       COleVariant(g.rowCount), COleVariant(g.span), COleVariant(g.bodyWidth),
                       COleVariant(g.bodyHeight), COleVariant(g.smd ? 1L : 0L)});
}

int PartGeometryTable::Rebuild() {
    std::vector<long> parts;
    {
        CDaoRecordset ids(&m_library);
        ids.Open(dbOpenSnapshot, "SELECT lObjectID FROM tObjects");
        for (; !ids.IsEOF(); ids.MoveNext()) {
            parts.push_back(AsLong(ids.GetFieldValue(0)));
        }
    }
    DaoTransaction transaction(m_library);
    if (Exists()) {
        m_library.Execute("DROP TABLE tPartGeometry");  // also one made before it was indexed
        Forget();
    }
    Ensure();
    int measured = 0;
    for (const long id : parts) {
        CDrwSubSheet scratch;
        CLayerDefinition layers;
        CColorDefinition colours;
        CDrwGroup* loaded = nullptr;
        const long typeID = m_library.LoadObject(&scratch, loaded, id, &layers, &colours);
        const std::unique_ptr<CDrwGroup> group(loaded);
        if (typeID > 0 && group != nullptr) {
            Record(id, *group);
            ++measured;
        }
    }
    transaction.Commit();
    return measured;
}

std::map<long, PartGeometry> PartGeometryTable::ReadAll() {
    return Read(CString());
}

std::map<long, PartGeometry> PartGeometryTable::ReadMatching(const GeometryQuery& query) {
    return Read(Condition(query));
}

CString PartGeometryTable::PartsFilter(const GeometryQuery& query) {
    if (!Exists()) {
        return "lObjectID = 0";
    }
    const CString condition = Condition(query);
    return "lObjectID IN (SELECT lObjectID FROM tPartGeometry" +
           (condition.IsEmpty() ? CString() : " WHERE " + condition) + ")";
}

std::map<long, PartGeometry> PartGeometryTable::Read(const CString& condition) {
    std::map<long, PartGeometry> rows;
    if (!Exists()) {
        return rows;
    }
    CDaoRecordset read(&m_library);
    read.Open(dbOpenSnapshot,
              "SELECT g.lObjectID, g.lPadCount, g.lPitch, g.lRowCount, g.lSpan, g.lBodyWidth, "
              "g.lBodyHeight, g.bSmd FROM tPartGeometry AS g INNER JOIN tObjects AS o ON "
              "g.lObjectID = o.lObjectID" +
                  (condition.IsEmpty() ? CString() : " WHERE " + condition));
    for (; !read.IsEOF(); read.MoveNext()) {
        PartGeometry& g = rows[AsLong(read.GetFieldValue(0))];
        g.padCount = AsLong(read.GetFieldValue(1));
        g.pitch = AsLong(read.GetFieldValue(2));
        g.rowCount = AsLong(read.GetFieldValue(3));
        g.span = AsLong(read.GetFieldValue(4));
        g.bodyWidth = AsLong(read.GetFieldValue(5));
        g.bodyHeight = AsLong(read.GetFieldValue(6));
        g.smd = AsLong(read.GetFieldValue(7)) != 0;
    }
    return rows;
}
