#pragma once
// A menu resource, as a resource script describes one: a bar of popups, each a list of commands
// (an id, the item's text with its & mnemonic, and the prompt a status bar shows for it) and
// separators.

#include <vector>

#include "platform/afx/AfxTypes.h"

struct MenuItemTemplate {
    UINT id = 0;  // 0: a separator
    const char* text = "";
    const char* prompt = "";
};

struct MenuPopupTemplate {
    const char* text = "";
    std::vector<MenuItemTemplate> items;
};

struct CMenuTemplate {
    std::vector<MenuPopupTemplate> popups;
};
