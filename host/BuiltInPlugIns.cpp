#include "host/BuiltInPlugIns.h"

#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"
#include "host/CPlugInManager.h"
#include "host_icons.h"

namespace {

enum : UINT {
    kIconFootprint = 100,
    kIconPadStack = 101,
    kIconCadObject = 102,
    kDescriptionFootprint = 200,
    kDescriptionPadStack = 201,
    kDescriptionCadObject = 202,
};

void AddStandardLayers(CLayerDefinition& layers) {
    layers.Add({kLayerCopperTop, "Top Copper", LayerKind::kCopperTop});
    layers.Add({kLayerCopperBottom, "Bottom Copper", LayerKind::kCopperBottom});
    layers.Add({kLayerSilkscreenTop, "Top Silkscreen", LayerKind::kSilkscreenTop});
    layers.Add({kLayerSilkscreenBottom, "Bottom Silkscreen", LayerKind::kSilkscreenBottom});
    layers.Add({kLayerSolderMaskTop, "Top Solder Mask", LayerKind::kSolderMaskTop});
    layers.Add({kLayerSolderMaskBottom, "Bottom Solder Mask", LayerKind::kSolderMaskBottom});
    layers.Add({kLayerPasteTop, "Top Paste", LayerKind::kPasteTop});
    layers.Add({kLayerAssembly, "Assembly", LayerKind::kAssembly});
    layers.Add({kLayerCourtyard, "Courtyard", LayerKind::kCourtyard});
    layers.Add({kLayerMechanical, "Mechanical", LayerKind::kMechanical});
    layers.Add({kLayerDrill, "Drill", LayerKind::kDrill});
}

void AddStandardColors(CColorDefinition& colors) {
    colors.Add({1, "Top Copper", 0xC83232});
    colors.Add({2, "Bottom Copper", 0x3264C8});
    colors.Add({3, "Silkscreen", 0xF0F0F0});
    colors.Add({4, "Solder Mask", 0x208020});
    colors.Add({5, "Assembly", 0xC8C864});
    colors.Add({6, "Courtyard", 0xC864C8});
}

bool HoldsOnlyPadsOnOneSpot(const CDrwGroup& group) {
    const auto pads = group.Pads();
    if (pads.empty() || static_cast<int>(pads.size()) != group.GetObjectCount()) {
        return false;
    }
    for (const CDrwPad* pad : pads) {
        if (pad->m_x != pads.front()->m_x || pad->m_y != pads.front()->m_y) {
            return false;
        }
    }
    return true;
}

}  // namespace

BuiltInDocPlugIn::BuiltInDocPlugIn(const char* docType, UINT iconID, UINT descriptionID)
    : m_docType(docType), m_iconID(iconID), m_descriptionID(descriptionID) {
    AddStandardLayers(m_layers);
    AddStandardColors(m_colors);
}

bool BuiltInDocPlugIn::GetDocInfo(int index, DOCINFOSTRUCT& info) const {
    if (index != 0) {
        return false;
    }
    info.pszDocType = m_docType;
    info.nIconID = m_iconID;
    info.hModule = BuiltInPlugInModule();
    info.pszRelatedDocType = m_docType;  // a library type of its own, not of a design
    info.nDescriptionID = m_descriptionID;
    return true;
}

HINSTANCE BuiltInPlugInModule() {
    static const CResourceModule module("NorvikDocuments",
                                        {{kDescriptionFootprint, "Footprint"},
                                         {kDescriptionPadStack, "Pad stack"},
                                         {kDescriptionCadObject, "Mechanical CAD object"}},
                                        {{kIconFootprint, CResourceBitmap::Of(k_footprint)},
                                         {kIconPadStack, CResourceBitmap::Of(k_pad_stack)},
                                         {kIconCadObject, CResourceBitmap::Of(k_cad_object)}});
    return &module;
}

void RegisterBuiltInPlugIns() {
    CPlugInManager* manager = GetPlugInManager();
    if (manager->GetDocInterface("Footprint") != nullptr) {
        return;
    }
    manager->AddPlugIn(
        std::make_unique<BuiltInDocPlugIn>("Footprint", kIconFootprint, kDescriptionFootprint));
    manager->AddPlugIn(
        std::make_unique<BuiltInDocPlugIn>("Pad-Stack", kIconPadStack, kDescriptionPadStack));
    manager->AddPlugIn(
        std::make_unique<BuiltInDocPlugIn>("CAD-Object", kIconCadObject, kDescriptionCadObject));
}

CString GetLibDocTypeForObject(const CDrawObject* object) {
    if (object == nullptr) {
        return "";
    }
    if (dynamic_cast<const CDrwPad*>(object) != nullptr) {
        return "Pad-Stack";
    }
    const auto* group = dynamic_cast<const CDrwGroup*>(object);
    if (group == nullptr) {
        return "";  // a loose line, text or dimension is no part of any known type
    }
    if (HoldsOnlyPadsOnOneSpot(*group)) {
        return "Pad-Stack";
    }
    return group->Pads().empty() ? "CAD-Object" : "Footprint";
}

CKV_DocInterface* GetDocForLibraryType(const CString& docType) {
    return GetPlugInManager()->GetDocInterface(docType);
}

bool GetDocInfoForDocType(const CString& docType, DOCINFOSTRUCT& info) {
    const auto* plugIn = dynamic_cast<const BuiltInDocPlugIn*>(GetDocForLibraryType(docType));
    return plugIn != nullptr && plugIn->GetDocInfo(0, info);
}
