// The Database Manager's commands that change the libraries, from its bars, its context menus
// and their keys: new, rename, delete, copy and move of categories and parts, and parts of the
// open design added to a category.

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordPrompt.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CNewLibraryPart.h"
#include "dialogs/CSelectLibraryDestination.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "dialogs/DesignOffer.h"
#include "dialogs/StoreChoice.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CDrwSubSheet.h"
#include "host/CPlugInManager.h"
#include "host/CurrentDesign.h"
#include "host/HostEvents.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTypes.h"

BOOL CDatabaseManagerDlg::OnCommand(UINT id) {
    switch (id) {
        case ID_TREE_NEW:
            if (m_tree.TestForSelectionRightsAndCancel()) {
                m_tree.AddChild(CObjectTreeCtrl::kNewCategoryName);
            }
            return TRUE;
        case ID_TREE_RENAME:
        case ID_TREE_DELETE:
            if (!m_tree.IsTopMostSelected() && m_tree.TestForSelectionRightsAndCancel()) {
                id == ID_TREE_RENAME ? m_tree.Rename(nullptr) : m_tree.Delete(nullptr);
            }
            return TRUE;
        case ID_OBJECT_RENAME:
            if (m_parts.List().GetSelectedCount() == 1 && PartRightsGiven()) {
                m_parts.RenameSelected();
            }
            return TRUE;
        case ID_OBJECT_DELETE:
            OnEditDelete();
            return TRUE;
        case ID_TREE_ADD:
            OnTreeAdd();
            return TRUE;
        case ID_TREE_COPY:
        case ID_TREE_MOVE:
            OnTreeCopyOrMove(id == ID_TREE_MOVE);
            return TRUE;
        case ID_OBJECT_COPY:
        case ID_OBJECT_MOVE:
            OnEditCopyOrMove(id == ID_OBJECT_MOVE);
            return TRUE;
        case ID_OBJECT_NEW:
            OnEditNew();
            return TRUE;
        case ID_OBJECT_EDIT:
            OnEditEdit();
            return TRUE;
        default:
            return CPreviewDialog::OnCommand(id);
    }
}

bool CDatabaseManagerDlg::PartRightsGiven() {
    std::vector<const OBJECT_ENTRY*> chosen;
    for (int item = m_parts.List().GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_parts.List().GetNextItem(item, LVNI_SELECTED)) {
        chosen.push_back(m_parts.GetEntry(item));
    }
    return !chosen.empty() &&
           (m_parts.HasRightsOnSelection() ||
            (m_tree.TestForObjectRightsAndCancel(chosen) && m_parts.HasRightsOnSelection()));
}

