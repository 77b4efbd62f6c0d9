#include "controls/CObjectCheckListBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/NameRule.h"
#include "host/CDrawObject.h"
#include "host/CDrwObList.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/ui/CheckListModel.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjects.h"

namespace {

const CString kCopyOf = "Copy of ";
constexpr int kCheckBoxWidth = 14;  // the editor starts past the box

CString NameOf(const CDrawObject& object) {
    return object.GetName() != nullptr ? *object.GetName() : CString();
}

// Return and Escape end a rename, as does leaving the editor (keeping the text).
class RenameKeys : public QObject {
public:
    // Lives as long as `editor`, its parent.
    RenameKeys(CObjectCheckListBox& list, QObject* editor) : QObject(editor), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                Finish(key != Qt::Key_Escape);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            Finish(true);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Later, from the event loop: the editor ends with the rename and must not go while it is
    // still handling this event.
    void Finish(bool commit) {
        QTimer::singleShot(0, &m_list.Model(), [list = &m_list, commit] {
            if (list->IsRenaming()) {
                list->EndRename(commit);
            }
        });
    }

    CObjectCheckListBox& m_list;
};

}  // namespace

CObjectCheckListBox::CObjectCheckListBox() = default;

CObjectCheckListBox::~CObjectCheckListBox() = default;

BOOL CObjectCheckListBox::Create(const CRect& rect, CWnd* parent, UINT id) {
    if (!CCheckListBox::Create(rect, parent, id)) {
        return FALSE;
    }
    OnCheckClicked([this](int index) { ToggleItem(index); });
    OnTextClicked([this](int index, bool wasCurrent) {
        if (IsRenaming()) {
            EndRename(true);
        } else if (wasCurrent) {
            SetCaretIndex(index);
            Rename();
        }
    });
    OnKey([this](int key) {
        if (key == Qt::Key_F2) {
            Rename();
            return true;
        }
        return false;
    });
    return TRUE;
}

bool CObjectCheckListBox::SetObjectList(CDrwObList* list) {
    m_objects = list;
    return true;
}

bool CObjectCheckListBox::Init() {
    DrawCheckedList();
    return true;
}

void CObjectCheckListBox::SetDatabaseType(DATABASETYPE type) {
    m_databaseType = type;
    DrawCheckedList();
}

bool CObjectCheckListBox::NameStored(const CString& name) const {
    CMSAccessDBHandler* library = GetAccessDB(m_databaseType);
    return library != nullptr && library->GetRSObjects() != nullptr &&
           library->GetRSObjects()->GetFirstObjectID(name) > 0;
}

// Names are made free where they can be: a "Copy of " from an earlier round is taken off, and
// put on (once) where the name is stored already. Lines are ticked whose names are free.
void CObjectCheckListBox::DrawCheckedList() {
    EndRename(false);
    ResetContent();
    for (int i = 0; m_objects != nullptr && i < m_objects->GetCount(); ++i) {
        CDrawObject& object = *m_objects->GetAt(i);
        CString name = NameOf(object);
        if (name.Find(kCopyOf) == 0) {
            name = name.Mid(kCopyOf.GetLength());
            object.SetName(name);
        }
        if (NameStored(name)) {
            name = kCopyOf + name;
            object.SetName(name);
        }
        if (name.IsEmpty() || FindStringExact(-1, name) != LB_ERR) {
            continue;  // one line per name
        }
        const int index = AddString(name);
        SetItemDataPtr(index, &object);
        SetCheck(index, NameStored(name) ? 0 : 1);
    }
    SetSel(-1, FALSE);
    if (GetCount() > 0) {
        SetSel(0, TRUE);
        SetCaretIndex(0);
    }
}

long CObjectCheckListBox::GetCheckCount() const {
    long checked = 0;
    for (int i = 0; i < GetCount(); ++i) {
        checked += GetCheck(i);
    }
    return checked;
}

bool CObjectCheckListBox::CanCheck(int index) const {
    CString name;
    GetText(index, name);
    return !NameStored(name);
}

