#include "host/PartGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"

namespace {

// Centres closer than this (a micrometre) count as one line, as rounding makes them differ.
constexpr long kTolerance = 1000;

struct Centre {
    long across;  // the coordinate the line shares (x of a column, y of a row)
    long along;
};

// The lines of pads of one direction: each with its shared coordinate and its pads' positions
// along it, in order; only lines of two pads or more.
std::vector<std::pair<long, std::vector<long>>> LinesOf(std::vector<Centre> centres) {
    std::sort(centres.begin(), centres.end(),
              [](const Centre& a, const Centre& b) { return a.across < b.across; });
    std::vector<std::pair<long, std::vector<long>>> lines;
    for (std::size_t first = 0; first < centres.size();) {
        std::size_t last = first;
        while (last + 1 < centres.size() &&
               centres[last + 1].across - centres[first].across <= kTolerance) {
            ++last;
        }
        if (last > first) {
            std::vector<long> along;
            for (std::size_t i = first; i <= last; ++i) {
                along.push_back(centres[i].along);
            }
            std::sort(along.begin(), along.end());
            lines.emplace_back(centres[first].across, std::move(along));
        }
        first = last + 1;
    }
    return lines;
}

long SmallestGap(const std::vector<long>& along) {
    long smallest = 0;
    for (std::size_t i = 1; i < along.size(); ++i) {
        const long gap = along[i] - along[i - 1];
        if (gap > kTolerance && (smallest == 0 || gap < smallest)) {
            smallest = gap;
        }
    }
    return smallest;
}

CKVRect CourtyardOrWhole(const CDrwGroup& part) {
    bool found = false;
    CKVRect box;
    for (int i = 0; i < part.GetObjectCount(); ++i) {
        const CDrawObject* object = part.GetObject(i);
        if (object->GetLayer() != kLayerCourtyard) {
            continue;
        }
        const CKVRect each = object->GetBoundingBox();
        box = found ? CKVRect(std::min(box.left, each.left), std::min(box.top, each.top),
                              std::max(box.right, each.right), std::max(box.bottom, each.bottom))
                    : each;
        found = true;
    }
    return found ? box : part.GetBoundingBox();
}

}  // namespace

PartGeometry MeasureGeometry(const CDrwGroup& part) {
    PartGeometry geometry;
    std::vector<Centre> columns;  // across = x
    std::vector<Centre> rows;     // across = y
    for (const CDrwPad* pad : part.Pads()) {
        if (!pad->IsCopperLand()) {
            continue;
        }
        ++geometry.padCount;
        geometry.smd = geometry.smd && pad->m_drill == 0;
        columns.push_back({pad->m_x, pad->m_y});
        rows.push_back({pad->m_y, pad->m_x});
    }
    const auto directions = {LinesOf(columns), LinesOf(rows)};
    for (const auto& lines : directions) {
        for (const auto& line : lines) {
            const long gap = SmallestGap(line.second);
            if (gap > 0 && (geometry.pitch == 0 || gap < geometry.pitch)) {
                geometry.pitch = gap;
            }
        }
    }
    for (const auto& lines : directions) {
        std::vector<long> across;
        for (const auto& [where, along] : lines) {
            if (geometry.pitch > 0 &&
                std::labs(SmallestGap(along) - geometry.pitch) <= kTolerance) {
                across.push_back(where);
            }
        }
        geometry.rowCount += static_cast<long>(across.size());
        if (across.size() >= 2) {
            const auto [low, high] = std::minmax_element(across.begin(), across.end());
            geometry.span = std::max(geometry.span, *high - *low);
        }
    }
    if (part.GetObjectCount() == 0) {
        return geometry;  // nothing has a size
    }
    const CKVRect body = CourtyardOrWhole(part);
    geometry.bodyWidth = body.right - body.left;
    geometry.bodyHeight = std::labs(body.bottom - body.top);
    return geometry;
}