// The parts chosen go after one question that names the part, or, with several chosen, asks
// for all of them; each library's parts go in one transaction.
void CDatabaseManagerDlg::OnEditDelete() {
    if (!PartRightsGiven()) {
        return;
    }
    std::map<DATABASETYPE, std::vector<long>> chosen;
    for (int item = m_parts.List().GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_parts.List().GetNextItem(item, LVNI_SELECTED)) {
        const OBJECT_ENTRY* entry = m_parts.GetEntry(item);
        chosen[entry->eDatabaseType].push_back(entry->lObjectID);
    }
    CString name;
    const bool one = m_parts.List().GetSelectedCount() == 1 && m_parts.GetCurrentName(name);
    const CString question =
        one ? ModuleString(IDS_DELETE_THIS_PART) + name : ModuleString(IDS_DELETE_SELECTED_PARTS);
    if (AfxMessageBox(question, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        return;
    }
    RightsGate rights(DialogPasswordPrompt());
    try {
        for (const auto& library : chosen) {
            LibraryEditor editor(*GetAccessDB(library.first), rights);
            editor.InOneTransaction([&] {
                for (const long id : library.second) {
                    editor.RemovePart(id);
                }
            });
        }
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
    }
    RefillParts();
    OnChangeObject();
}

namespace {

// The category a copy or a move goes to, as the destination dialog gives it; nullopt on Cancel.
std::optional<std::pair<DATABASETYPE, long>> ChooseDestination() {
    CSelectLibraryDestination destination;
    if (destination.DoModal() != IDOK || destination.m_lSelectedID == -1) {
        return std::nullopt;
    }
    return std::make_pair(destination.m_eDatabaseType, destination.m_lSelectedID);
}

}  // namespace

// A category with its sub-tree and parts, into a category of the same or another library. A
// refused copy or move says why; a move to another library removes the original only once the
// copy is whole.
void CDatabaseManagerDlg::OnTreeCopyOrMove(bool move) {
    DATABASETYPE sourceTier = DATABASETYPE_USER;
    const long source = m_tree.GetSelectedID(sourceTier);
    if (source == -1 || m_tree.IsTopMostSelected() ||
        (move && !m_tree.TestForSelectionRightsAndCancel())) {
        return;
    }
    const auto destination = ChooseDestination();
    if (!destination) {
        return;
    }
    const auto [tier, treeID] = *destination;
    RightsGate rights(DialogPasswordPrompt());
    try {
        LibraryEditor editor(*GetAccessDB(tier), rights);
        CMSAccessDBHandler& from = *GetAccessDB(sourceTier);
        if (!move) {
            editor.CopyCategory(from, source, treeID);
        } else if (tier == sourceTier) {
            editor.MoveCategory(source, treeID);
        } else {
            editor.MoveCategoryFrom(from, source, treeID);
        }
    } catch (const ChangeRefused& refused) {
        const CString why =
            move ? CString(refused.what())
                 : ModuleString(IDS_CANNOT_COPY_TO_DESTINATION) + "\n\n" + refused.what();
        AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_tree.Init(treeID, tier);
}

// The chosen parts into a category of any library; the tree then shows that category.
void CDatabaseManagerDlg::OnEditCopyOrMove(bool move) {
    if (!m_parts.HasSelection() || (move && !PartRightsGiven())) {
        return;
    }
    const auto destination = ChooseDestination();
    if (!destination) {
        return;
    }
    const auto [tier, treeID] = *destination;
    if (move ? m_parts.MoveSelectedTo(treeID, tier) : m_parts.CopySelectedTo(treeID, tier)) {
        m_tree.SetObjectTreeID(treeID, tier);
    }
}

// The open design's selection as one part, or its parts, into the chosen category: the store
// dialog decides, then everything chosen is stored in one transaction.
void CDatabaseManagerDlg::OnTreeAdd() {
    CDrwSubSheet* sheet = GetDrwSubSheet();
    DATABASETYPE tier = DATABASETYPE_USER;
    const long treeID = m_tree.GetSelectedID(tier);
    if (sheet == nullptr || treeID == -1 || !m_tree.TestForSelectionRightsAndCancel()) {
        return;
    }
    DesignOffer offer;
    OfferDesign(*sheet, offer);
    if (offer.Empty()) {
        return;  // nothing to offer
    }
    CStoreObjectsDlg dialog;
    dialog.SetDocType(sheet->GetDocType());
    dialog.SetObjectTreeID(treeID, tier);
    dialog.SetDrawGroup(offer.selection.get());
    dialog.SetObjectList(offer.parts.GetCount() > 0 ? &offer.parts : nullptr);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    try {
        StoreChoice(dialog, offer.selection.get(), &sheet->GetColorDefinition(),
                    &sheet->GetLayerDefinition());
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
    } catch (const CException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
    }
    RefillParts();
    OnChangeObject();
}

// The host opens a sheet for the part: an empty one of the chosen type for New, the part for
// Edit. The Database Manager gives way to it, but only when a sheet did open: a type no plug-in
// serves, or a host that opened nothing, leaves the user where they were.
bool CDatabaseManagerDlg::AskHostForSheet(const CString& docType, PART_REFERENCE part) {
    CKV_DocInterface* plugIn = GetPlugInManager()->GetDocInterface(docType);
    if (plugIn == nullptr) {
        return false;
    }
    const CString typeName = plugIn->GetDocTypeName();
    CREATE_SUBSHEET_REQUEST request;
    request.hModule = VaultryModuleInstance();
    request.pszDocType = typeName;
    request.lCount = 1;
    request.pPart = &part;
    if (EventCreateEmptyProjectSubsheet().DoEvent(request, 0) == 0) {
        return false;
    }
    OnCancel();
    return true;
}

void CDatabaseManagerDlg::OnEditNew() {
    CNewLibraryPart types;
    if (types.DoModal() == IDOK) {
        AskHostForSheet(types.m_strDocType, PART_REFERENCE{});
    }
}

// The part chosen, loaded (and shown) if it is not yet; its type read in its own library.
void CDatabaseManagerDlg::OnEditEdit() {
    if (!PartRightsGiven()) {
        return;
    }
    if (m_parts.List().GetSelectedCount() == 1) {
        OnChangeObject();
    }
    CMSAccessDBHandler* library = m_lastLoadedID < 0 ? nullptr : GetAccessDB(m_lastLoadedTier);
    if (library == nullptr || library->GetRSObjectTypes() == nullptr) {
        return;
    }
    GetPreview().ZoomToFitObjects();
    const CString docType = library->GetRSObjectTypes()->GetDocType(m_lastLoadedTypeID);
    AskHostForSheet(docType, PART_REFERENCE{m_lastLoadedID, m_lastLoadedTier, 0});
}
