#pragma once
// The units control of the previews: a drop-down list of the units lengths are shown in, kept
// in step with a unit setting of its own that the dialog reads when it makes dimensions.

#include <functional>

#include "host/CUnitInfo.h"

class CComboBox;
class CWnd;

class CUnitControlCreation {
public:
    // Fills `combo` (a control of `parent`'s; not owned, it must outlive this object) with the
    // units, chooses the unit of `units`, and from then on follows the user's choice; `changed`
    // (may be empty) runs after each. `flags` is kept for the host's signature. Returns the
    // control's unit setting, owned by this object.
    CUnitInfo* CreateUnitControl(CWnd* parent, const CUnitInfo& units, int flags, CComboBox& combo,
                                 std::function<void()> changed = {});
    // Null before CreateUnitControl.
    CUnitInfo* GetUnitInfo() { return m_created ? &m_units : nullptr; }

    // The text of a unit in the list.
    static const char* UnitName(CUnitInfo::Unit unit);

private:
    CUnitInfo m_units;
    bool m_created = false;
};
