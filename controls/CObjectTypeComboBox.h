#pragma once
// The "Filter" list of the library dialogs: the document types the plug-ins serve, each under
// its description, with "All types" first when there is more than one; the chosen entry gives
// the part list its document-type filter. Filling it only reads the libraries.

#include <map>

#include "platform/afx/CStringArray.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/ui/Controls.h"
#include "resources/DatabaseType.h"

class CRSObjectTypes;

class CObjectTypeComboBox : public CComboBox {
public:
    CObjectTypeComboBox();
    ~CObjectTypeComboBox() override;

    // The list as a window of `parent` (or of its own), in `rect`.
    BOOL Create(const CRect& rect, CWnd* parent);

    // Fills the list for the library of `type` and chooses the entry of `docType` (the first
    // when none is offered). False only without a plug-in manager.
    bool Init(DATABASETYPE type, const CString& docType);
    // The document-type filter of the chosen entry: one type, or for "All types" every offered
    // type each followed by "|". False when nothing is chosen.
    bool GetObjectDocType(CString& docTypes);
    bool GetCurSel(int& index);
    // The text of the chosen entry; false when nothing is chosen or it is empty.
    bool GetObjectTypeName(CString& text);
    // Types a dialog asks to be offered though their visibility would hide them.
    void AddRequest(const CString& docType);
    void ClearRequests() { m_aRequests.RemoveAll(); }
    void SetGetDialog(bool getDialog) { m_bGetDialog = getDialog; }
    bool IsGetDialog() const { return m_bGetDialog; }

private:
    bool Offered(const CString& docType, BYTE visibility) const;

    // Descriptions compare, and sort, as names do everywhere in the libraries.
    struct FoldedLess {
        bool operator()(const CString& a, const CString& b) const {
            return vaultry::text::CompareFolded(a.str(), b.str()) < 0;
        }
    };

    CStringArray m_aRequests;
    bool m_bGetDialog = true;
    std::map<CString, CString, FoldedLess> m_mapDescToDocType;  // description to document type
    CRSObjectTypes* m_pRSObjectTypes = nullptr;                 // the library handler's; not owned
};
