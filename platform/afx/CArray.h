#pragma once
// MFC's growable array. Indexes are ints; an index out of range is a programming error.

#include <cassert>
#include <vector>

#include "platform/afx/CObject.h"

template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    void SetSize(int newSize) {
        m_items.resize(newSize < 0 ? 0 : static_cast<std::size_t>(newSize));
    }

    const TYPE& GetAt(int index) const { return m_items[Checked(index)]; }
    void SetAt(int index, ARG_TYPE value) { m_items[Checked(index)] = value; }
    TYPE& ElementAt(int index) { return m_items[Checked(index)]; }
    const TYPE& operator[](int index) const { return GetAt(index); }
    TYPE& operator[](int index) { return ElementAt(index); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

    // Index of the added element.
    int Add(ARG_TYPE value) {
        m_items.push_back(value);
        return GetSize() - 1;
    }
    void InsertAt(int index, ARG_TYPE value, int count = 1) {
        assert(index >= 0 && index <= GetSize());
        m_items.insert(m_items.begin() + index, static_cast<std::size_t>(count), value);
    }
    void RemoveAt(int index, int count = 1) {
        assert(index >= 0 && count >= 0 && index + count <= GetSize());
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void RemoveAll() { m_items.clear(); }
    // Index of the first appended element.
    int Append(const CArray& other) {
        const int first = GetSize();
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return first;
    }
    void Copy(const CArray& other) { m_items = other.m_items; }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::size_t Checked(int index) const {
        assert(index >= 0 && index < GetSize());
        return static_cast<std::size_t>(index);
    }

    std::vector<TYPE> m_items;
};
