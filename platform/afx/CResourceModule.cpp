#include "platform/afx/CResourceModule.h"

namespace {
HINSTANCE g_currentResourceModule = nullptr;
}

const char* CResourceModule::FindString(UINT id) const {
    const auto it = m_strings.find(id);
    return it == m_strings.end() ? nullptr : it->second;
}

const CResourceBitmap* CResourceModule::FindBitmap(UINT id) const {
    const auto it = m_bitmaps.find(id);
    return it == m_bitmaps.end() ? nullptr : &it->second;
}

const CDialogTemplate* CResourceModule::FindDialog(UINT id) const {
    const auto it = m_dialogs.find(id);
    return it == m_dialogs.end() ? nullptr : &it->second;
}

const CMenuTemplate* CResourceModule::FindMenu(UINT id) const {
    const auto it = m_menus.find(id);
    return it == m_menus.end() ? nullptr : &it->second;
}

HINSTANCE AfxGetResourceHandle() {
    return g_currentResourceModule;
}

void AfxSetResourceHandle(HINSTANCE module) {
    g_currentResourceModule = module;
}
