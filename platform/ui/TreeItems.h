#pragma once
// The items of a tree view as plain data: each with its text, its item data and its children
// in order. The tree view's model reads them; the control changes them through the model, so
// that the view hears of every change.

#include <memory>
#include <vector>

#include "platform/afx/AfxTypes.h"
#include "platform/afx/CString.h"

struct TreeItem {
    CString text;
    DWORD_PTR data = 0;
    TreeItem* parent = nullptr;  // null for a top-level item
    int row = 0;                 // its place among its parent's children
    std::vector<std::unique_ptr<TreeItem>> children;
};

// A tree item, as the controls hand them around; null for none (or, as a parent, the top level).
using HTREEITEM = TreeItem*;
