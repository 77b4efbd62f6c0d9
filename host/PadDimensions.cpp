#include "host/PadDimensions.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "host/CDrwDimension.h"
#include "host/CDrwObList.h"
#include "host/CDrwShapes.h"
#include "host/CUnitInfo.h"

namespace {

struct Adder {
    CDrwObList* list;
    const CUnitInfo& units;
    int added = 0;

    void operator()(DimensionKind kind, long x1, long y1, long x2, long y2, long value) {
        list->Add(new CDrwDimension(kind, x1, y1, x2, y2, value, units.Format(value)));
        ++added;
    }
};

// The closest neighbours along one axis among pads that share the other: the pair with the
// smallest positive distance, as (from, to).
std::optional<std::pair<const CDrwPad*, const CDrwPad*>> SmallestPitch(
    const std::map<long, std::vector<const CDrwPad*>>& lines, long CDrwPad::*along) {
    std::optional<std::pair<const CDrwPad*, const CDrwPad*>> best;
    for (const auto& [position, members] : lines) {
        for (std::size_t i = 1; i < members.size(); ++i) {
            const long distance = members[i]->*along - members[i - 1]->*along;
            if (distance > 0 && (!best || distance < best->second->*along - best->first->*along)) {
                best = std::pair{members[i - 1], members[i]};
            }
        }
    }
    return best;
}

// Pads by the coordinate `across` they share, each line sorted along the other.
std::map<long, std::vector<const CDrwPad*>> Lines(const std::vector<const CDrwPad*>& pads,
                                                  long CDrwPad::*across, long CDrwPad::*along) {
    std::map<long, std::vector<const CDrwPad*>> lines;
    for (const CDrwPad* pad : pads) {
        lines[pad->*across].push_back(pad);
    }
    for (auto& [position, members] : lines) {
        std::sort(members.begin(), members.end(),
                  [&](const CDrwPad* a, const CDrwPad* b) { return a->*along < b->*along; });
    }
    return lines;
}

// The smallest non-zero offset along `along` between the first pads of neighbouring lines.
std::optional<std::pair<const CDrwPad*, const CDrwPad*>> SmallestStagger(
    const std::map<long, std::vector<const CDrwPad*>>& lines, long CDrwPad::*along) {
    std::optional<std::pair<const CDrwPad*, const CDrwPad*>> best;
    const CDrwPad* previous = nullptr;
    for (const auto& [position, members] : lines) {
        const CDrwPad* first = members.front();
        if (previous != nullptr) {
            const long offset = std::abs(first->*along - previous->*along);
            if (offset > 0 &&
                (!best || offset < std::abs(best->second->*along - best->first->*along))) {
                best = std::pair{previous, first};
            }
        }
        previous = first;
    }
    return best;
}

}  // namespace

int CreatePadDimensions(const std::vector<const CDrwPad*>& pads, CDrwObList* list,
                        const CUnitInfo& units, unsigned long mask) {
    Adder add{list, units};
    if (pads.empty() || list == nullptr) {
        return 0;
    }
    CKVRect box = CKVRect::Empty();
    for (const CDrwPad* pad : pads) {
        box = box.Union(pad->GetBoundingBox());
    }
    if (mask & kDimHorizontalSpan) {
        add(kDimHorizontalSpan, box.left, box.top, box.right, box.top, box.Width());
    }
    if (mask & kDimVerticalSpan) {
        add(kDimVerticalSpan, box.right, box.bottom, box.right, box.top, box.Height());
    }
    const auto rows = Lines(pads, &CDrwPad::m_y, &CDrwPad::m_x);
    const auto columns = Lines(pads, &CDrwPad::m_x, &CDrwPad::m_y);
    if (mask & kDimHorizontalPitch) {
        if (const auto pair = SmallestPitch(rows, &CDrwPad::m_x)) {
            add(kDimHorizontalPitch, pair->first->m_x, pair->first->m_y, pair->second->m_x,
                pair->second->m_y, pair->second->m_x - pair->first->m_x);
        }
    }
    if (mask & kDimVerticalPitch) {
        if (const auto pair = SmallestPitch(columns, &CDrwPad::m_y)) {
            add(kDimVerticalPitch, pair->first->m_x, pair->first->m_y, pair->second->m_x,
                pair->second->m_y, pair->second->m_y - pair->first->m_y);
        }
    }
    if (mask & kDimInterRowHorizontalPitch) {
        if (const auto pair = SmallestStagger(rows, &CDrwPad::m_x)) {
            add(kDimInterRowHorizontalPitch, pair->first->m_x, pair->first->m_y, pair->second->m_x,
                pair->first->m_y, std::abs(pair->second->m_x - pair->first->m_x));
        }
    }
    if (mask & kDimInterColumnVerticalPitch) {
        if (const auto pair = SmallestStagger(columns, &CDrwPad::m_y)) {
            add(kDimInterColumnVerticalPitch, pair->first->m_x, pair->first->m_y, pair->first->m_x,
                pair->second->m_y, std::abs(pair->second->m_y - pair->first->m_y));
        }
    }
    if (mask & kDimPads) {
        std::set<std::tuple<int, long, long>> seen;
        for (const CDrwPad* pad : pads) {
            if (seen.emplace(static_cast<int>(pad->m_eShape), pad->m_width, pad->m_height).second) {
                const CKVRect edge = pad->GetBoundingBox();
                list->Add(new CDrwDimension(
                    kDimPads, edge.left, edge.bottom, edge.right, edge.bottom, pad->m_width,
                    units.Format(pad->m_width) + " x " + units.Format(pad->m_height)));
                ++add.added;
            }
        }
    }
    return add.added;
}
