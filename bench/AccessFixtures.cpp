#include "bench/AccessFixtures.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/RawSqlite.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/CLayerDefinition.h"
#include "host/CLibraryObject.h"
#include "host/CSet.h"
#include "host/FootprintGenerator.h"
#include "platform/afx/CStringArray.h"
#include "tables/CRSObjectTree.h"
#include "tables/LibrarySchema.h"

namespace vaultry::bench {

namespace fs = std::filesystem;
using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

std::string Numbered(const char* prefix, long n) {
    std::string text = prefix;
    text += std::to_string(n);
    return text;
}

std::unique_ptr<CDrwGroup> Part(int i) {
    return MakeChipFootprint(CString("R") + std::to_string(i).c_str(), "R1", Millimetres(1.6),
                             Millimetres(0.9), Millimetres(0.95));
}

std::unique_ptr<CBlob> Encode(CDrwGroup& part) {
    CLibraryObject encoder;
    encoder.AddObjectToList(&part);
    std::unique_ptr<CBlob> blob(
        encoder.EncodeBlob(nullptr, nullptr, nullptr, nullptr, nullptr, false));
    encoder.EmptyObjectList();
    return blob;
}

StoredFootprintBlock::StoredFootprintBlock(const std::string& path) {
    sqlite3* db = OpenRaw(path);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT b.blbBlob FROM tObjectTypes t JOIN tBlobs b ON b.lBlobID=t.lBlobID "
                       "WHERE t.strDocumentType='Footprint'",
                       -1, &read, nullptr);
    if (sqlite3_step(read) == SQLITE_ROW) {
        m_block.DecodeDataBlock(static_cast<const BYTE*>(sqlite3_column_blob(read, 0)),
                                static_cast<UINT>(sqlite3_column_bytes(read, 0)));
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    if (m_block.GetDocTypeLibInfo("Footprint") == nullptr) {
        throw std::runtime_error("no Footprint type stored in " + path);
    }
}

StoredFootprintBlock::StoredFootprintBlock(const BYTE* data, UINT size) {
    m_block.DecodeDataBlock(data, size);
    if (m_block.GetDocTypeLibInfo("Footprint") == nullptr) {
        throw std::runtime_error("no Footprint type in the block");
    }
}

const CDocTypeLibraryInfo& StoredFootprintBlock::Info() const {
    return *m_block.GetDocTypeLibInfo("Footprint");
}

std::unique_ptr<CDrwGroup> DecodePart(const void* data, int size,
                                      const CDocTypeLibraryInfo& block) {
    const CBlob stored(static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    CLibraryObject decoder;
    CLayerDefinition layers;
    CColorDefinition colours;
    if (!decoder.DecodeBlob(nullptr, nullptr, nullptr, block.GetLayerDefinition(),
                            block.GetColorDefinition(), &stored, &layers, &colours)) {
        decoder.DestroyObjectList();
        return nullptr;
    }
    CDrwObList& decoded = *decoder.GetObjectList();
    std::unique_ptr<CDrwGroup> part(static_cast<CDrwGroup*>(decoded.GetAt(0)));
    for (int i = 1; i < decoded.GetCount(); ++i) {
        delete decoded.GetAt(i);
    }
    decoder.EmptyObjectList();
    return part;
}

// Each instance has a folder of its own: the stored library lives on while others come and go.
Libraries::Libraries()
    : m_folder(fs::temp_directory_path() / ("vaultry-access-bench-" + std::to_string(::getpid()) +
                                            "-" + std::to_string(++s_instances))) {
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    std::ofstream(m_folder / "settings.ini")
        << "[libraries]\nfolder = " << m_folder.string() << "\n";
    m_host = std::make_unique<ReferenceHost>((m_folder / "settings.ini").string());
    m_host->Settings().SetStatusBar(nullptr);
    for (const char* name : {"master", "corporate", "user"}) {
        LibrarySchema::CreateLibrary((m_folder / (std::string(name) + ".zblib")).c_str(), name,
                                     Generation::kCurrent);
    }
    RegisterBuiltInPlugIns();
    AssureDBLoaded();
}

Libraries::~Libraries() {
    UnloadDB();
    m_host.reset();
    fs::remove_all(m_folder);
}

void MakeCurrent(ReferenceHost& host) {
    if (GetSettings() != &host.Settings()) {
        UnloadDB();
        SetSettings(&host.Settings());
        AssureDBLoaded();
    }
}

void StoreParts() {
    CDrwObList list;
    for (int i = 0; i < kParts; ++i) {
        list.Add(Part(i).release());
    }
    GetAccessDB(DATABASETYPE_USER)->SaveObjects(nullptr, &list, 1, nullptr, nullptr);
    list.DestroyContent();
    UnloadDB();
    AssureDBLoaded();
}

void LoadEachById(benchmark::State& state, CMSAccessDBHandler* tier) {
    long id = 1;
    for (auto _ : state) {
        CDrwGroup* group = nullptr;
        CLayerDefinition layers;
        CColorDefinition colours;
        const long typeID = tier->LoadObject(nullptr, group, id, &layers, &colours);
        delete group;
        if (typeID <= 0) {
            state.SkipWithError("a stored part did not load");
            break;
        }
        id = id % kParts + 1;
    }
}

void LoadEachByName(benchmark::State& state, CMSAccessDBHandler* tier) {
    int i = 0;
    for (auto _ : state) {
        CStringArray names;
        names.Add(Numbered("R", i).c_str());
        CDrawObject** objects = nullptr;
        tier->LoadObjects(nullptr, objects, names, "Footprint", nullptr, nullptr);
        const bool loaded = objects[0] != nullptr;
        delete objects[0];
        delete[] objects;
        if (!loaded) {
            state.SkipWithError("a stored part did not load");
            break;
        }
        i = (i + 1) % kParts;
    }
}

Libraries& Stored() {
    static Libraries libraries;
    static const bool filled = [] {
        StoreParts();
        return true;
    }();
    (void)filled;
    libraries.MakeCurrent();
    return libraries;
}

std::string UserPath() {
    return GetAccessDB(DATABASETYPE_USER)->GetName().str();
}

long FillSourceCategory(CMSAccessDBHandler* tier) {
    const long source = tier->GetRSObjectTree()->AddChild(1, "Source");
    CDrwObList list;
    for (int i = 0; i < kCopiedParts; ++i) {
        list.Add(Part(i).release());
    }
    tier->SaveObjects(nullptr, &list, source, nullptr, nullptr);
    list.DestroyContent();
    return source;
}

}  // namespace vaultry::bench
