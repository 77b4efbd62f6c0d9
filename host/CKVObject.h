#pragma once
// The root of the host's drawing objects.

#include "platform/afx/CObject.h"

class CKVObject : public CObject {
public:
    static const CRuntimeClass classCKVObject;

    // A deep copy, owned by the caller.
    virtual CKVObject* Clone() const = 0;
};
