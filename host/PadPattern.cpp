#include "host/PadPattern.h"

#include <algorithm>
#include <cmath>

#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"

PadPattern::PadPattern(const CDrwGroup& part) {
    double sumX = 0;
    double sumY = 0;
    for (const CDrwPad* pad : part.Pads()) {
        if (pad->IsCopperLand()) {
            const CKVRect box = pad->GetBoundingBox();  // a turned pad's size as it stands
            m_pads.push_back({static_cast<double>(pad->m_x), static_cast<double>(pad->m_y),
                              static_cast<double>(box.right - box.left),
                              static_cast<double>(box.top - box.bottom)});
            sumX += pad->m_x;
            sumY += pad->m_y;
        }
    }
    const double count = static_cast<double>(std::max<std::size_t>(m_pads.size(), 1));
    for (Pad& pad : m_pads) {
        pad.x -= sumX / count;
        pad.y -= sumY / count;
    }
    Order(m_pads);
}

// Rounded to a micrometre before ordering, so that rounding does not change the order of
// pads that stand in one column.
void PadPattern::Order(std::vector<Pad>& pads) {
    const auto key = [](const Pad& pad) {
        return std::make_pair(std::lround(pad.x / 1000.0), std::lround(pad.y / 1000.0));
    };
    std::sort(pads.begin(), pads.end(),
              [&key](const Pad& a, const Pad& b) { return key(a) < key(b); });
}

std::vector<PadPattern::Pad> PadPattern::Turned(std::vector<Pad> pads, int quarterTurns) {
    for (int turn = 0; turn < quarterTurns; ++turn) {
        for (Pad& pad : pads) {
            pad = {-pad.y, pad.x, pad.height, pad.width};
        }
    }
    Order(pads);
    return pads;
}

bool PadPattern::Matches(const PadPattern& other, long tolerance) const {
    if (m_pads.size() != other.m_pads.size() || m_pads.empty()) {
        return false;
    }
    const double within = static_cast<double>(tolerance);
    for (int turn = 0; turn < 4; ++turn) {
        const std::vector<Pad> turned = Turned(other.m_pads, turn);
        const bool alike = std::equal(
            m_pads.begin(), m_pads.end(), turned.begin(), [within](const Pad& a, const Pad& b) {
                return std::fabs(a.x - b.x) <= within && std::fabs(a.y - b.y) <= within &&
                       std::fabs(a.width - b.width) <= within &&
                       std::fabs(a.height - b.height) <= within;
            });
        if (alike) {
            return true;
        }
    }
    return false;
}
