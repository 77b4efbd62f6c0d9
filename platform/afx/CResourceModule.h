#pragma once
// A module's resources, standing in for what an instance handle reaches on Windows: its string
// table, its bitmaps, its dialog templates and its menus.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/afx/AfxTypes.h"
#include "platform/afx/CDialogTemplate.h"
#include "platform/afx/CMenuTemplate.h"

// A bitmap, as the bytes of an image file (PNG) built into the module.
struct CResourceBitmap {
    const unsigned char* data = nullptr;  // static: lives as long as the program
    std::size_t size = 0;

    template <std::size_t N>
    static CResourceBitmap Of(const unsigned char (&bytes)[N]) {
        return {bytes, N};
    }
};

class CResourceModule {
public:
    // `name` and the texts must outlive the module (they are string literals in practice).
    CResourceModule(const char* name, std::map<UINT, const char*> strings,
                    std::map<UINT, CResourceBitmap> bitmaps = {},
                    std::map<UINT, CDialogTemplate> dialogs = {},
                    std::map<UINT, CMenuTemplate> menus = {})
        : m_name(name),
          m_strings(std::move(strings)),
          m_bitmaps(std::move(bitmaps)),
          m_dialogs(std::move(dialogs)),
          m_menus(std::move(menus)) {}

    const char* GetName() const { return m_name; }
    // The text of string `id`, or null when the table has none.
    const char* FindString(UINT id) const;
    // Bitmap `id`, or null.
    const CResourceBitmap* FindBitmap(UINT id) const;
    // Dialog template `id`, or null.
    const CDialogTemplate* FindDialog(UINT id) const;
    // Menu `id`, or null.
    const CMenuTemplate* FindMenu(UINT id) const;

private:
    const char* m_name;
    std::map<UINT, const char*> m_strings;
    std::map<UINT, CResourceBitmap> m_bitmaps;
    std::map<UINT, CDialogTemplate> m_dialogs;
    std::map<UINT, CMenuTemplate> m_menus;
};

using HINSTANCE = const CResourceModule*;

// The module whose resources are looked up by default (MFC's current resource handle); null
// until a module sets it. Not owned.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
