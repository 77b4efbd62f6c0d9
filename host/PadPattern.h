#pragma once
// A footprint's copper pads as a shape, wherever the footprint stands and however it is turned:
// the pads' centres taken from their common centre, with their sizes. Two footprints are alike
// when their patterns match pad for pad within a tolerance, turned by some multiple of 90
// degrees; the pads' numbers and shapes do not count.

#include <vector>

class CDrwGroup;

class PadPattern {
public:
    explicit PadPattern(const CDrwGroup& part);

    // Whether the two patterns match within `tolerance` nanometres, in one of the four turns.
    bool Matches(const PadPattern& other, long tolerance) const;
    std::size_t PadCount() const { return m_pads.size(); }

private:
    struct Pad {
        double x, y, width, height;
    };
    static std::vector<Pad> Turned(std::vector<Pad> pads, int quarterTurns);
    static void Order(std::vector<Pad>& pads);

    std::vector<Pad> m_pads;  // in order of x, then y
};
