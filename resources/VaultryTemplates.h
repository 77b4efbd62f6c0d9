#pragma once
// The module's dialog templates and menus, as its resource script gives them.

#include <map>

#include "platform/afx/CDialogTemplate.h"
#include "platform/afx/CMenuTemplate.h"

// The Database Manager's caption, which also names where it keeps its settings.
inline constexpr const char* kDatabaseManagerCaption = "Database Manager";

// The dialog templates, in dialog units; controls in tab order.
std::map<UINT, CDialogTemplate> VaultryDialogs();
std::map<UINT, CMenuTemplate> VaultryMenus();
