#include "resources/VaultryTemplates.h"

#include "resources/VaultryStrings.h"

namespace {

using K = ControlKind;
// Anchors: what a control does when its dialog grows. The category tree takes three tenths of
// the extra width, the part list the next three, the preview the rest; all take the height.
constexpr ControlAnchor kTreeColumn{0, 0, 30, 100};
constexpr ControlAnchor kListTop{30, 0, 30, 0};
constexpr ControlAnchor kListColumn{30, 0, 30, 100};
constexpr ControlAnchor kListBottom{30, 100, 0, 0};
constexpr ControlAnchor kPreviewTop{60, 0, 0, 0};
constexpr ControlAnchor kPreviewColumn{60, 0, 40, 100};
constexpr ControlAnchor kPreviewBottom{60, 100, 0, 0};
constexpr ControlAnchor kCorner{100, 100, 0, 0};

// "Database Manager": the category tree in its bar, the type filter over the part list in its
// bar, the preview with its dimension controls.
CDialogTemplate DatabaseManager() {
    return {
        kDatabaseManagerCaption,
        527,
        338,
        HelpIdOf(IDD_DATABASE_MANAGER),
        {
            {IDC_OBJECT_TREE, K::kStatic, "", 7, 7, 160, 324, 0, kTreeColumn},
            {IDC_STATIC, K::kStatic, "&Filter", 174, 9, 30, 10, 0, kListTop},
            {IDC_OBJECT_TYPE, K::kComboBox, "", 206, 7, 130, 13, CBS_DROPDOWNLIST, kListTop},
            {IDC_OBJECTCBO, K::kStatic, "IDC_OBJECTCBO", 174, 25, 162, 290, 0, kListColumn},
            {IDC_SHOW_SUBTREE, K::kCheckBox, "&Show subtree contents", 174, 320, 162, 10, 0,
             kListBottom},
            {IDC_STATIC, K::kStatic, "Preview", 343, 9, 60, 10, 0, kPreviewTop},
            {IDC_PREVIEW, K::kStatic, "", 343, 25, 177, 252, 0, kPreviewColumn},
            {IDC_SHOW_DIMENSIONS, K::kCheckBox, "Show Dimensions", 343, 282, 82, 14, BS_PUSHLIKE,
             kPreviewBottom},
            {IDC_DIMENSION_MENU, K::kButton, "V", 426, 282, 12, 14, BS_OWNERDRAW, kPreviewBottom},
            {IDC_UNITS_LABEL, K::kStatic, "Units", 343, 302, 30, 10, 0, kPreviewBottom},
            {IDC_UNITS, K::kComboBox, "", 376, 300, 62, 13, CBS_DROPDOWNLIST, kPreviewBottom},
            {IDC_CANCEL, K::kButton, "&Close", 470, 317, 50, 14, 0, kCorner},
        },
        true};
}

// "Get a part from the database": as the Database Manager, without the bars, with OK (made
// disabled) and Cancel.
CDialogTemplate SelectObject() {
    return {
        "Get a part from the database",
        466,
        209,
        HelpIdOf(IDD_SELECT_OBJECT),
        {
            {IDC_STATIC, K::kStatic, "&Database", 7, 7, 140, 10},
            {IDC_OBJECT_TREE, K::kStatic, "", 7, 19, 140, 183, 0, kTreeColumn},
            {IDC_STATIC, K::kStatic, "&Filter", 154, 7, 28, 10, 0, kListTop},
            {IDC_OBJECT_TYPE, K::kComboBox, "", 184, 5, 130, 13, CBS_DROPDOWNLIST, kListTop},
            {IDC_STATIC, K::kStatic, "&Available Parts", 154, 22, 160, 10, 0, kListTop},
            {IDC_OBJECTCBO, K::kStatic, "IDC_OBJECTCBO", 154, 34, 160, 152, 0, kListColumn},
            {IDC_SHOW_SUBTREE, K::kCheckBox, "&Show subtree contents", 154, 191, 160, 10, 0,
             kListBottom},
            {IDC_STATIC, K::kStatic, "Preview", 321, 7, 60, 10, 0, kPreviewTop},
            {IDC_PREVIEW, K::kStatic, "", 321, 19, 138, 130, 0, kPreviewColumn},
            {IDC_SHOW_DIMENSIONS, K::kCheckBox, "Show Dimensions", 321, 154, 76, 14, BS_PUSHLIKE,
             kPreviewBottom},
            {IDC_DIMENSION_MENU, K::kButton, "V", 398, 154, 12, 14, BS_OWNERDRAW, kPreviewBottom},
            {IDC_UNITS_LABEL, K::kStatic, "Units", 321, 173, 26, 10, 0, kPreviewBottom},
            {IDC_UNITS, K::kComboBox, "", 350, 171, 60, 13, CBS_DROPDOWNLIST, kPreviewBottom},
            {IDC_OK, K::kDefaultButton, "&OK", 355, 188, 50, 14, WS_DISABLED, kCorner},
            {IDC_CANCEL, K::kButton, "&Cancel", 409, 188, 50, 14, 0, kCorner},
        },
        true};
}

// "Add new parts to database": the mode (the selection as one part, or the design's parts),
// the target library, the parts (check list, or the existing parts under the name field) and
// the preview.
CDialogTemplate StoreObjects() {
    return {
        "Add new parts to database",
        325,
        239,
        HelpIdOf(IDD_STORE_OBJECTS),
        {
            // The frame first, so that it lies under the buttons it frames.
            {IDC_STATIC, K::kGroupBox, "Select parts", 7, 4, 150, 40},
            {IDC_CURRENT_SELECTION, K::kRadioButton, "Current &selection as one part", 14, 16, 136,
             10, WS_GROUP},
            {IDC_DESIGN_CONTENTS, K::kRadioButton, "Complete &design contents", 14, 29, 136, 10},
            {IDC_STATIC, K::kStatic, "&Part Name", 7, 50, 150, 10},
            {IDC_CHECK_LIST, K::kStatic, "", 7, 62, 150, 150},
            {IDC_STATIC, K::kStatic, "Preview", 166, 50, 60, 10},
            {IDC_PREVIEW, K::kStatic, "", 166, 62, 152, 150},
            {IDC_OK, K::kDefaultButton, "&OK", 214, 218, 50, 14},
            {IDC_CANCEL, K::kButton, "&Cancel", 268, 218, 50, 14},
            {IDC_OBJECTCBO, K::kStatic, "IDC_OBJECTCBO", 7, 62, 150, 150},
            {IDC_TARGET_DATABASE, K::kComboBox, "", 166, 20, 152, 13, CBS_DROPDOWNLIST},
            {IDC_STATIC, K::kStatic, "Target Database :", 166, 8, 100, 10},
        }};
}

// "Insert the selected Item(s) into the database": the library and its categories, the parts
// already in the category under the name field, and the part to store.
CDialogTemplate StoreObject() {
    return {"Insert the selected Item(s) into the database",
            466,
            209,
            HelpIdOf(IDD_STORE_OBJECT),
            {
                {IDC_SHOW_SUBTREE, K::kCheckBox, "&Show subtree contents", 154, 191, 160, 10, 0,
                 kListBottom},
                {IDC_OBJECT_TREE, K::kStatic, "", 7, 24, 140, 178, 0, kTreeColumn},
                {IDC_STATIC, K::kStatic, "&Existing parts", 154, 7, 160, 10, 0, kListTop},
                {IDC_OBJECTCBO, K::kStatic, "IDC_OBJECTCBO", 154, 19, 160, 167, 0, kListColumn},
                {IDC_STATIC, K::kStatic, "Preview", 321, 7, 60, 10, 0, kPreviewTop},
                {IDC_PREVIEW, K::kStatic, "", 321, 19, 138, 163, 0, kPreviewColumn},
                {IDC_OK, K::kDefaultButton, "&OK", 355, 188, 50, 14, 0, kCorner},
                {IDC_CANCEL, K::kButton, "&Cancel", 409, 188, 50, 14, 0, kCorner},
                {IDC_STATIC, K::kStatic, "Database :", 7, 8, 40, 10},
                {IDC_TARGET_DATABASE, K::kComboBox, "", 50, 6, 97, 13, CBS_DROPDOWNLIST},
            },
            true};
}

}  // namespace

