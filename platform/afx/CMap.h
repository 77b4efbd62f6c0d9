#pragma once
// MFC's hash map. Iteration order is unspecified, as in MFC.

#include <unordered_map>

#include "platform/afx/CObject.h"

template <typename KEY, typename ARG_KEY, typename VALUE, typename ARG_VALUE>
class CMap : public CObject {
public:
    int GetCount() const { return static_cast<int>(m_map.size()); }
    int GetSize() const { return GetCount(); }
    bool IsEmpty() const { return m_map.empty(); }

    // True, with `value` set, when `key` is present.
    bool Lookup(ARG_KEY key, VALUE& value) const {
        const auto it = m_map.find(key);
        if (it == m_map.end()) {
            return false;
        }
        value = it->second;
        return true;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { m_map[key] = value; }
    VALUE& operator[](ARG_KEY key) { return m_map[key]; }
    bool RemoveKey(ARG_KEY key) { return m_map.erase(key) > 0; }
    void RemoveAll() { m_map.clear(); }
    // Prepares for about `size` entries; a hint, as in MFC.

    auto begin() const { return m_map.begin(); }
    auto end() const { return m_map.end(); }

private:
    std::unordered_map<KEY, VALUE> m_map;
};
