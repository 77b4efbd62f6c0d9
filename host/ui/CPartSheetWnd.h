#pragma once
// The reference host's window for the sheet of one part, new or opened for editing: the
// sheet's objects drawn in its layers' colours, the sheet's document type and part name in the
// caption, and two buttons: Store, which hands the sheet to the store action its opener gave,
// and Close. Store is enabled while the sheet has objects.

#include <functional>
#include <memory>

#include "host/ui/CPreviewWnd.h"
#include "platform/afx/CString.h"
#include "platform/ui/CWnd.h"

class CDrwSubSheet;
class QPushButton;

class CPartSheetWnd : public CWnd {
public:
    using StoreAction = std::function<void(CPartSheetWnd& window)>;

    // Takes the sheet. `partName` is empty for a new part.
    CPartSheetWnd(std::unique_ptr<CDrwSubSheet> sheet, const CString& partName);
    ~CPartSheetWnd() override;

    // The window, on its own, shown; `store` runs when the user asks to store the sheet.
    BOOL Create(StoreAction store);
    CDrwSubSheet& Sheet() { return *m_sheet; }
    const CString& GetPartName() const { return m_partName; }
    // The part's name once stored under a new one; the caption follows.
    void SetPartName(const CString& name);
    // Draws the sheet's objects again, after they changed.
    void Refresh();
    // What the Store button does.
    void Store();
    bool IsStoreEnabled() const;
    // Closes the window as its Close button does.
    void Close();
    // Told each time the window is hidden (closed by the user, or by Close).
    void OnHidden(std::function<void()> handler) { m_onHidden = std::move(handler); }

private:
    void UpdateCaption();

    std::unique_ptr<CDrwSubSheet> m_sheet;
    CString m_partName;
    StoreAction m_store;
    CPreviewWnd m_view;
    QPushButton* m_storeButton = nullptr;  // the window's
    std::function<void()> m_onHidden;
};
