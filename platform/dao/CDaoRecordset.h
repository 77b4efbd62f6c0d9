#pragma once
// DAO's record set. A dynaset (the default) over plain rows of one table fixes its membership
// at Open and Requery, in the statement's order, and reads current values as it moves; rows
// added through it join its end. Filter, sort and find conditions are Jet SQL, evaluated by
// the database engine. Other statements and snapshots are read whole and cannot be updated.
// Every engine error arrives as a CDaoException.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/afx/CObject.h"
#include "platform/afx/COleVariant.h"
#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/RecordCursor.h"

class CDaoDatabase;
class CDaoFieldExchange;
class CDaoTableDef;

constexpr int dbEditNone = 0;
constexpr int dbEditInProgress = 1;
constexpr int dbEditAdd = 2;

class CDaoRecordset : public CObject {
public:
    // `database` is not owned and must stay open while the set is.
    explicit CDaoRecordset(CDaoDatabase* database = nullptr);
    ~CDaoRecordset() override;
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    // Runs `sql` (GetDefaultSQL when null; a bare table name reads the whole table) with
    // m_strFilter and m_strSort, and stands on the first row. Throws CDaoException.
    virtual void Open(int openType = AFX_DAO_USE_DEFAULT_TYPE, const char* sql = nullptr,
                      int options = 0);
    virtual void Open(CDaoTableDef* tableDef, int openType = dbOpenTable, int options = 0);
    virtual void Close();
    bool IsOpen() const { return m_cursor != nullptr; }
    virtual CString GetDefaultSQL();
    virtual void DoFieldExchange(CDaoFieldExchange* pFX);
    // Runs the statement again with the current filter and sort; stands on the first row.
    virtual void Requery();

    bool IsBOF() const;
    bool IsEOF() const;
    // True while the set stands on the gap a Delete left, until it moves.
    bool IsDeleted() const;
    // MoveFirst and MoveLast on an empty set, MoveNext after the end and MovePrev before the
    // start throw "No current record." as DAO does.
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    // True when a row meets `filter`; it becomes current. Otherwise the position stays.
    BOOL FindFirst(const char* filter);
    BOOL FindNext(const char* filter);
    // A dynaset's bookmarks name its rows until it is requeried. The last modified one is the
    // row the last Update wrote, so that a program can move to a row it has just added.
    BOOL CanBookmark() const;
    COleVariant GetBookmark() const;
    void SetBookmark(const COleVariant& bookmark);
    COleVariant GetLastModifiedBookmark() const;
    // Not in DAO: a value (a Jet SQL sub-query on the row's columns, say a related row's
    // field) that a dynaset reads in the statement that finds or walks to each row, for callers
    // that need it on every row they stand on; null or empty to read none. GetAlongValue gives
    // it for the current row, or null when the row was not read with it (read again after a
    // change, added through the set, or reached by a bookmark): ask for it the usual way then.
    void SetReadAlong(const char* expression);
    const COleVariant* GetAlongValue() const;
    // The number of rows in the set. Counting costs a query.
    long GetRecordCount();

    bool CanUpdate() const;
    virtual void AddNew();
    virtual void Edit();
    // Writes the fields that changed since Edit (all fields after AddNew). After an AddNew the
    // row that was current before it is current again.
    virtual void Update();
    void CancelUpdate();
    virtual void Delete();
    int GetEditMode() const { return m_nEditMode; }

    // Throws "Item not found in this collection." for an unknown column.
    COleVariant GetFieldValue(const char* name);
    COleVariant GetFieldValue(int index);
    short GetFieldCount() const;

    CDaoDatabase* m_pDatabase;
    CString m_strFilter;
    CString m_strSort;
    int m_nFields = 0;
    int m_nDefaultType = dbOpenDynaset;

    // For CDaoFieldExchange: the value of bound field `field`, named `column`, in the current row.
    const COleVariant& BoundValue(int field, const char* column);
    void RememberField(int field, const COleVariant& value);
    void CollectField(int field, const char* column, const COleVariant& value);

protected:
    // The statement of the last Open; Requery runs it again.
    CString m_strSQL;

private:
    void OpenCursor();
    vaultry::dao::SelectStatement CurrentStatement() const;
    std::unique_ptr<vaultry::dao::RecordCursor> MakeCursor(
        const vaultry::dao::SelectStatement& statement) const;
    void RequireOpen() const;
    void RequireUpdatable() const;
    void RequireBookmarks() const;
    void Exchange(int operation);
    void AfterMove(bool landed);
    int ColumnIndex(const char* name) const;
    // The find filter in SQLite's dialect; a walk repeats one filter, translated once.
    const std::string& TranslatedFind(const char* filter);

    std::unique_ptr<vaultry::dao::RecordCursor> m_cursor;
    std::string m_cursorSource;  // open type, statement, filter and sort m_cursor was made for
    int m_nOpenType = dbOpenDynaset;
    int m_nEditMode = dbEditNone;
    std::vector<int> m_fieldColumns;        // column index of each bound field, resolved once
    std::vector<COleVariant> m_fieldCache;  // bound values at Edit
    // Each field's name as DoFieldExchange gave it, and the column it names.
    std::vector<std::pair<std::string, std::string>> m_fieldNames;
    vaultry::dao::FieldChanges m_changes;
    std::string m_readAlong;            // in SQLite's dialect, parenthesized; see SetReadAlong
    std::string m_readAlongGiven;       // the last value read along as given,
    std::string m_readAlongTranslated;  // and as m_readAlong has it
    CString m_lastFindFilter;
    std::string m_lastFindTranslated;
};
