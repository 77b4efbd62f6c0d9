#pragma once
// The dimensions a ruler would read off a set of pads: the spans over their outer edges, the
// pitch within rows (pads of one y) and within columns (pads of one x), the stagger between
// neighbouring rows and columns, and the size of each kind of pad.

#include <vector>

class CDrwObList;
class CDrwPad;
class CUnitInfo;

// Adds the dimensions of the kinds in `mask` to `list` (which owns them); how many it added.
int CreatePadDimensions(const std::vector<const CDrwPad*>& pads, CDrwObList* list,
                        const CUnitInfo& units, unsigned long mask);
