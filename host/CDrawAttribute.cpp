#include "host/CDrawAttribute.h"

#include <cctype>

void MakeQuestionMarkString(CString& designator) {
    int end = designator.GetLength();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(designator.GetAt(end - 1)))) {
        --end;
    }
    if (end == 0 || end == designator.GetLength()) {
        return;
    }
    designator = designator.Left(end) + "?";
}
