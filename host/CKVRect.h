#pragma once
// A rectangle in drawing units (nanometres); y grows upwards, so top >= bottom.

#include <algorithm>

struct CKVRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    CKVRect() = default;
    CKVRect(long l, long t, long r, long b) : left(l), top(t), right(r), bottom(b) {}

    long Width() const { return right - left; }
    long Height() const { return top - bottom; }
    bool IsEmpty() const { return right < left || top < bottom; }
    // The smallest rectangle holding both; an empty one adds nothing.
    CKVRect Union(const CKVRect& other) const {
        if (IsEmpty()) {
            return other;
        }
        if (other.IsEmpty()) {
            return *this;
        }
        return {std::min(left, other.left), std::max(top, other.top), std::max(right, other.right),
                std::min(bottom, other.bottom)};
    }
    static CKVRect Empty() { return {0, -1, -1, 0}; }
};
