#pragma once
// The facts of a footprint's land pattern that users search by: how many pads, their pitch,
// how many rows they stand in and how far apart the outer rows are, the size of the body, and
// whether every pad is a surface pad. Measured from the centres of the pads on copper (an
// opening in the paste or the mask alone is no pad), in nanometres.
//
// A row is a line of at least two pads on one x (a column) or one y whose neighbours stand at
// the pitch, the smallest centre distance between two pads of a line: the two columns of a
// SOIC, the four sides of a QFN, the one line of a chip's two pads. The span is the distance
// between the outermost rows of one direction (the larger of the two directions).

class CDrwGroup;

struct PartGeometry {
    long padCount = 0;
    long pitch = 0;  // 0 when no two pads share a line
    long rowCount = 0;
    long span = 0;       // 0 with fewer than two rows of one direction
    long bodyWidth = 0;  // the courtyard's box, else the whole part's
    long bodyHeight = 0;
    bool smd = true;  // no pad has a hole

    bool operator==(const PartGeometry&) const = default;
};

PartGeometry MeasureGeometry(const CDrwGroup& part);
