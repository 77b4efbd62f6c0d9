#include "host/CDrawObject.h"

#include <algorithm>

#include "host/PartBlobCodec.h"

IMPLEMENT_DYNAMIC(CDrawObject, CKVObject)

const CRuntimeClass CKVObject::classCKVObject = {"CKVObject", static_cast<int>(sizeof(CKVObject)),
                                                 0xFFFF, nullptr, RUNTIME_CLASS(CObject)};

CDrawObject::CDrawObject(const CDrawObject& other)
    : CKVObject(other), m_name(other.m_name), m_lLayer(other.m_lLayer), m_lColor(other.m_lColor) {
    for (const auto& attribute : other.m_attributes) {
        m_attributes.push_back(std::make_unique<CDrawAttribute>(*attribute));
    }
}

CDrawAttribute* CDrawObject::GetAttributeWithTag(const CString& tag, bool) const {
    for (const auto& attribute : m_attributes) {
        if (attribute->GetTag() == tag) {
            return attribute.get();
        }
    }
    return nullptr;
}

void CDrawObject::AddAttribute(std::unique_ptr<CDrawAttribute> attribute) {
    m_attributes.push_back(std::move(attribute));
}

void CDrawObject::RemoveAttribute(CDrawAttribute* attribute) {
    std::erase_if(m_attributes, [&](const auto& held) { return held.get() == attribute; });
}

int CDrawObject::CreateDimensions(CDrwObList*, const CUnitInfo*, unsigned long) const {
    return 0;
}

void CDrawObject::EncodeObject(const CDrawObject& object, PartBlobWriter& out) {
    out.Class(object.GetRuntimeClass());
    object.EncodeCommon(out);
    object.EncodeShape(out);
}

std::unique_ptr<CDrawObject> CDrawObject::DecodeObject(PartBlobReader& in,
                                                       const PartDefinitionMap& map, int depth) {
    const CRuntimeClass* cls = in.Class();
    if (!cls->IsDerivedFrom(RUNTIME_CLASS(CDrawObject)) || cls->m_pfnCreateObject == nullptr) {
        throw PartBlobError("the part names a class that is no drawing object");
    }
    std::unique_ptr<CDrawObject> object(static_cast<CDrawObject*>(cls->CreateObject()));
    object->DecodeCommon(in, map);
    object->DecodeShape(in, map, depth);
    return object;
}

void CDrawObject::EncodeCommon(PartBlobWriter& out) const {
    out.Byte(m_name ? 1 : 0);
    if (m_name) {
        out.Text(*m_name);
    }
    out.Signed(m_lLayer);
    out.Signed(m_lColor);
    out.Unsigned(m_attributes.size());
    for (const auto& attribute : m_attributes) {
        out.Text(attribute->GetTag());
        out.Text(attribute->GetValue());
    }
}

void CDrawObject::DecodeCommon(PartBlobReader& in, const PartDefinitionMap& map) {
    const std::uint8_t named = in.Byte();
    if (named > 1) {
        throw PartBlobError("a name flag in the part data is neither 0 nor 1");
    }
    m_name.reset();
    if (named) {
        m_name = in.Text();
    }
    m_lLayer = map.Layer(static_cast<long>(in.Signed()));
    m_lColor = map.Color(static_cast<long>(in.Signed()));
    const std::size_t count = in.Count(2);
    m_attributes.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const CString tag = in.Text();
        m_attributes.push_back(std::make_unique<CDrawAttribute>(tag, in.Text()));
    }
}