std::map<UINT, CDialogTemplate> VaultryDialogs() {
    return {
        {IDD_USER_PASSWORD,
         {"Please enter your password",
          236,
          92,
          HelpIdOf(IDD_USER_PASSWORD),
          {
              {IDC_STATIC, K::kStatic, "&Database:", 7, 9, 78, 10},
              {IDC_SELECT_DATABASE_CMB, K::kComboBox, "", 88, 7, 141, 13,
               CBS_DROPDOWNLIST | CBS_SORT},
              {IDC_STATIC, K::kStatic, "&Password:", 7, 28, 78, 10},
              {IDC_PASSWORD, K::kEdit, "", 88, 26, 141, 13, ES_PASSWORD | ES_AUTOHSCROLL},
              {IDC_STATIC, K::kStatic, "&Confirm password:", 7, 47, 78, 10},
              {IDC_PASSWORD_CONFIRMATION, K::kEdit, "", 88, 45, 141, 13,
               ES_PASSWORD | ES_AUTOHSCROLL},
              {IDC_OK, K::kDefaultButton, "OK", 125, 70, 50, 15},
              {IDC_CANCEL, K::kButton, "Cancel", 179, 70, 50, 15},
          }}},
        {IDD_ASK_LIB_PASSWORD,
         {"Give the password for this database",
          204,
          74,
          HelpIdOf(IDD_ASK_LIB_PASSWORD),
          {
              {IDC_STATIC, K::kStatic, "Database:", 7, 9, 50, 10},
              {IDC_DATABASE_NAME, K::kStatic, "", 60, 9, 137, 10},
              {IDC_STATIC, K::kStatic, "&Password:", 7, 28, 50, 10},
              {IDC_LIB_PASSWORD, K::kEdit, "", 60, 26, 137, 13, ES_PASSWORD | ES_AUTOHSCROLL},
              {IDC_OK, K::kDefaultButton, "OK", 93, 52, 50, 15},
              {IDC_CANCEL, K::kButton, "Cancel", 147, 52, 50, 15},
          }}},
        {IDD_DATABASE_MANAGER, DatabaseManager()},
        {IDD_SELECT_OBJECT, SelectObject()},
        {IDD_STORE_OBJECT, StoreObject()},
        {IDD_STORE_OBJECTS, StoreObjects()},
        {IDD_NEW_PART,
         {"Select the part you want to create",
          160,
          132,
          HelpIdOf(IDD_NEW_PART),
          {
              {IDC_TYPE_LIST, K::kStatic, "", 7, 7, 146, 98},
              {IDC_OK, K::kDefaultButton, "OK", 49, 111, 50, 14},
              {IDC_CANCEL, K::kButton, "Cancel", 103, 111, 50, 14},
          }}},
        {IDD_SELECT_DESTINATION,
         {"Select destination in database",
          190,
          210,
          HelpIdOf(IDD_SELECT_DESTINATION),
          {
              {IDC_OBJECT_TREE, K::kStatic, "", 7, 7, 176, 176},
              {IDC_OK, K::kDefaultButton, "OK", 79, 189, 50, 14, WS_DISABLED},
              {IDC_CANCEL, K::kButton, "Cancel", 133, 189, 50, 14},
          }}},
    };
}

