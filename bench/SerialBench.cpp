// Encoding and decoding a 200-pad footprint and a common data block: time per operation and
// the bytes each produces.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwClassList.h"
#include "host/CLibraryObject.h"
#include "host/CPoolStringStorage.h"
#include "host/FootprintGenerator.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

namespace {

const CKV_DocInterface& Footprints() {
    RegisterBuiltInPlugIns();
    return *GetDocForLibraryType("Footprint");
}

std::unique_ptr<CDrwGroup> Footprint200() {
    TwoRowPattern pattern{
        200, Millimetres(0.5), Millimetres(14), Millimetres(1.2), Millimetres(0.3), 0};
    return MakeTwoRowFootprint("QFP-200", "U1", pattern);
}

std::unique_ptr<CBlob> EncodePart(CDrwGroup& part, CDrwClassList& classes,
                                  CPoolStringStorage& strings) {
    CLibraryObject encoder;
    encoder.AddObjectToList(&part);
    std::unique_ptr<CBlob> blob(encoder.EncodeBlob(
        nullptr, &classes, &strings, Footprints().GetLayerDefinition(), nullptr, false));
    encoder.EmptyObjectList();
    return blob;
}

void EncodePart200(benchmark::State& state) {
    auto part = Footprint200();
    CDrwClassList classes;
    CPoolStringStorage strings;
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto blob = EncodePart(*part, classes, strings);
        bytes = blob->m_nSize;
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void DecodePart200(benchmark::State& state) {
    auto part = Footprint200();
    CDrwClassList classes;
    CPoolStringStorage strings;
    const auto blob = EncodePart(*part, classes, strings);
    const CLayerDefinition* layers = Footprints().GetLayerDefinition();
    CLayerDefinition target;
    target.Init(*layers);
    for (auto _ : state) {
        CLibraryObject decoder;
        benchmark::DoNotOptimize(decoder.DecodeBlob(nullptr, &classes, &strings, layers, nullptr,
                                                    blob.get(), &target, nullptr));
        decoder.DestroyObjectList();
    }
    state.counters["bytes"] = static_cast<double>(blob->m_nSize);
}

void FillBlock(CCommonLibraryInfo& info) {
    for (const char* type : {"Footprint", "Pad-Stack", "CAD-Object"}) {
        const CKV_DocInterface* plugIn = GetDocForLibraryType(type);
        info.SetDocTypeLibInfo(
            type, CDocTypeLibraryInfo(plugIn->GetLayerDefinition(), plugIn->GetColorDefinition(0)));
    }
}

void EncodeDataBlock(benchmark::State& state) {
    Footprints();
    CCommonLibraryInfo info;
    FillBlock(info);
    UINT length = 0;
    for (auto _ : state) {
        BYTE* data = nullptr;
        length = info.EncodeDataBlock(data);
        std::free(data);
    }
    state.counters["bytes"] = length;
}

void DecodeDataBlock(benchmark::State& state) {
    Footprints();
    CCommonLibraryInfo info;
    FillBlock(info);
    const std::unique_ptr<CBlob> block(info.EncodeBlob());
    for (auto _ : state) {
        CCommonLibraryInfo back;
        benchmark::DoNotOptimize(back.DecodeDataBlock(block->m_pData, block->m_nSize));
    }
    state.counters["bytes"] = block->m_nSize;
}

}  // namespace

BENCHMARK(EncodePart200)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodePart200)->Unit(benchmark::kMicrosecond);
BENCHMARK(EncodeDataBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodeDataBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
