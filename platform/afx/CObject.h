#pragma once
// MFC's root class with run-time class information: a class declared with DECLARE_DYNCREATE or
// DECLARE_SERIAL can be created from its name, as archives do when they read objects back.

#include "platform/afx/AfxTypes.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();  // null for classes that cannot be created by name
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class (the caller frees it), or null when it is not creatable.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The class registered under `name` (exact spelling), or null.
    static const CRuntimeClass* FromName(const char* name);
    // Makes `cls` known to FromName; done by the IMPLEMENT_ macros.
    static void Register(const CRuntimeClass* cls);
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const;
    virtual void Serialize(CArchive& ar);

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

// Marks a schema number as one whose older versions an archive may still read.
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000;

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_name, schema, create)  \
    const CRuntimeClass class_name::class##class_name = {                  \
        #class_name, static_cast<int>(sizeof(class_name)), schema, create, \
        RUNTIME_CLASS(base_name)};                                         \
    const CRuntimeClass* class_name::GetRuntimeClass() const {             \
        return RUNTIME_CLASS(class_name);                                  \
    }                                                                      \
    static const bool class_name##_registered = [] {                       \
        CRuntimeClass::Register(RUNTIME_CLASS(class_name));                \
        return true;                                                       \
    }();

#define IMPLEMENT_DYNAMIC(class_name, base_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name) \
    CObject* class_name::CreateObject() {          \
        return new class_name;                     \
    }                                              \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_name, schema) \
    CObject* class_name::CreateObject() {               \
        return new class_name;                          \
    }                                                   \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_name, schema, class_name::CreateObject)
