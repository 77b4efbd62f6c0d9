#include "serial/CCommonLibraryInfo.h"

#include <algorithm>
#include <cstring>

#include "host/CBlob.h"
#include "host/CDrawContext.h"
#include "host/CDrwClassList.h"
#include "host/CPlugInManager.h"
#include "host/CPoolStringStorage.h"
#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"
#include "host/CXMLArchive.h"
#include "platform/afx/CMemFile.h"
#include "serial/CDocTypeLibraryInfo.h"

IMPLEMENT_SERIAL(CCommonLibraryInfo, CObject, 600 | VERSIONABLE_SCHEMA)

namespace {

bool StartsWith(const BYTE* data, UINT length, const char* text) {
    const std::size_t n = std::strlen(text);
    return length >= n && std::memcmp(data, text, n) == 0;
}

}  // namespace

CCommonLibraryInfo::CCommonLibraryInfo()
    : m_pClassList(new CDrwClassList), m_pStringStorage(new CPoolStringStorage(0)) {}

CCommonLibraryInfo::~CCommonLibraryInfo() {
    DeleteAll();
    delete m_pClassList;
    delete m_pStringStorage;
}

void CCommonLibraryInfo::DeleteAll() {
    m_pClassList->RemoveAll();
    m_pStringStorage->DeleteAll();
    for (const auto& [name, info] : m_mapDocTypeLibInfo) {
        delete info;
    }
    m_mapDocTypeLibInfo.RemoveAll();
}

void CCommonLibraryInfo::ResetTo(const CString& strDocType, const CColorDefinition& colours,
                                 const CLayerDefinition& layers) {
    const CDocTypeLibraryInfo* kept = GetDocTypeLibInfo(strDocType);
    if (kept == nullptr || m_mapDocTypeLibInfo.GetCount() != 1 ||
        !(*kept->GetLayerDefinition() == layers) || !(*kept->GetColorDefinition() == colours)) {
        DeleteAll();
        m_mapDocTypeLibInfo.SetAt(strDocType, new CDocTypeLibraryInfo(&layers, &colours));
        return;
    }
    m_pClassList->RemoveAll();
    m_pStringStorage->DeleteAll();
}

UINT CCommonLibraryInfo::EncodeDataBlock(BYTE*& pData) {
    CMemFile file(10240);
    {
        CXMLArchive ar("", CXMLArchive::kCompressedMarker, &file, true, true, true, nullptr, false);
        ar.SaveHeader();
        {
            CSafeStartAndEndElement root(ar, "CommonLibraryObject");
            XMLSerialize(ar, nullptr);
        }
        ar.Close();
    }
    const auto length = static_cast<UINT>(file.GetLength());
    pData = file.Detach();
    return length;
}

CBlob* CCommonLibraryInfo::EncodeBlob() {
    BYTE* data = nullptr;
    const UINT length = EncodeDataBlock(data);
    CBlob* blob = nullptr;
    if (length > 0) {
        blob = new CBlob(data, length);
    }
    std::free(data);
    return blob;
}

bool CCommonLibraryInfo::DecodeDataBlock(const BYTE* pData, UINT nLength) {
    if (nLength == 0) {
        return false;
    }
    const UINT signature = static_cast<UINT>(std::max(std::strlen(CXMLArchive::kCompressedMarker),
                                                      std::strlen(CXMLArchive::kPlainMarker)));
    if (nLength <= signature) {
        return true;
    }
    const bool compressed = StartsWith(pData, nLength, CXMLArchive::kCompressedMarker);
    if (!compressed && !StartsWith(pData, nLength, CXMLArchive::kPlainMarker)) {
        return true;
    }
    // Read-only: the archive only reads, and the file is attached without a grow size.
    CMemFile file(const_cast<BYTE*>(pData), nLength);
    CXMLArchive ar("", CXMLArchive::kCompressedMarker, &file, false, compressed, true, nullptr,
                   false);
    if (ar.ReadElementHeader("CommonLibraryObject")) {
        XMLSerialize(ar, nullptr);
    }
    ar.Close();
    file.Detach();
    return true;
}

bool CCommonLibraryInfo::DecodeBlob(CBlob* pBlob) {
    if (pBlob == nullptr) {
        return false;
    }
    const bool result = DecodeDataBlock(pBlob->m_pData, pBlob->m_nSize);
    delete pBlob;
    return result;
}

