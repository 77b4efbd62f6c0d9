// Writes the starting inputs of the fuzz targets: a common data block (plain and compressed),
// footprints' part blobs and an XML archive (part_blob/soic8_first_format, kept by hand, is a
// part blob of the first format). To make them again after a format change:
//   build/fuzz/tests/fuzz/MakeFuzzCorpus tests/fuzz/corpus

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwShapes.h"
#include "host/CLibraryObject.h"
#include "host/CSafeStartAndEndElement.h"
#include "host/FootprintGenerator.h"
#include "platform/afx/CMemFile.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

namespace {

void Write(const std::string& path, const void* data, std::size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WritePart(const std::string& path, CDrwGroup& part, const CKV_DocInterface& footprint) {
    CLibraryObject encoder;
    encoder.AddObjectToList(&part);
    std::unique_ptr<CBlob> blob(encoder.EncodeBlob(nullptr, nullptr, nullptr,
                                                   footprint.GetLayerDefinition(), nullptr, false));
    encoder.EmptyObjectList();
    Write(path, blob->m_pData, blob->m_nSize);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    RegisterBuiltInPlugIns();
    const CKV_DocInterface* footprint = GetDocForLibraryType("Footprint");

    CCommonLibraryInfo info;
    info.SetDocTypeLibInfo("Footprint", CDocTypeLibraryInfo(footprint->GetLayerDefinition(),
                                                            footprint->GetColorDefinition(0)));
    info.SetDocTypeLibInfo("Pad-Stack", CDocTypeLibraryInfo());
    BYTE* block = nullptr;
    const UINT length = info.EncodeDataBlock(block);
    Write(folder + "/data_block/compressed", block, length);
    std::free(block);

    CMemFile plain;
    {
        CXMLArchive ar("", CXMLArchive::kCompressedMarker, &plain, true, false);
        ar.SaveHeader();
        {
            CSafeStartAndEndElement root(ar, "CommonLibraryObject");
            info.XMLSerialize(ar, nullptr);
        }
        ar.Close();
    }
    const auto plainLength = static_cast<std::size_t>(plain.GetLength());
    BYTE* plainBytes = plain.Detach();
    Write(folder + "/data_block/plain", plainBytes, plainLength);
    Write(folder + "/xml_archive/plain", plainBytes, plainLength);
    std::free(plainBytes);

    auto part = MakeTwoRowFootprint("SOIC-8", "U1", TwoRowPattern{});
    WritePart(folder + "/part_blob/soic8", *part, *footprint);
    // Pads of what the second format added: turned, slotted, bare and free-form.
    auto pad = std::make_unique<CDrwPad>("9", PadShape::kPolygon, 0, 0, 1000000, 800000, 400000);
    pad->m_rotation = 30000;
    pad->m_drillHeight = 600000;
    pad->m_bPlated = false;
    pad->m_outline = {{-500000, -400000}, {500000, -400000}, {0, 400000}};
    part->Add(std::move(pad));
    WritePart(folder + "/part_blob/free_form_pads", *part, *footprint);
    return 0;
}
