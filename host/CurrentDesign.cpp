#include "host/CurrentDesign.h"

#include "host/CDrawContext.h"
#include "host/CDrwSubSheet.h"
#include "host/CTotalLayerInformation.h"
#include "host/CUnitInfo.h"

namespace {

struct Design {
    CDrwSubSheet* sheet = nullptr;
    CUnitInfo units;
    CTotalLayerInformation layers;
    CDrawContext context;
};

Design& Current() {
    static Design design;
    return design;
}

}  // namespace

CDrwSubSheet* GetDrwSubSheet() {
    return Current().sheet;
}

CLayerDefinition* GetSheetLayerDefinition() {
    return Current().sheet ? &Current().sheet->GetLayerDefinition() : nullptr;
}

CColorDefinition* GetSheetColorDefinition() {
    return Current().sheet ? &Current().sheet->GetColorDefinition() : nullptr;
}

CUnitInfo* GetSheetUnitInfo() {
    return Current().sheet ? &Current().units : nullptr;
}

CTotalLayerInformation* GetTotalLayerInformation() {
    return Current().sheet ? &Current().layers : nullptr;
}

void SetCurrentDesign(CDrwSubSheet* sheet) {
    Design& design = Current();
    design.sheet = sheet;
    if (sheet == nullptr) {
        design.layers.DeleteAll();
        SetDrawContext(nullptr);
        return;
    }
    design.layers.SetLayerDefinition(sheet->GetLayerDefinition());
    design.context.GetLayerDefinition().Init(sheet->GetLayerDefinition());
    design.context.GetColorDefinition().Init(sheet->GetColorDefinition());
    SetDrawContext(&design.context);
}
