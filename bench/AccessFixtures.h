#pragma once
// What the handler benchmarks share: real footprints, fresh libraries behind a reference host,
// and a library already holding parts.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/CBlob.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/ReferenceHost.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

namespace vaultry::bench {

constexpr int kParts = 10000;
constexpr int kCategories = 10000;
constexpr int kCopiedParts = 1000;

// Built step by step: GCC 12 warns falsely about "text" + std::to_string(...).
std::string Numbered(const char* prefix, long n);

// Chip footprint number `i`, named "R<i>".
std::unique_ptr<CDrwGroup> Part(int i);

// The part's blob as the drawing engine alone makes it.
std::unique_ptr<CBlob> Encode(CDrwGroup& part);

// The library set is one for the process: after other hosts' libraries came and went, this
// makes those of `host` the loaded ones again.
void MakeCurrent(ReferenceHost& host);

// Three fresh libraries behind a reference host, opened through the library set.
class Libraries {
public:
    Libraries();
    ~Libraries();
    Libraries(const Libraries&) = delete;
    Libraries& operator=(const Libraries&) = delete;
    std::string RawPath() const { return (m_folder / "raw.zblib").string(); }
    void MakeCurrent() { vaultry::bench::MakeCurrent(*m_host); }

private:
    static inline int s_instances = 0;
    std::filesystem::path m_folder;
    std::unique_ptr<ReferenceHost> m_host;
};

// The layer and colour tables stored with the "Footprint" type of a library, read once: parts
// decode against them, as the handler decodes against its cached common data block.
class StoredFootprintBlock {
public:
    explicit StoredFootprintBlock(const std::string& path);
    // From the block's stored bytes.
    StoredFootprintBlock(const BYTE* data, UINT size);
    const CDocTypeLibraryInfo& Info() const;

private:
    CCommonLibraryInfo m_block;
};

// The part group stored in `size` bytes at `data`, decoded against `block`; null when the bytes
// do not decode.
std::unique_ptr<CDrwGroup> DecodePart(const void* data, int size, const CDocTypeLibraryInfo& block);

// Stores kParts parts "R0".."R<kParts-1>" into the top category of the user library, then
// opens the libraries again: loads are timed as a program finds parts stored before it began,
// not through the sets that added them.
void StoreParts();

// Stores kParts parts at once into the user tier of fresh `FreshLibraries`, timing the store
// alone: the store benchmark of either engine.
template <class FreshLibraries>
void StoreIntoFresh(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshLibraries libraries;
        CDrwObList list;
        for (int i = 0; i < kParts; ++i) {
            list.Add(Part(i).release());
        }
        state.ResumeTiming();
        GetAccessDB(DATABASETYPE_USER)->SaveObjects(nullptr, &list, 1, nullptr, nullptr);
        state.PauseTiming();
        list.DestroyContent();
        state.ResumeTiming();
    }
}

// The handler's loads, part after part, by id and by name: the load benchmarks of either engine.
void LoadEachById(benchmark::State& state, CMSAccessDBHandler* tier);
void LoadEachByName(benchmark::State& state, CMSAccessDBHandler* tier);

// A user library holding kParts parts "R0".."R<kParts-1>", made once for the load benchmarks.
Libraries& Stored();
std::string UserPath();

// A category "Source" under the root of `tier` holding kCopiedParts parts; its id.
long FillSourceCategory(CMSAccessDBHandler* tier);

}  // namespace vaultry::bench