std::map<UINT, CMenuTemplate> VaultryMenus() {
    return {
        {IDR_DATABASE_MENU,
         {{{"Object",
            {{ID_OBJECT_NEW, "&New...", "Create new part"},
             {},
             {ID_OBJECT_COPY, "&Copy...", "Copy the selected part"},
             {ID_OBJECT_MOVE, "&Move...", "Move the selected part"},
             {ID_OBJECT_EDIT, "&Edit", "Edit theselected part"},
             {ID_OBJECT_RENAME, "&Rename...", "Rename the selected part"},
             {ID_OBJECT_DELETE, "&Delete", "Delete the selected part"}}},
           {"Tree",
            {{ID_TREE_NEW, "&New", "Create a new item in the tree"},
             {ID_TREE_ADD, "&Add...", "Add parts to the selected item in the tree"},
             {},
             {ID_TREE_COPY, "Copy...", "Copy the selected tree item"},
             {ID_TREE_MOVE, "Move...", "Move the selected tree item"},
             {ID_TREE_RENAME, "&Rename...", "Rename the selected item in the tree"},
             {ID_TREE_DELETE, "&Delete", "Delete the selected item in the tree"}}},
           {"Check",
            {{ID_CHECK_RENAME, "&Rename", "Rename the selected item"},
             {ID_CHECK_SELECT_ALL, "Select &All", "Select All items"},
             {ID_CHECK_UNSELECT_ALL, "&Unselect All", "Unselect All Items"}}}}}},
        {IDR_DIMENSIONS_MENU,
         {{{"DIMENSIONS",
            {{ID_DIM_RANGE_HORZ, "Horizontal Span"},
             {ID_DIM_RANGE_VERT, "Vertical Span"},
             {},
             {ID_DIM_PITCH_HORZ, "Horizontal Pitch"},
             {ID_DIM_PITCH_VERT, "Vertical Pitch"},
             {ID_DIM_PITCH_HORZ_EX, "Inter-row Horizontal Pitch"},
             {ID_DIM_PITCH_VERT_EX, "Inter-column Vertical Pitch"},
             {},
             {ID_DIM_PAD, "Pads"},
             {},
             {ID_DIM_CLEAR_ALL, "Clear All"},
             {ID_DIM_CHECK_ALL, "Check All"}}}}}},
    };
}
