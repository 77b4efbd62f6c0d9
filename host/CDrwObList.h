#pragma once
// A list of drawing objects. Whether it frees its objects when destroyed is its ownership flag;
// DestroyContent frees them always, RemoveAll never.

#include <vector>

class CDrawObject;

class CDrwObList {
public:
    explicit CDrwObList(bool ownsObjects = true) : m_bOwnsObjects(ownsObjects) {}
    ~CDrwObList();
    CDrwObList(const CDrwObList&) = delete;
    CDrwObList& operator=(const CDrwObList&) = delete;

    void Add(CDrawObject* object) { m_objects.push_back(object); }
    int GetCount() const { return static_cast<int>(m_objects.size()); }
    CDrawObject* GetAt(int index) const { return m_objects.at(static_cast<std::size_t>(index)); }
    void RemoveAll() { m_objects.clear(); }
    // Frees every object and empties the list.
    void DestroyContent();
    bool OwnsObjects() const { return m_bOwnsObjects; }
    void SetOwnsObjects(bool owns) { m_bOwnsObjects = owns; }

private:
    std::vector<CDrawObject*> m_objects;
    bool m_bOwnsObjects;
};
