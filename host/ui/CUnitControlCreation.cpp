#include "host/ui/CUnitControlCreation.h"

#include "platform/ui/Controls.h"

namespace {

constexpr CUnitInfo::Unit kUnits[] = {CUnitInfo::kMillimetre, CUnitInfo::kMil, CUnitInfo::kInch};

}  // namespace

const char* CUnitControlCreation::UnitName(CUnitInfo::Unit unit) {
    switch (unit) {
        case CUnitInfo::kMil:
            return "mil";
        case CUnitInfo::kInch:
            return "inch";
        default:
            return "mm";
    }
}

CUnitInfo* CUnitControlCreation::CreateUnitControl(CWnd* /*parent*/, const CUnitInfo& units,
                                                   int /*flags*/, CComboBox& combo,
                                                   std::function<void()> changed) {
    m_units = units;
    m_created = true;
    combo.ResetContent();
    for (const CUnitInfo::Unit unit : kUnits) {
        const int index = combo.AddString(UnitName(unit));
        combo.SetItemData(index, static_cast<DWORD_PTR>(unit));
        if (unit == units.GetUnit()) {
            combo.SetCurSel(index);
        }
    }
    combo.OnSelChange([this, &combo, changed = std::move(changed)] {
        const int index = combo.GetCurSel();
        if (index == CB_ERR) {
            return;
        }
        m_units.SetUnit(static_cast<CUnitInfo::Unit>(combo.GetItemData(index)));
        if (changed) {
            changed();
        }
    });
    return &m_units;
}