CDocTypeLibraryInfo* CCommonLibraryInfo::GetDocTypeLibInfo(const CString& strDocType) const {
    CObject* found = nullptr;
    return m_mapDocTypeLibInfo.Lookup(strDocType, found) ? static_cast<CDocTypeLibraryInfo*>(found)
                                                         : nullptr;
}

CDocTypeLibraryInfo* CCommonLibraryInfo::SetDocTypeLibInfo(const CString& strDocType,
                                                           const CDocTypeLibraryInfo& info) {
    auto* copy = new CDocTypeLibraryInfo(info);
    delete GetDocTypeLibInfo(strDocType);
    m_mapDocTypeLibInfo.SetAt(strDocType, copy);
    return copy;
}

bool CCommonLibraryInfo::AssertDocTypeLibInfo(const CString& strDocType) {
    if (GetDocTypeLibInfo(strDocType) != nullptr) {
        return true;
    }
    if (const CDrawContext* context = GetDrawContext()) {
        SetDocTypeLibInfo(strDocType, CDocTypeLibraryInfo(&context->GetLayerDefinition(),
                                                          &context->GetColorDefinition()));
    } else if (const CKV_DocInterface* plugIn = GetPlugInManager()->GetDocInterface(strDocType);
               plugIn != nullptr && plugIn->GetLayerDefinition() && plugIn->GetColorDefinition(0)) {
        SetDocTypeLibInfo(strDocType, CDocTypeLibraryInfo(plugIn->GetLayerDefinition(),
                                                          plugIn->GetColorDefinition(0)));
    } else {
        SetDocTypeLibInfo(strDocType, CDocTypeLibraryInfo());
    }
    return GetDocTypeLibInfo(strDocType) != nullptr;
}

bool CCommonLibraryInfo::AssertDocTypeLibInfo(const CString& strDocType,
                                              const CColorDefinition* pColorDef,
                                              const CLayerDefinition* pLayerDef) {
    if (GetDocTypeLibInfo(strDocType) == nullptr && pColorDef != nullptr && pLayerDef != nullptr) {
        SetDocTypeLibInfo(strDocType, CDocTypeLibraryInfo(pLayerDef, pColorDef));
    }
    return AssertDocTypeLibInfo(strDocType);
}

void CCommonLibraryInfo::XMLSerialize(CXMLArchive& ar, void* pParent) {
    if (ar.IsStoring()) {
        if (pParent == this) {
            XMLizeAttribute(ar);
            XMLizeElementData(ar);
            return;
        }
        CSafeStartAndEndElement element(ar, "CommonLibObject");
        XMLizeAttribute(ar);
        XMLizeElementData(ar);
        return;
    }
    if (pParent != this && !ar.ReadElementHeader("CommonLibObject")) {
        return;
    }
    if (!ar.IsAttribute("Class", GetRuntimeClass()->m_lpszClassName)) {
        return;
    }
    XMLizeAttribute(ar);
    CSafeReadElementStart inside(ar);
    XMLizeElementData(ar);
}

void CCommonLibraryInfo::XMLizeAttribute(CXMLArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteAttribute("Class", CString(GetRuntimeClass()->m_lpszClassName));
    }
}

void CCommonLibraryInfo::XMLizeElementData(CXMLArchive& ar) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement data(ar, "DocTypeData");
        for (const auto& [name, value] : m_mapDocTypeLibInfo) {
            if (name.IsEmpty() || value == nullptr) {
                continue;
            }
            CSafeStartAndEndElement entry(ar, "DocData");
            ar.WriteAttribute("Name", name);
            static_cast<CDocTypeLibraryInfo*>(value)->XMLSerialize(ar, this);
        }
        return;
    }
    DeleteAll();
    if (!ar.ReadElementHeader("DocTypeData")) {
        return;
    }
    CSafeReadElementStart data(ar);
    for (bool more = ar.HasElement(); more && ar.IsElementName("DocData");
         more = ar.GetNextElem()) {
        const CString name = ar.ReadAttribute("Name", CString());
        CSafeReadElementStart entry(ar);
        if (name.IsEmpty() || !ar.HasElement()) {
            continue;
        }
        const CRuntimeClass* cls =
            ar.GetRuntimeClassUsingName(ar.ReadAttribute("Class", CString()));
        if (cls == nullptr || !cls->IsDerivedFrom(RUNTIME_CLASS(CDocTypeLibraryInfo))) {
            continue;
        }
        auto* info = static_cast<CDocTypeLibraryInfo*>(cls->CreateObject());
        info->XMLSerialize(ar, this);
        delete GetDocTypeLibInfo(name);
        m_mapDocTypeLibInfo.SetAt(name, info);
    }
}
