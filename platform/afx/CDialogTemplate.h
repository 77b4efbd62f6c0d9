#pragma once
// A dialog template, as a resource script describes one: a caption, a size, and its controls in
// tab order, each with an id, a kind, a text, a style and a place. Places and sizes are dialog
// units (a quarter of the average character width across, an eighth of the character height
// down), so a dialog keeps its proportions with the font it is shown in.

#include <vector>

#include "platform/afx/AfxTypes.h"

enum class ControlKind {
    kStatic,
    kEdit,
    kButton,
    kDefaultButton,
    kCheckBox,
    kRadioButton,
    kComboBox,
    kGroupBox
};

// Styles the window layer honours; others are left to the control's defaults.
constexpr UINT ES_PASSWORD = 0x0020;
constexpr UINT ES_AUTOHSCROLL = 0x0080;
constexpr UINT CBS_DROPDOWNLIST = 0x0003;
constexpr UINT CBS_SORT = 0x0100;
constexpr UINT BS_OWNERDRAW = 0x000B;
constexpr UINT BS_PUSHLIKE = 0x1000;
constexpr UINT SS_RIGHT = 0x0002;
constexpr UINT WS_GROUP = 0x00020000;
constexpr UINT WS_DISABLED = 0x08000000;

// How a control follows a resizable dialog: the share, in percent, of the dialog's growth it
// moves right and down by, and grows wider and taller by.
struct ControlAnchor {
    unsigned char moveX = 0;
    unsigned char moveY = 0;
    unsigned char growX = 0;
    unsigned char growY = 0;
};

struct DialogControl {
    UINT id = 0;
    ControlKind kind = ControlKind::kStatic;
    const char* text = "";
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    UINT style = 0;
    ControlAnchor anchor = {};
};

struct CDialogTemplate {
    const char* caption = "";
    int width = 0;  // dialog units
    int height = 0;
    UINT helpId = 0;
    std::vector<DialogControl> controls;  // in tab order
    // A resizable dialog starts at its size and may grow; its controls follow their anchors.
    bool resizable = false;
};

// The ids of the buttons every dialog knows.
constexpr UINT IDC_OK = 1;
constexpr UINT IDC_CANCEL = 2;
