#include "access/ChangeRefused.h"

#include "resources/VaultryModule.h"

namespace {

CString Filled(UINT id, const CString& argument) {
    CString text = ModuleString(id);
    text.Replace("%1", argument);
    return text;
}

}  // namespace

ChangeRefused ChangeRefused::Invalid(UINT id, const CString& argument) {
    return ChangeRefused(Reason::kInvalid, Filled(id, argument));
}

ChangeRefused ChangeRefused::Failed(UINT id, const CString& argument) {
    return ChangeRefused(Reason::kFailed, Filled(id, argument));
}
