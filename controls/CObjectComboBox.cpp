#include "controls/CObjectComboBox.h"

#include <QEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "controls/LibraryDragPayload.h"
#include "controls/PartTransfer.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/ui/COleDataSource.h"
#include "tables/CRSObjects.h"

namespace {

constexpr UINT kNameFieldId = 1000;
constexpr UINT kListId = 1001;
// Tells when the control as a whole is given the focus (a dialog going to it), as opposed to
// one of its two windows being clicked.
class FocusEntry : public QObject {
public:
    FocusEntry(std::function<void()> entered, QObject* parent)
        : QObject(parent), m_entered(std::move(entered)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            m_entered();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_entered;
};

}  // namespace

CObjectComboBox::CObjectComboBox() = default;

CObjectComboBox::~CObjectComboBox() {
    // The list goes before the entries it asks for.
    DestroyWindow();
}

BOOL CObjectComboBox::Create(const CRect& rect, CWnd* parent, UINT id) {
    if (!CWnd::Create(parent, rect, id)) {
        return FALSE;
    }
    MakeImageLists();
    const CRect inside{0, 0, rect.Width(), rect.Height()};
    m_NameEdit.Create(inside, this, kNameFieldId);
    m_ListCtrl.Create(inside, this, kListId, true);
    m_ListCtrl.SetImageList(&m_ImageList, LVSIL_SMALL);
    m_ListCtrl.SetImageList(&m_StateImageList, LVSIL_STATE);
    m_ListCtrl.SetDisplayHandler([this](int item) { return Display(item); });
    // The name field spans the width on top, four thirds of a line high; the list fills the
    // rest.
    auto* layout = new QVBoxLayout(Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_NameEdit.Widget());
    layout->addWidget(m_ListCtrl.Widget(), 1);
    const int line = m_NameEdit.Widget()->fontMetrics().height();
    m_NameEdit.Widget()->setFixedHeight(
        std::max(line * 4 / 3, m_NameEdit.Widget()->minimumSizeHint().height()));
    m_NameEdit.OnChange([this] { OnNameChanged(); });
    m_ListCtrl.OnClick([this](int) { OnChosen(OBJECTCBO_SELCHANGE); });
    m_ListCtrl.OnDoubleClick([this](int) { OnChosen(OBJECTCBO_DBLCLK); });
    m_ListCtrl.OnItemChanged([this] { OnChosen(OBJECTCBO_SELCHANGE); });
    m_ListCtrl.OnBeginLabelEdit([this](int item) { return OnBeginEdit(item); });
    m_ListCtrl.OnBeginDrag([this] { OnBeginDrag(); });
    m_ListCtrl.OnEndLabelEdit(
        [this](int item, const CString& name) { return OnEndEdit(item, name); });
    Widget()->installEventFilter(new FocusEntry([this] { OnFocusEntered(); }, Widget()));
    m_NameEdit.SetFocus();
    return TRUE;
}

// Entering the control chooses its first part when none is chosen, then hands the focus to the
// name field (to the list with Shift held down).
void CObjectComboBox::OnFocusEntered() {
    if (m_ListCtrl.GetSelectedCount() == 0 && !m_aShown.empty()) {
        m_bSelecting = true;
        m_ListCtrl.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_bSelecting = false;
        OnChosen(OBJECTCBO_SELCHANGE);
    }
    (GetKeyState(VK_SHIFT) < 0 ? static_cast<CWnd&>(m_ListCtrl) : m_NameEdit).SetFocus();
}

std::vector<int> CObjectComboBox::SelectedItems() {
    std::vector<int> items;
    for (int item = m_ListCtrl.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_ListCtrl.GetNextItem(item, LVNI_SELECTED)) {
        items.push_back(item);
    }
    return items;
}

void CObjectComboBox::Notify(int code) {
    if (m_notify) {
        m_notify(code);
    }
}

void CObjectComboBox::OnNameChanged() {
    if (m_bIgnoreNameChange) {
        m_bIgnoreNameChange = false;
        return;
    }
    Refilter(false);
}

// Filters the list by the name field's text, after reading the libraries again when `reread`,
// and selects the parts of that very name.
void CObjectComboBox::Refilter(bool reread) {
    m_strNameFilter = m_NameEdit.GetWindowText();
    reread ? FillList(m_strTreeFilter, m_eTreeDatabase) : ApplyNameFilter();
    CString name;
    if (!GetCurrentName(name)) {
        return;
    }
    m_bSelecting = true;
    for (int item = 0; item < static_cast<int>(m_aShown.size()); ++item) {
        if (vaultry::text::CompareFolded(GetEntry(item)->strObjectName.str(), name.str()) == 0) {
            m_ListCtrl.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED,
                                    LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    m_bSelecting = false;
    Notify(OBJECTCBO_SELCHANGE);
}

// A click or another change of the selection puts the chosen part's name into the name field,
// without filtering by it.
void CObjectComboBox::OnChosen(int code) {
    if (m_bSelecting) {
        return;
    }
    const int first = m_ListCtrl.GetNextItem(-1, LVNI_SELECTED);
    if (first >= 0) {
        const CString name = GetEntry(first)->strObjectName;
        if (name != m_NameEdit.GetWindowText()) {
            m_bIgnoreNameChange = true;
            m_NameEdit.SetWindowText(name);
        }
    }
    Notify(code);
}

bool CObjectComboBox::OnBeginEdit(int item) {
    const OBJECT_ENTRY* entry = GetEntry(item);
    if (entry == nullptr || entry->lObjectID == 0) {
        return entry != nullptr;
    }
    CRSObjects* parts = GetRSObjects(entry->eDatabaseType);
    return parts != nullptr && parts->HasRights(entry->lObjectID, entry->eDatabaseType);
}

bool CObjectComboBox::OnEndEdit(int item, const CString& name) {
    OBJECT_ENTRY* entry = GetEntry(item);
    CMSAccessDBHandler* library = entry ? GetAccessDB(entry->eDatabaseType) : nullptr;
    if (library == nullptr) {
        return false;
    }
    m_ListCtrl.SetSelectionMark(item);
    RightsGate rights;
    try {
        LibraryEditor(*library, rights).RenamePart(entry->lObjectID, name);
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
        return false;
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        return false;
    }
    entry->strObjectName = name;
    return true;
}

bool CObjectComboBox::GetSelectedObjectID(long& objectID, DATABASETYPE& type) {
    const std::vector<int> selected = SelectedItems();
    if (selected.size() == 1) {
        objectID = GetObjectID(selected.front(), type);
        return objectID != -1;
    }
    CString name;
    GetCurrentName(name);
    if (type != DATABASETYPE_MASTER && type != DATABASETYPE_CORPORATE) {
        type = DATABASETYPE_USER;
    }
    CMSAccessDBHandler* library = GetAccessDB(type);
    // The name is looked for as it stands, quotes and all: it is quoted on its way to the file.
    objectID =
        library && library->GetRSObjects() ? library->GetRSObjects()->GetFirstObjectID(name) : -1;
    return objectID != -1;
}

bool CObjectComboBox::GetCurrentName(CString& name) {
    const std::vector<int> selected = SelectedItems();
    name = selected.size() == 1 ? m_ListCtrl.GetItemText(selected.front())
                                : m_NameEdit.GetWindowText();
    return !name.IsEmpty();
}

bool CObjectComboBox::HasSelection() {
    return m_ListCtrl.GetSelectedCount() > 0;
}

// Every chosen part must allow the change, not only the first.
bool CObjectComboBox::HasRightsOnSelection() {
    const std::vector<int> selected = SelectedItems();
    if (selected.empty()) {
        return false;
    }
    for (const int item : selected) {
        const OBJECT_ENTRY& entry = *GetEntry(item);
        if (entry.lObjectID == 0) {
            continue;
        }
        CRSObjects* parts = GetRSObjects(entry.eDatabaseType);
        if (parts == nullptr || !parts->HasRights(entry.lObjectID, entry.eDatabaseType)) {
            return false;
        }
    }
    return true;
}

long CObjectComboBox::GetObjectID(int index, DATABASETYPE& type) {
    const OBJECT_ENTRY* entry = GetEntry(index);
    if (entry == nullptr) {
        return -1;
    }
    type = entry->eDatabaseType;
    return entry->lObjectID;
}

bool CObjectComboBox::RenameSelected() {
    const std::vector<int> selected = SelectedItems();
    return selected.size() == 1 && m_ListCtrl.EditLabel(selected.front());
}

bool CObjectComboBox::CopySelectedTo(long treeID, DATABASETYPE type) {
    return ChangeSelected(treeID, type, false);
}

bool CObjectComboBox::MoveSelectedTo(long treeID, DATABASETYPE type) {
    return ChangeSelected(treeID, type, true);
}

bool CObjectComboBox::ChangeSelected(long treeID, DATABASETYPE type, bool move) {
    const bool done = TransferParts(SelectedParts(), treeID, type, move);
    Refilter(true);
    return done;
}

std::vector<LibraryItem> CObjectComboBox::SelectedParts() {
    std::vector<LibraryItem> parts;
    for (const int item : SelectedItems()) {
        const OBJECT_ENTRY& entry = *GetEntry(item);
        parts.push_back({entry.lObjectID, entry.eDatabaseType});
    }
    return parts;
}

// The selected parts as a drag; moving them needs the rights on every one.
void CObjectComboBox::OnBeginDrag() {
    const std::vector<LibraryItem> parts = SelectedParts();
    if (parts.empty()) {
        return;
    }
    DROPEFFECT allowed = DROPEFFECT_COPY;
    if (HasRightsOnSelection()) {
        allowed |= DROPEFFECT_MOVE;
    }
    COleDataSource source;
    source.CacheGlobalData(RegisterClipboardFormatA(LibraryDragPayload::kFormatName),
                           LibraryDragPayload{LibraryDragPayload::Kind::kParts, parts}.Encode());
    if ((source.DoDragDrop(m_ListCtrl, allowed) & DROPEFFECT_MOVE) != 0) {
        Refilter(true);
    }
}

void CObjectComboBox::SelectObject(long objectID, DATABASETYPE type) {
    CRSObjects* parts = objectID > 0 ? GetRSObjects(type) : nullptr;
    if (parts != nullptr && parts->FindObjectID(objectID)) {
        SetObjectName(parts->m_strObjectName);
    }
}

void CObjectComboBox::SetObjectName(const CString& name) {
    if (name.IsEmpty()) {
        return;
    }
    if (name != m_NameEdit.GetWindowText()) {
        m_NameEdit.SetWindowText(name);  // filters through the field's change notification
    } else {
        Refilter(false);
    }
}

bool CObjectComboBox::IsTypeInSelection(DATABASETYPE type) {
    for (const int item : SelectedItems()) {
        if (GetEntry(item)->eDatabaseType == type) {
            return true;
        }
    }
    return false;
}

OBJECT_ENTRY* CObjectComboBox::GetEntry(int index) {
    return index >= 0 && index < static_cast<int>(m_aShown.size())
               ? &m_aEntries[m_aShown[static_cast<std::size_t>(index)]]
               : nullptr;
}

// The handler's own set: it lives exactly as long as its library is loaded, where a set of the
// control's would outlive an unloaded library and point into it.
CRSObjects* CObjectComboBox::GetRSObjects(DATABASETYPE type) {
    const DATABASETYPE tier =
        type == DATABASETYPE_CORPORATE || type == DATABASETYPE_USER ? type : DATABASETYPE_MASTER;
    CMSAccessDBHandler* library = GetAccessDB(tier);
    return library != nullptr ? library->GetRSObjects() : nullptr;
}
