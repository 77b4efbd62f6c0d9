#include "host/PartGeometry.h"

#include <algorithm>
#include <cstdlib>
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

// Pads of one direction that share a line: centres[first, last) of the array it was found in,
// sorted along the line.
struct Line {
    long across;
    std::size_t first;
    std::size_t last;
};

// The lines of pads of one direction, of two pads or more. `centres` is sorted in place, so
// that each line is a range of it: a part is measured each time it is stored, and a range
// costs no allocation of its own.
std::vector<Line> LinesOf(std::vector<Centre>& centres) {
    std::sort(centres.begin(), centres.end(),
              [](const Centre& a, const Centre& b) { return a.across < b.across; });
    std::vector<Line> lines;
    for (std::size_t first = 0; first < centres.size();) {
        std::size_t last = first + 1;
        while (last < centres.size() &&
               centres[last].across - centres[first].across <= kTolerance) {
            ++last;
        }
        if (last - first >= 2) {
            const long across = centres[first].across;  // the lowest, before the sort along
            std::sort(centres.begin() + static_cast<std::ptrdiff_t>(first),
                      centres.begin() + static_cast<std::ptrdiff_t>(last),
                      [](const Centre& a, const Centre& b) { return a.along < b.along; });
            lines.push_back({across, first, last});
        }
        first = last;
    }
    return lines;
}

long SmallestGap(const std::vector<Centre>& centres, const Line& line) {
    long smallest = 0;
    for (std::size_t i = line.first + 1; i < line.last; ++i) {
        const long gap = centres[i].along - centres[i - 1].along;
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
    const std::vector<const CDrwPad*> pads = part.Pads();
    std::vector<Centre> centres[2];  // columns (across = x), then rows (across = y)
    for (std::vector<Centre>& direction : centres) {
        direction.reserve(pads.size());
    }
    for (const CDrwPad* pad : pads) {
        if (!pad->IsCopperLand()) {
            continue;
        }
        ++geometry.padCount;
        geometry.smd = geometry.smd && pad->m_drill == 0;
        centres[0].push_back({pad->m_x, pad->m_y});
        centres[1].push_back({pad->m_y, pad->m_x});
    }
    const std::vector<Line> lines[2] = {LinesOf(centres[0]), LinesOf(centres[1])};
    for (int direction = 0; direction < 2; ++direction) {
        for (const Line& line : lines[direction]) {
            const long gap = SmallestGap(centres[direction], line);
            if (gap > 0 && (geometry.pitch == 0 || gap < geometry.pitch)) {
                geometry.pitch = gap;
            }
        }
    }
    for (int direction = 0; direction < 2; ++direction) {
        std::vector<long> across;
        for (const Line& line : lines[direction]) {
            if (geometry.pitch > 0 &&
                std::labs(SmallestGap(centres[direction], line) - geometry.pitch) <= kTolerance) {
                across.push_back(line.across);
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
