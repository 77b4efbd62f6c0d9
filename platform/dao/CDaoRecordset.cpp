#include "platform/dao/CDaoRecordset.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/ForwardOnlyCursor.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/KeysetCursor.h"
#include "platform/dao/StaticCursor.h"

using vaultry::dao::ForwardOnlyCursor;
using vaultry::dao::KeysetCursor;
using vaultry::dao::StaticCursor;

namespace {

[[noreturn]] void ThrowNoCurrentRecord() {
    throw CDaoException(JET_ERROR_NO_CURRENT_RECORD, "DAO.Recordset", "No current record.");
}

// A column as a statement names it, without brackets or table qualifier.
std::string ColumnPart(const char* name) {
    std::string text(name ? name : "");
    std::erase_if(text, [](char ch) { return ch == '[' || ch == ']'; });
    const auto dot = text.rfind('.');
    if (dot != std::string::npos) {
        text.erase(0, dot + 1);
    }
    return text;
}

// The same in lower case, for lookups: Jet names ignore case.
std::string NormalColumnName(const char* name) {
    std::string text = ColumnPart(name);
    for (char& ch : text) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return text;
}

// Whether a result column (as SQLite names it: no brackets, maybe a qualifier) is `wanted`, a
// NormalColumnName. Fields are bound on every open, so this allocates nothing.
bool SameColumn(std::string_view column, const std::string& wanted) {
    const auto dot = column.rfind('.');
    if (dot != std::string_view::npos) {
        column.remove_prefix(dot + 1);
    }
    return std::equal(
        column.begin(), column.end(), wanted.begin(), wanted.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool IsBareTableName(const CString& sql) {
    const CString trimmed = CString(sql).Trim();
    return !trimmed.IsEmpty() && trimmed.Find(' ') < 0 && trimmed.Find('\t') < 0;
}

}  // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase* database) : m_pDatabase(database) {}

CDaoRecordset::~CDaoRecordset() = default;

CString CDaoRecordset::GetDefaultSQL() {
    return "";
}

void CDaoRecordset::DoFieldExchange(CDaoFieldExchange*) {}

void CDaoRecordset::Open(int openType, const char* sql, int) {
    Close();
    m_nOpenType = openType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : openType;
    m_strSQL = (sql != nullptr && *sql != '\0') ? CString(sql) : GetDefaultSQL();
    if (IsBareTableName(m_strSQL)) {
        m_strSQL = "SELECT * FROM [" + CString(m_strSQL).Trim() + "]";
    }
    try {
        OpenCursor();
    } catch (const CDaoException&) {
        // A set whose first row could not be read (a column the file lacks, damage) stays
        // closed, so that its users open it again instead of using half of it.
        m_cursor.reset();
        m_nEditMode = dbEditNone;
        throw;
    }
}

void CDaoRecordset::Open(CDaoTableDef* tableDef, int openType, int options) {
    const CString sql = "SELECT * FROM [" + tableDef->GetName() + "]";
    Open(openType, sql, options);
}

void CDaoRecordset::OpenCursor() {
    if (m_pDatabase == nullptr) {
        throw CDaoException(JET_ERROR_OBJECT_NOT_OPEN, "DAO.Recordset", "Object is closed.",
                            AFX_DAO_ERROR_OBJECT_NOT_OPEN);
    }
    m_nEditMode = dbEditNone;
    // A requery of an unchanged statement reads the set again through the cursor it has, which
    // keeps its parsed statement and the columns bound to the fields; so does a new filter when
    // the cursor can take it.
    std::string source = std::to_string(m_nOpenType) + '\x1f' + m_strSQL.str() + '\x1f' +
                         m_strFilter.str() + '\x1f' + m_strSort.str();
    if (m_cursor != nullptr && source == m_cursorSource) {
        AfterMove(m_cursor->Restart());
        return;
    }
    const vaultry::dao::SelectStatement statement = CurrentStatement();
    if (m_cursor != nullptr && m_nOpenType != dbOpenSnapshot && m_cursor->Reselect(statement)) {
        m_cursorSource = std::move(source);
        AfterMove(m_cursor->Restart());
        return;
    }
    std::unique_ptr<vaultry::dao::RecordCursor> cursor = MakeCursor(statement);
    if (m_cursor == nullptr || m_cursor->ColumnNames() != cursor->ColumnNames()) {
        m_fieldColumns.clear();
    }
    m_cursor = std::move(cursor);
    m_cursorSource = std::move(source);
    AfterMove(m_cursor->HasCurrentRow());
}

void CDaoRecordset::SetReadAlong(const char* expression) {
    const bool none = expression == nullptr || *expression == '\0';
    // Callers read the same value along, load after load: it is translated once.
    if (!none && m_readAlongGiven != expression) {
        m_readAlongGiven = expression;
        m_readAlongTranslated = "(" + vaultry::dao::TranslateJetSql(expression) + ")";
    }
    m_readAlong = none ? std::string() : m_readAlongTranslated;
    if (m_cursor != nullptr) {
        m_cursor->ReadAlong(m_readAlong);
    }
}

const COleVariant* CDaoRecordset::GetAlongValue() const {
    return m_cursor != nullptr ? m_cursor->AlongValue() : nullptr;
}

// The set's statement with its filter and sort, in SQLite's dialect.
vaultry::dao::SelectStatement CDaoRecordset::CurrentStatement() const {
    auto statement = vaultry::dao::ParseJetSelect(m_strSQL.str());
    if (!statement) {
        throw CDaoException(JET_ERROR_NOT_SUPPORTED, "DAO.Recordset",
                            "A record set needs a SELECT statement: " + m_strSQL);
    }
    if (!m_strFilter.IsEmpty()) {
        const std::string filter = vaultry::dao::TranslateJetSql(m_strFilter.str());
        statement->where =
            statement->where.empty() ? filter : "(" + statement->where + ") AND (" + filter + ")";
    }
    if (!m_strSort.IsEmpty()) {
        statement->orderBy =
            vaultry::dao::ParseOrderBy(vaultry::dao::TranslateJetSql(m_strSort.str()));
    }
    return *statement;
}

std::unique_ptr<vaultry::dao::RecordCursor> CDaoRecordset::MakeCursor(
    const vaultry::dao::SelectStatement& statement) const {
    auto& connection = m_pDatabase->Connection();
    if (statement.table && m_nOpenType != dbOpenSnapshot && m_nOpenType != dbOpenForwardOnly) {
        return std::make_unique<KeysetCursor>(connection, statement, m_readAlong);
    }
    // Literals become parameters, so lookups that differ only in a value share a statement.
    const vaultry::dao::ParameterizedSql where = vaultry::dao::Parameterize(statement.where);
    std::string sql = "SELECT " + statement.selectList + " FROM " + statement.from;
    if (!where.sql.empty()) {
        sql += " WHERE " + where.sql;
    }
    sql += " " + statement.tail;
    for (std::size_t i = 0; i < statement.orderBy.size(); ++i) {
        sql += (i ? ", " : " ORDER BY ") + statement.orderBy[i].expression +
               (statement.orderBy[i].descending ? " DESC" : "");
    }
    if (m_nOpenType == dbOpenForwardOnly) {
        return std::make_unique<ForwardOnlyCursor>(connection, sql, where.values);
    }
    return std::make_unique<StaticCursor>(connection, sql, where.values);
}

void CDaoRecordset::Close() {
    m_cursor.reset();
    m_nEditMode = dbEditNone;
}

void CDaoRecordset::Requery() {
    RequireOpen();
    OpenCursor();
}

void CDaoRecordset::RequireOpen() const {
    if (m_cursor == nullptr) {
        throw CDaoException(JET_ERROR_OBJECT_NOT_OPEN, "DAO.Recordset", "Object is closed.",
                            AFX_DAO_ERROR_OBJECT_NOT_OPEN);
    }
}

void CDaoRecordset::RequireUpdatable() const {
    RequireOpen();
    if (!CanUpdate()) {
        throw CDaoException(JET_ERROR_READ_ONLY, "DAO.Recordset",
                            "Cannot update. Database or object is read-only.");
    }
}

bool CDaoRecordset::IsBOF() const {
    RequireOpen();
    return m_cursor->IsBOF();
}

bool CDaoRecordset::IsEOF() const {
    RequireOpen();
    return m_cursor->IsEOF();
}

bool CDaoRecordset::IsDeleted() const {
    RequireOpen();
    return !m_cursor->IsBOF() && !m_cursor->IsEOF() && !m_cursor->HasCurrentRow();
}

// A move ends any edit in progress (its changes are dropped, as in DAO) and loads the members
// from the row it lands on.
void CDaoRecordset::AfterMove(bool landed) {
    m_nEditMode = dbEditNone;
    if (landed) {
        Exchange(CDaoFieldExchange::Load);
    }
}

void CDaoRecordset::MoveFirst() {
    RequireOpen();
    if (!m_cursor->First()) {
        ThrowNoCurrentRecord();
    }
    AfterMove(true);
}

void CDaoRecordset::MoveLast() {
    RequireOpen();
    if (!m_cursor->Last()) {
        ThrowNoCurrentRecord();
    }
    AfterMove(true);
}

BOOL CDaoRecordset::CanBookmark() const {
    return m_cursor != nullptr && m_cursor->CanBookmark();
}

void CDaoRecordset::RequireBookmarks() const {
    RequireOpen();
    if (!m_cursor->CanBookmark()) {
        throw CDaoException(JET_ERROR_NOT_SUPPORTED, "DAO.Recordset",
                            "Operation is not supported for this type of object.");
    }
}

COleVariant CDaoRecordset::GetBookmark() const {
    RequireBookmarks();
    return COleVariant(m_cursor->CurrentBookmark());
}

void CDaoRecordset::SetBookmark(const COleVariant& bookmark) {
    RequireBookmarks();
    if (bookmark.IsNull() || !m_cursor->MoveToBookmark(bookmark.AsInt64())) {
        throw CDaoException(JET_ERROR_INVALID_BOOKMARK, "DAO.Recordset", "Not a valid bookmark.");
    }
    AfterMove(true);
}

COleVariant CDaoRecordset::GetLastModifiedBookmark() const {
    RequireBookmarks();
    const std::int64_t row = m_cursor->LastModifiedBookmark();
    if (row == 0) {
        throw CDaoException(JET_ERROR_NO_CURRENT_RECORD, "DAO.Recordset", "No current record.");
    }
    return COleVariant(row);
}

void CDaoRecordset::MoveNext() {
    RequireOpen();
    if (m_cursor->IsEOF()) {
        ThrowNoCurrentRecord();
    }
    AfterMove(m_cursor->Next());
}

void CDaoRecordset::MovePrev() {
    RequireOpen();
    if (m_cursor->IsBOF()) {
        ThrowNoCurrentRecord();
    }
    AfterMove(m_cursor->Prev());
}

const std::string& CDaoRecordset::TranslatedFind(const char* filter) {
    const CString text(filter);
    if (text != m_lastFindFilter || m_lastFindFilter.IsEmpty()) {
        m_lastFindFilter = text;
        m_lastFindTranslated = vaultry::dao::TranslateJetSql(text.str());
    }
    return m_lastFindTranslated;
}

BOOL CDaoRecordset::FindFirst(const char* filter) {
    RequireOpen();
    const bool found = m_cursor->FindFirst(TranslatedFind(filter));
    if (found) {
        AfterMove(true);
    }
    return found ? TRUE : FALSE;
}

BOOL CDaoRecordset::FindNext(const char* filter) {
    RequireOpen();
    const bool found = m_cursor->FindNext(TranslatedFind(filter));
    if (found) {
        AfterMove(true);
    }
    return found ? TRUE : FALSE;
}

long CDaoRecordset::GetRecordCount() {
    RequireOpen();
    return m_cursor->Count();
}

bool CDaoRecordset::CanUpdate() const {
    return m_cursor != nullptr && m_cursor->CanUpdate() && m_pDatabase->CanUpdate();
}

void CDaoRecordset::AddNew() {
    RequireUpdatable();
    m_nEditMode = dbEditAdd;
    Exchange(CDaoFieldExchange::SetDefaults);
}

void CDaoRecordset::Edit() {
    RequireUpdatable();
    if (!m_cursor->HasCurrentRow()) {
        ThrowNoCurrentRecord();
    }
    m_nEditMode = dbEditInProgress;
    m_fieldCache.clear();
    Exchange(CDaoFieldExchange::Snapshot);
}

void CDaoRecordset::Update() {
    RequireUpdatable();
    if (m_nEditMode == dbEditNone) {
        throw CDaoException(JET_ERROR_UPDATE_WITHOUT_EDIT, "DAO.Recordset",
                            "Update or CancelUpdate without AddNew or Edit.");
    }
    m_changes.clear();
    m_changes.reserve(static_cast<std::size_t>(m_nFields));
    Exchange(CDaoFieldExchange::CollectChanges);
    if (m_nEditMode == dbEditAdd) {
        m_cursor->Insert(std::move(m_changes));
    } else {
        m_cursor->UpdateCurrent(std::move(m_changes));
    }
    m_nEditMode = dbEditNone;
    AfterMove(m_cursor->HasCurrentRow());
}

void CDaoRecordset::CancelUpdate() {
    RequireOpen();
    if (m_nEditMode == dbEditNone) {
        throw CDaoException(JET_ERROR_UPDATE_WITHOUT_EDIT, "DAO.Recordset",
                            "Update or CancelUpdate without AddNew or Edit.");
    }
    AfterMove(m_cursor->HasCurrentRow());
}

void CDaoRecordset::Delete() {
    RequireUpdatable();
    m_cursor->DeleteCurrent();
    m_nEditMode = dbEditNone;
}

COleVariant CDaoRecordset::GetFieldValue(const char* name) {
    RequireOpen();
    const int index = ColumnIndex(name);
    if (index < 0) {
        throw CDaoException(JET_ERROR_ITEM_NOT_FOUND, "DAO.Fields",
                            "Item not found in this collection.");
    }
    return GetFieldValue(index);
}

COleVariant CDaoRecordset::GetFieldValue(int index) {
    RequireOpen();
    if (!m_cursor->HasCurrentRow()) {
        ThrowNoCurrentRecord();
    }
    const auto& row = m_cursor->Row();
    if (index < 0 || static_cast<std::size_t>(index) >= row.size()) {
        throw CDaoException(JET_ERROR_ITEM_NOT_FOUND, "DAO.Fields",
                            "Item not found in this collection.");
    }
    return row[static_cast<std::size_t>(index)];
}

short CDaoRecordset::GetFieldCount() const {
    RequireOpen();
    return static_cast<short>(m_cursor->ColumnNames().size());
}

int CDaoRecordset::ColumnIndex(const char* name) const {
    const std::string wanted = NormalColumnName(name);
    const auto& columns = m_cursor->ColumnNames();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (SameColumn(columns[i], wanted)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CDaoRecordset::Exchange(int operation) {
    CDaoFieldExchange fx(static_cast<CDaoFieldExchange::Operation>(operation), this);
    DoFieldExchange(&fx);
}

const COleVariant& CDaoRecordset::BoundValue(int field, const char* column) {
    if (static_cast<std::size_t>(field) >= m_fieldColumns.size()) {
        m_fieldColumns.resize(static_cast<std::size_t>(field) + 1, -1);
    }
    int& index = m_fieldColumns[static_cast<std::size_t>(field)];
    if (index < 0) {
        index = ColumnIndex(column);
    }
    const auto& row = m_cursor->Row();
    if (index < 0 || static_cast<std::size_t>(index) >= row.size()) {
        throw CDaoException(JET_ERROR_ITEM_NOT_FOUND, "DAO.Fields",
                            CString("Item not found in this collection: ") + column,
                            AFX_DAO_ERROR_DFX_BIND);
    }
    return row[static_cast<std::size_t>(index)];
}

void CDaoRecordset::RememberField(int field, const COleVariant& value) {
    if (static_cast<std::size_t>(field) >= m_fieldCache.size()) {
        m_fieldCache.resize(static_cast<std::size_t>(field) + 1);
    }
    m_fieldCache[static_cast<std::size_t>(field)] = value;
}

void CDaoRecordset::CollectField(int field, const char* column, const COleVariant& value) {
    const bool changed = m_nEditMode == dbEditAdd ||
                         static_cast<std::size_t>(field) >= m_fieldCache.size() ||
                         m_fieldCache[static_cast<std::size_t>(field)] != value;
    if (!changed) {
        return;
    }
    // DoFieldExchange names each field with the same text every time: its column is found once.
    if (static_cast<std::size_t>(field) >= m_fieldNames.size()) {
        m_fieldNames.resize(static_cast<std::size_t>(field) + 1);
    }
    auto& [given, name] = m_fieldNames[static_cast<std::size_t>(field)];
    if (column == nullptr || given != column) {
        given = column ? column : "";
        name = ColumnPart(column);
    }
    m_changes.emplace_back(name, value);
}
