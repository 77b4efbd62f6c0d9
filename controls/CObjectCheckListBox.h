#pragma once
// The "Part Name" list of the store dialog: one line per drawing object about to be stored,
// sorted by name, with a box ticked for each part whose name is still free in the target
// library. A name already taken there is offered as "Copy of " and the name; the user renames a
// line in place (a click on the current line's text, or F2), and the new name goes into the
// drawing object itself. A name that is empty, or that another line or a stored part already
// carries, is refused with a message and the old name stays.

#include <functional>
#include <memory>

#include "platform/ui/CCheckListBox.h"
#include "platform/ui/Controls.h"
#include "resources/DatabaseType.h"

class CDrwObList;
class CDrawObject;

// The in-place editor of a line's name.
class CObjectNameLabelEdit : public CEdit {
public:
    static constexpr UINT kId = 57379;
    BOOL Create(const CRect& rect, CWnd* parent) { return CEdit::Create(rect, parent, kId); }
};

class CObjectCheckListBox : public CCheckListBox {
public:
    CObjectCheckListBox();
    ~CObjectCheckListBox() override;

    BOOL Create(const CRect& rect, CWnd* parent, UINT id);

    // The objects to list (not owned; they must outlive the control).
    bool SetObjectList(CDrwObList* list);
    CDrwObList* GetObjectList() const { return m_objects; }
    // Fills the list from the objects' current names.
    bool Init();
    // The library whose part names count as taken; the list is filled again.
    void SetDatabaseType(DATABASETYPE type);
    DATABASETYPE GetDatabaseType() const { return m_databaseType; }

    long GetCheckCount() const;
    // Whether no stored part of the target library carries line `index`'s name.
    bool CanCheck(int index) const;
    // Whether some line could be ticked.
    bool ContainPartNotInLibrary() const;
    // The objects of the ticked lines themselves, in list order, in a list that does not own
    // them.
    std::unique_ptr<CDrwObList> GetCheckedObjectList() const;
    // Copies of the objects of the selected lines (of the current line only, with
    // `caretOnly`), in a list that owns them.
    std::unique_ptr<CDrwObList> GetSelectedObjectList(bool caretOnly) const;

    // Starts renaming the current line.
    void Rename();
    bool IsRenaming() const { return m_editor != nullptr; }
    // Ends a rename, taking the text typed when `commit`.
    void EndRename(bool commit);

    // After every toggle and at the end of every rename (with the line's former index).
    void OnCheckChange(std::function<void(int index)> handler);

private:
    void DrawCheckedList();
    bool NameStored(const CString& name) const;
    // Toggles the clicked line, or every selected line when the clicked one is among them.
    void ToggleItem(int index);
    void ToggleSingleItem(int index);
    // Whether `name` may replace line `index`'s; says why not to the user.
    bool AcceptableName(int index, const CString& name) const;
    void Notify(int index);

    CDrwObList* m_objects = nullptr;  // not owned
    DATABASETYPE m_databaseType = DATABASETYPE_USER;
    int m_renameIndex = -1;
    std::unique_ptr<CObjectNameLabelEdit> m_editor;  // while a rename runs
    std::function<void(int)> m_onCheckChange;
};
