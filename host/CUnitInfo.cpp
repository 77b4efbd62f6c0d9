#include "host/CUnitInfo.h"

CString CUnitInfo::Format(long nanometres) const {
    const double value = static_cast<double>(nanometres);
    CString number;
    const char* suffix = " mm";
    switch (m_unit) {
        case kMil:
            number.Format("%.1f", value / 25400.0);
            suffix = " mil";
            break;
        case kInch:
            number.Format("%.4f", value / 25.4e6);
            suffix = " in";
            break;
        default:
            number.Format("%.3f", value / 1e6);
            break;
    }
    number.TrimRight('0');
    number.TrimRight('.');
    if (number == "-0") {
        number = "0";
    }
    return number + suffix;
}