bool CObjectCheckListBox::ContainPartNotInLibrary() const {
    for (int i = 0; i < GetCount(); ++i) {
        if (CanCheck(i)) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<CDrwObList> CObjectCheckListBox::GetCheckedObjectList() const {
    auto checked = std::make_unique<CDrwObList>(false);
    for (int i = 0; i < GetCount(); ++i) {
        if (GetCheck(i) != 0) {
            checked->Add(static_cast<CDrawObject*>(GetItemDataPtr(i)));
        }
    }
    return checked;
}

std::unique_ptr<CDrwObList> CObjectCheckListBox::GetSelectedObjectList(bool caretOnly) const {
    auto copies = std::make_unique<CDrwObList>(true);
    for (int i = 0; i < GetCount(); ++i) {
        const bool wanted = caretOnly ? i == GetCaretIndex() : GetSel(i) != 0;
        const auto* object = static_cast<const CDrawObject*>(GetItemDataPtr(i));
        if (wanted && object != nullptr) {
            copies->Add(dynamic_cast<CDrawObject*>(object->Clone()));
        }
    }
    return copies;
}

void CObjectCheckListBox::ToggleItem(int index) {
    if (GetSel(index) != 0) {
        for (int i = GetCount() - 1; i >= 0; --i) {
            if (GetSel(i) != 0) {
                ToggleSingleItem(i);
            }
        }
    } else {
        ToggleSingleItem(index);
    }
    Notify(index);
}

void CObjectCheckListBox::ToggleSingleItem(int index) {
    SetCheck(index, GetCheck(index) == 0 && CanCheck(index) ? 1 : 0);
}

void CObjectCheckListBox::Rename() {
    EndRename(false);
    const int index = GetCaretIndex();
    CRect place;
    if (index == LB_ERR || GetItemRect(index, &place) == LB_ERR) {
        return;
    }
    m_renameIndex = index;
    place.left += kCheckBoxWidth;
    m_editor = std::make_unique<CObjectNameLabelEdit>();
    m_editor->Create(place, this);
    auto* edit = qobject_cast<QLineEdit*>(m_editor->Widget());
    CString text;
    GetText(index, text);
    edit->setMaxLength(255);
    edit->setFont(Widget()->font());
    edit->setText(QString::fromUtf8(text.GetString()));
    edit->selectAll();
    edit->installEventFilter(new RenameKeys(*this, edit));
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
}

bool CObjectCheckListBox::AcceptableName(int index, const CString& name) const {
    const CString why = WhyNotAName(name);
    if (!why.IsEmpty()) {
        AfxMessageBox(why, MB_OK | MB_ICONERROR);
        return false;
    }
    const int listed = FindStringExact(-1, name);
    if ((listed != LB_ERR && listed != index) || NameStored(name)) {
        AfxMessageBox(ModuleString(IDS_NAME_EXISTS), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CObjectCheckListBox::EndRename(bool commit) {
    if (m_editor == nullptr) {
        return;
    }
    const int index = m_renameIndex;
    QWidget* edit = m_editor->Widget();
    const CString typed = edit->property("text").toString().toUtf8().constData();
    // Gone before any message box, whose focus change would end the rename once more.
    m_editor->Detach();
    m_editor.reset();
    edit->hide();
    edit->setParent(nullptr);  // no longer one of the list's children
    edit->deleteLater();
    m_renameIndex = -1;
    CString old;
    GetText(index, old);
    if (commit && typed.CompareNoCase(old) != 0 && AcceptableName(index, typed)) {
        auto* object = static_cast<CDrawObject*>(GetItemDataPtr(index));
        object->SetName(typed);
        DeleteString(index);
        const int added = AddString(typed);
        SetItemDataPtr(added, object);
    }
    Widget()->setFocus(Qt::OtherFocusReason);
    Notify(index);
}

void CObjectCheckListBox::OnCheckChange(std::function<void(int index)> handler) {
    m_onCheckChange = std::move(handler);
}

void CObjectCheckListBox::Notify(int index) {
    if (m_onCheckChange) {
        m_onCheckChange(index);
    }
}
