#pragma once
// A group of drawing objects: a footprint, a pad stack or a mechanical part. Owns its objects.

#include <memory>
#include <vector>

#include "host/CDrawObject.h"

class CDrwPad;

class CDrwGroup : public CDrawObject {
    DECLARE_SERIAL(CDrwGroup)

public:
    CDrwGroup() = default;
    CDrwGroup(const CDrwGroup& other);

    CKVObject* Clone() const override { return new CDrwGroup(*this); }
    bool IsGroup() const override { return true; }

    // Takes ownership.
    void Add(std::unique_ptr<CDrawObject> object);
    int GetObjectCount() const { return static_cast<int>(m_objects.size()); }
    CDrawObject* GetObject(int index) const {
        return m_objects.at(static_cast<std::size_t>(index)).get();
    }
    // Every pad in the group and its sub-groups, not owned by the caller.
    std::vector<const CDrwPad*> Pads() const;

    // Resets what a group does not carry into a library: its own layer (`layer`), its own
    // colour (`color`) and attributes that hold no value (`attributes`).
    void SetDefaults(bool layer, bool color, bool attributes);
    // Moves the group so that the centre of its bounding box lies on the origin: parts are
    // stored centred, as footprints are placed by their centre.
    void PrepareForLibrary() override;

    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    int CreateDimensions(CDrwObList* list, const CUnitInfo* units,
                         unsigned long mask) const override;
    void EncodeShape(PartBlobWriter& out) const override;
    // Children are created from the blob's class table; groups nest at most kDeepestNesting.
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    static constexpr int kDeepestNesting = 16;

private:
    void AddPadsTo(std::vector<const CDrwPad*>& pads) const;

    std::vector<std::unique_ptr<CDrawObject>> m_objects;
};
