#pragma once
// The sheet a caller gave, or, when it gave none, a scratch sheet that lives as long as this
// object: what a part is encoded from or decoded into.

#include <optional>

#include "host/CDrwSubSheet.h"

class SheetOrScratch {
public:
    // `given` (not owned) may be null.
    explicit SheetOrScratch(CDrwSubSheet* given)
        : m_sheet(given != nullptr ? given : &m_scratch.emplace()) {}
    SheetOrScratch(const SheetOrScratch&) = delete;
    SheetOrScratch& operator=(const SheetOrScratch&) = delete;

    // Never null.
    CDrwSubSheet* get() const { return m_sheet; }

private:
    std::optional<CDrwSubSheet> m_scratch;
    CDrwSubSheet* m_sheet;  // the given sheet, or m_scratch
};
