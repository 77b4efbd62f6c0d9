#pragma once
// The unit lengths are shown in.

#include "platform/afx/CString.h"

class CUnitInfo {
public:
    enum Unit { kMillimetre = 0, kMil = 1, kInch = 2 };

    explicit CUnitInfo(int unit = kMillimetre)
        : m_unit(unit >= kMillimetre && unit <= kInch ? Unit(unit) : kMillimetre) {}

    Unit GetUnit() const { return m_unit; }
    void SetUnit(Unit unit) { m_unit = unit; }
    // `nanometres` in this unit, without trailing zeros: "1.27 mm", "50 mil", "0.05 in".
    CString Format(long nanometres) const;

private:
    Unit m_unit;
};
