#include "host/CDrwGroup.h"

#include "host/CDrwShapes.h"
#include "host/CUnitInfo.h"
#include "host/PadDimensions.h"
#include "host/PartBlobCodec.h"

IMPLEMENT_SERIAL(CDrwGroup, CDrawObject, 1)

CDrwGroup::CDrwGroup(const CDrwGroup& other) : CDrawObject(other) {
    for (const auto& object : other.m_objects) {
        m_objects.emplace_back(static_cast<CDrawObject*>(object->Clone()));
    }
}

void CDrwGroup::Add(std::unique_ptr<CDrawObject> object) {
    m_objects.push_back(std::move(object));
}

std::vector<const CDrwPad*> CDrwGroup::Pads() const {
    std::vector<const CDrwPad*> pads;
    AddPadsTo(pads);
    return pads;
}

// Told apart by their run-time classes, a few pointers to follow, where a dynamic_cast costs
// more than the rest of the walk: every store and measurement walks a part's objects.
void CDrwGroup::AddPadsTo(std::vector<const CDrwPad*>& pads) const {
    for (const auto& object : m_objects) {
        if (object->IsKindOf(RUNTIME_CLASS(CDrwPad))) {
            pads.push_back(static_cast<const CDrwPad*>(object.get()));
        } else if (object->IsGroup()) {
            static_cast<const CDrwGroup&>(*object).AddPadsTo(pads);
        }
    }
}

void CDrwGroup::SetDefaults(bool layer, bool color, bool attributes) {
    if (layer) {
        SetLayer(0);
    }
    if (color) {
        SetColor(0);
    }
    if (attributes) {
        for (int i = GetAttributeCount() - 1; i >= 0; --i) {
            if (GetAttribute(i).GetValue().IsEmpty()) {
                RemoveAttribute(GetAttributeWithTag(GetAttribute(i).GetTag()));
            }
        }
    }
}

void CDrwGroup::PrepareForLibrary() {
    const CKVRect box = GetBoundingBox();
    if (!box.IsEmpty()) {
        Offset(-(box.left + box.right) / 2, -(box.top + box.bottom) / 2);
    }
}

CKVRect CDrwGroup::GetBoundingBox() const {
    CKVRect box = CKVRect::Empty();
    for (const auto& object : m_objects) {
        box = box.Union(object->GetBoundingBox());
    }
    return box;
}

void CDrwGroup::Offset(long dx, long dy) {
    for (const auto& object : m_objects) {
        object->Offset(dx, dy);
    }
}

int CDrwGroup::CreateDimensions(CDrwObList* list, const CUnitInfo* units,
                                unsigned long mask) const {
    const CUnitInfo millimetres;
    return CreatePadDimensions(Pads(), list, units ? *units : millimetres, mask);
}

void CDrwGroup::EncodeShape(PartBlobWriter& out) const {
    out.Unsigned(m_objects.size());
    for (const auto& object : m_objects) {
        EncodeObject(*object, out);
    }
}

void CDrwGroup::DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) {
    if (depth >= kDeepestNesting) {
        throw PartBlobError("the part's groups nest too deeply");
    }
    const std::size_t count = in.Count(4);
    m_objects.clear();
    for (std::size_t i = 0; i < count; ++i) {
        m_objects.push_back(DecodeObject(in, map, depth + 1));
    }
}
