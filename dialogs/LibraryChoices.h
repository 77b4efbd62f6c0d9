#pragma once
// What the dialogs that pick where parts go have in common: the combo box of the libraries a
// part may be stored into, and the bar of a category tree whose categories may be added,
// removed and renamed from it.

class CComboBox;
class CDynamicWindowWithButtons;
class CObjectTreeCtrl;
class CWnd;

// Adds the libraries, each with its tier as item data: the master one only when the host
// allows changing it, then the corporate and the user one. Selects nothing.
void AddTargetLibraries(CComboBox& combo);

// Frames `tree` with `bar`, whose New, Delete and Rename (Ctrl+N, Delete, F2) go to `owner`.
void MakeCategoryBar(CDynamicWindowWithButtons& bar, CWnd* owner, CObjectTreeCtrl& tree);
