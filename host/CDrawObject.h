#pragma once
// A drawing object: an optional name, tagged attributes, a layer and a colour, geometry in
// nanometres, and its own part encoding. Objects own their attributes.

#include <memory>
#include <optional>
#include <vector>

#include "host/CDrawAttribute.h"
#include "host/CKVObject.h"
#include "host/CKVRect.h"

class CDrwObList;
class CUnitInfo;
class PartBlobReader;
class PartBlobWriter;

// Maps the layer and colour ids a part was stored with onto those of the document that loads
// it.
class PartDefinitionMap {
public:
    virtual ~PartDefinitionMap() = default;
    virtual long Layer(long storedId) const = 0;
    virtual long Color(long storedId) const = 0;
};

class CDrawObject : public CKVObject {
    DECLARE_DYNAMIC(CDrawObject)

public:
    CDrawObject() = default;
    CDrawObject(const CDrawObject& other);
    CDrawObject& operator=(const CDrawObject&) = delete;

    // The name, or null when the object is unnamed.
    const CString* GetName() const { return m_name ? &*m_name : nullptr; }
    void SetName(const CString& name) { m_name = name; }

    // The attribute with `tag` (exact), or null. Not owned by the caller. `flag` is kept for
    // the host's signature.
    CDrawAttribute* GetAttributeWithTag(const CString& tag, bool flag = false) const;
    // Takes ownership.
    void AddAttribute(std::unique_ptr<CDrawAttribute> attribute);
    // Removes and frees the attribute.
    void RemoveAttribute(CDrawAttribute* attribute);
    int GetAttributeCount() const { return static_cast<int>(m_attributes.size()); }
    const CDrawAttribute& GetAttribute(int index) const {
        return *m_attributes.at(static_cast<std::size_t>(index));
    }

    long GetLayer() const { return m_lLayer; }
    void SetLayer(long layer) { m_lLayer = layer; }
    long GetColor() const { return m_lColor; }
    void SetColor(long color) { m_lColor = color; }

    virtual bool IsGroup() const { return false; }
    virtual CKVRect GetBoundingBox() const = 0;
    virtual void Offset(long dx, long dy) = 0;
    // Readies the object for storing in a library; see CDrwGroup.
    virtual void PrepareForLibrary() {}
    // Adds dimension objects for the kinds in `mask` (bits of DimensionKind) to `list`, in the
    // units of `units`; returns how many were added.
    virtual int CreateDimensions(CDrwObList* list, const CUnitInfo* units,
                                 unsigned long mask) const;

    // The part encoding of what this class adds to CDrawObject; the common part is written by
    // EncodeCommon / DecodeCommon.
    virtual void EncodeShape(PartBlobWriter& out) const = 0;
    virtual void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) = 0;
    void EncodeCommon(PartBlobWriter& out) const;
    void DecodeCommon(PartBlobReader& in, const PartDefinitionMap& map);

    // The whole object: its class, the common part and its shape.
    static void EncodeObject(const CDrawObject& object, PartBlobWriter& out);
    // A new object read from `in` (the caller owns it); throws PartBlobError.
    static std::unique_ptr<CDrawObject> DecodeObject(PartBlobReader& in,
                                                     const PartDefinitionMap& map, int depth);

private:
    std::optional<CString> m_name;
    std::vector<std::unique_ptr<CDrawAttribute>> m_attributes;
    long m_lLayer = 0;
    long m_lColor = 0;
};
