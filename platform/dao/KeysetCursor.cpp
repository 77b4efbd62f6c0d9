#include "platform/dao/KeysetCursor.h"

#include <algorithm>
#include <cstdint>

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/Connection.h"
#include "platform/dao/DaoConstants.h"

namespace vaultry::dao {
namespace {

// Whether `names` are the columns `writable` gives values to, in order.
bool NamesThe(const FieldChanges& writable, const std::vector<std::string>& names) {
    return names.size() == writable.size() &&
           std::equal(writable.begin(), writable.end(), names.begin(),
                      [](const auto& w, const std::string& n) { return w.first == n; });
}

constexpr int kLargestBatch = 1024;

bool SameDirection(const std::vector<OrderTerm>& terms) {
    return std::all_of(terms.begin(), terms.end(), [&](const OrderTerm& t) {
        return t.descending == terms.front().descending;
    });
}

}  // namespace

KeysetCursor::KeysetCursor(Connection& connection, const SelectStatement& statement,
                           const std::string& along)
    : m_connection(connection),
      m_tableName(*statement.table),
      m_table(QuoteIdentifier(m_tableName)),
      m_rowId(connection.RowIdColumn(m_table)),
      m_selectList(statement.selectList),
      m_where(Parameterize(statement.where)),
      m_order(statement.orderBy),
      m_along(along) {
    // The row id breaks ties, in the direction of the last term so that a uniform order stays
    // uniform (and can be searched as one row value).
    m_order.push_back({m_rowId, !m_order.empty() && m_order.back().descending});

    // The columns are known before any row is read, so an empty set still describes them: as
    // the statement ran, for a server prepares it anew for tables changed since.
    auto row = m_connection.Prepare("SELECT " + m_selectList + " FROM " + m_table + " WHERE " +
                                    m_rowId + "=?");
    row->Bind(1, COleVariant::Null());
    row->Step();
    for (int i = 0; i < row->ColumnCount(); ++i) {
        m_columns.emplace_back(row->ColumnName(i));
    }
    m_readsTableColumns = ReadsTableColumns();
    // A statement that adds a row can return it, saving the statement that reads it back when
    // the caller moves to it (as every store does); only when the set reads the table's own
    // columns.
    m_returnsInserted = m_connection.InsertsReturnRows() && m_readsTableColumns;
    Restart();
}

// Requerying a set is frequent (every lookup by id starts with one), so the membership bound
// and the first row come from one statement, which also makes them agree. A set that statement
// finds whole (one row or none ahead of the limit) is bounded by its own rows: nothing above
// them was a member. A set found whole last time most likely is again (every lookup by name),
// and its statement then leaves out the table's largest row id, which on a server is an index
// scan more; should it find more rows after all, the set is read again with it.
bool KeysetCursor::Restart() {
    m_lastModified = 0;
    if (!m_appended.empty()) {
        m_appended.clear();
        m_appendedPositions = {};  // clear() would wipe every bucket of a large map
    }
    DropAhead();
    m_inAppended = false;
    if (m_foundWhole) {
        m_maxRowId = INT64_MAX;
        if (!LandOnMain("", nullptr, Direction::kForward)) {
            return StandOnEmpty();
        }
        if (m_aheadEnd) {
            m_maxRowId = m_current.RowId();
            return true;
        }
    }
    if (!LandOnMain("", nullptr, Direction::kForward, true)) {
        return StandOnEmpty();
    }
    m_foundWhole = m_aheadEnd;
    if (m_foundWhole) {
        m_maxRowId = m_current.RowId();
    }
    return true;
}

// An empty set's members are the rows that come to meet its statement and were there when it
// was found empty.
bool KeysetCursor::StandOnEmpty() {
    auto maxRowId = m_connection.Prepare("SELECT max(" + m_rowId + ") FROM " + m_table);
    maxRowId->Step();
    m_maxRowId = maxRowId->ColumnInt64(0);
    m_foundWhole = true;
    m_position = Position::kBeforeFirst;
    m_empty = true;
    return false;
}

// Sets filtered by one name after another (every lookup by name) keep their cursor.
bool KeysetCursor::Reselect(const SelectStatement& statement) {
    const bool sameRows = statement.table && QuoteIdentifier(*statement.table) == m_table &&
                          statement.selectList == m_selectList &&
                          std::equal(statement.orderBy.begin(), statement.orderBy.end(),
                                     m_order.begin(), m_order.end() - 1);
    if (!sameRows) {
        return false;
    }
    ParameterizedSql where = Parameterize(statement.where);
    if (where.sql != m_where.sql) {
        m_startQueries.clear();  // they bind the filter's values as they run: only its text counts
    }
    m_where = std::move(where);
    return true;
}

std::string KeysetCursor::BeyondCondition(const Key& key, Direction direction,
                                          std::vector<COleVariant>& binds) const {
    const bool forward = direction == Direction::kForward;
    const bool anyNull = std::any_of(key.values.begin(), key.values.end(),
                                     [](const COleVariant& v) { return v.IsNull(); });
    const bool wantGreater = forward != m_order.front().descending;
    if (!anyNull && SameDirection(m_order) && wantGreater) {
        // One row-value comparison, which SQLite can answer from an index on the order columns.
        // Only when looking for greater values: a null in a row makes the comparison null, and
        // nulls sort first, so they are rightly left out of "greater" but would be wrongly left
        // out of "smaller".
        std::string left = "(";
        std::string right = "(";
        for (std::size_t i = 0; i < m_order.size(); ++i) {
            left += (i ? "," : "") + m_order[i].expression;
            right += i ? ",?" : "?";
            binds.push_back(key.values[i]);
        }
        return left + ")>" + right + ")";
    }
    // Otherwise: equal on the first i terms and beyond on term i, for some i. SQLite sorts nulls
    // first, so "beyond" must say how nulls fall in each direction.
    std::string condition;
    std::string equalSoFar;
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        const std::string& t = m_order[i].expression;
        const COleVariant& v = key.values[i];
        const bool greater = forward != m_order[i].descending;
        std::string beyond;
        std::vector<COleVariant> beyondBinds;
        if (v.IsNull()) {
            beyond = greater ? t + " IS NOT NULL" : "1=0";
        } else {
            beyond = greater ? t + ">?" : "(" + t + "<? OR " + t + " IS NULL)";
            beyondBinds.push_back(v);
        }
        condition += (condition.empty() ? "(" : " OR (") + equalSoFar + beyond + ")";
        // The binds of this alternative: the equalities so far, then its own.
        for (std::size_t j = 0; j < i; ++j) {
            if (!key.values[j].IsNull()) {
                binds.push_back(key.values[j]);
            }
        }
        binds.insert(binds.end(), beyondBinds.begin(), beyondBinds.end());
        equalSoFar += v.IsNull() ? t + " IS NULL AND " : t + "=? AND ";
    }
    return "(" + condition + ")";
}

const std::string& KeysetCursor::KeyQuery(const Key* from, Direction direction,
                                          const std::string& condition, int limit, Extra extra,
                                          std::vector<COleVariant>& binds) {
    const bool fixing = extra == Extra::kLargestRowIdAndRow;
    binds.push_back(COleVariant(fixing ? INT64_MAX : m_maxRowId));
    const ParameterizedSql& find = Parameterized(condition);
    // The text of a query from the start of the set depends on nothing else; it is the one
    // every requery and find runs.
    if (from == nullptr) {
        for (const StartQuery& known : m_startQueries) {
            if (known.direction == direction && known.extra == extra && known.limit == limit &&
                known.along == m_along && known.find == find.sql) {
                binds.insert(binds.end(), m_where.values.begin(), m_where.values.end());
                binds.insert(binds.end(), find.values.begin(), find.values.end());
                return known.sql;
            }
        }
    }
    std::string sql =
        fixing ? "SELECT (SELECT max(" + m_rowId + ") FROM " + m_table + ")," : "SELECT ";
    std::string orderBy;
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        const bool descending = m_order[i].descending != (direction == Direction::kBackward);
        sql += (i ? "," : "") + m_order[i].expression;
        orderBy += (i ? "," : "") + m_order[i].expression + (descending ? " DESC" : "");
    }
    sql += "," + m_selectList;
    if (!m_along.empty()) {
        sql += "," + m_along;
    }
    sql += " FROM " + m_table + " WHERE " + m_rowId + "<=?";
    AppendCondition(sql, binds, m_where);
    AppendCondition(sql, binds, find);
    if (from != nullptr) {
        sql += " AND " + BeyondCondition(*from, direction, binds);
    }
    sql += " ORDER BY " + orderBy + " LIMIT " + std::to_string(limit);
    if (from != nullptr) {
        m_beyondQuery = std::move(sql);
        return m_beyondQuery;
    }
    if (m_startQueries.size() >= kStartQueriesKept) {
        m_startQueries.clear();  // finds of many shapes: they are made again as met
    }
    m_startQueries.push_back({direction, extra, limit, m_along, find.sql, std::move(sql)});
    return m_startQueries.back().sql;
}

std::vector<KeysetCursor::Key> KeysetCursor::FetchKeys(const Key* from, Direction direction,
                                                       const std::string& condition, int limit) {
    std::vector<COleVariant> binds;
    auto statement =
        m_connection.Prepare(KeyQuery(from, direction, condition, limit, Extra::kRow, binds));
    statement->BindAll(binds);
    std::vector<Key> keys;
    while (statement->Step()) {
        keys.push_back(ReadKey(*statement, 0, !m_along.empty()));
    }
    return keys;
}

bool KeysetCursor::LoadRow(std::int64_t rowId, const std::string& condition) {
    std::string sql = "SELECT " + m_selectList + " FROM " + m_table + " WHERE " + m_rowId + "=?";
    std::vector<COleVariant> binds{COleVariant(rowId)};
    AppendCondition(sql, binds, Parameterized(condition));
    auto statement = m_connection.Prepare(sql);
    statement->BindAll(binds);
    if (!statement->Step()) {
        return false;
    }
    m_currentAlong.reset();
    m_row.clear();
    for (int i = 0; i < statement->ColumnCount(); ++i) {
        m_row.push_back(statement->Column(i));
    }
    return true;
}

// Stands on `rowId` when it still exists and meets `condition`.
bool KeysetCursor::Land(std::int64_t rowId, const std::string& condition) {
    if (!LoadRow(rowId, condition)) {
        return false;
    }
    StandOn(rowId);
    return true;
}

void KeysetCursor::StandOn(std::int64_t rowId) {
    m_currentAlong.reset();
    m_currentRowId = rowId;
    m_position = Position::kOnRow;
    m_empty = false;
}

// Moves to the first row of the main part beyond `from` (from the start when null) that meets
// `condition`. Key and values come from one statement, so the row cannot vanish in between.
// With `fixMembership`, the same statement also sets the membership bound when it finds a row.
// Going forward, the statement also reads the row after it, or learns there is none: a walk or
// a find that goes on within the same state of the file needs no second statement.
bool KeysetCursor::LandOnMain(const std::string& condition, const Key* from, Direction direction,
                              bool fixMembership) {
    const bool forward = direction == Direction::kForward;
    std::vector<COleVariant> binds;
    auto statement = m_connection.Prepare(
        KeyQuery(from, direction, condition, forward ? 2 : 1,
                 fixMembership ? Extra::kLargestRowIdAndRow : Extra::kRow, binds));
    statement->BindAll(binds);
    if (!statement->Step()) {
        return false;
    }
    const int first = fixMembership ? 1 : 0;
    if (fixMembership) {
        m_maxRowId = statement->ColumnInt64(0);
    }
    const bool along = !m_along.empty();
    StandOnMain(ReadKey(*statement, first, along), condition);
    if (forward) {
        if (statement->Step()) {
            m_ahead.push_back(ReadKey(*statement, first, along));
        } else {
            m_aheadEnd = true;
        }
        m_aheadStamp = m_connection.CurrentReadStamp();
    }
    return true;
}

KeysetCursor::Key KeysetCursor::ReadKey(Statement& statement, int first, bool along) const {
    const int keyEnd = first + static_cast<int>(m_order.size());
    const int columns = statement.ColumnCount() - (along ? 1 : 0);
    Key key;
    key.values.reserve(static_cast<std::size_t>(keyEnd - first));
    for (int i = first; i < keyEnd; ++i) {
        key.values.push_back(statement.Column(i));
    }
    key.row.reserve(static_cast<std::size_t>(columns - keyEnd));
    for (int i = keyEnd; i < columns; ++i) {
        key.row.push_back(statement.Column(i));
    }
    if (along) {
        key.along = statement.Column(columns);
    }
    return key;
}

// Stands on the main-part row of `key` (read with its values), walks to go on from it.
void KeysetCursor::StandOnMain(Key key, const std::string& condition) {
    m_row = std::move(key.row);
    key.row.clear();
    StandOn(key.RowId());
    m_currentAlong = std::move(key.along);
    key.along.reset();
    m_current = std::move(key);
    m_inAppended = false;
    DropAhead();
    m_aheadCondition = condition;
    m_batch = 1;
}

void KeysetCursor::DropAhead() {
    m_ahead.clear();
    m_aheadEnd = false;
}

// Moves to the first live appended row from index `from` on (or back) that meets `condition`.
// Rows added through the set have growing row ids above every row of the main part, so the
// engine can search them as one range; rows other processes added in that range are passed
// over as they are no members.
bool KeysetCursor::LandOnAppended(std::size_t from, Direction direction,
                                  const std::string& condition) {
    if (from >= m_appended.size()) {
        return false;
    }
    const bool forward = direction == Direction::kForward;
    std::string sql = "SELECT " + m_rowId + "," + m_selectList + " FROM " + m_table + " WHERE " +
                      m_rowId + (forward ? ">=?" : "<=? AND " + m_rowId + ">=?");
    std::vector<COleVariant> binds{COleVariant(m_appended[from])};
    if (!forward) {
        binds.emplace_back(m_appended.front());
    }
    AppendCondition(sql, binds, Parameterized(condition));
    auto statement = m_connection.Prepare(sql + " ORDER BY " + m_rowId + (forward ? "" : " DESC"));
    statement->BindAll(binds);
    while (statement->Step()) {
        const auto member = m_appendedPositions.find(statement->ColumnInt64(0));
        if (member != m_appendedPositions.end()) {
            m_row.clear();
            for (int i = 1; i < statement->ColumnCount(); ++i) {
                m_row.push_back(statement->Column(i));
            }
            StandOn(member->first);
            m_inAppended = true;
            m_appendedIndex = member->second;
            DropAhead();
            return true;
        }
    }
    return false;
}

// Moves to the next row of the main part after m_current that meets `condition`. Keys come a
// growing batch at a time with their rows, fetched for the condition the batch was fetched for.
// Within a transaction that has written nothing since, the rows stand as read; otherwise each
// row is read again (and the condition checked again) as the cursor lands on it.
bool KeysetCursor::AdvanceMain(const std::string& condition) {
    if (condition != m_aheadCondition) {
        DropAhead();
        m_aheadCondition = condition;
        m_batch = 1;
    }
    for (;;) {
        const bool sameState = m_aheadStamp && m_connection.CurrentReadStamp() == m_aheadStamp;
        if (m_ahead.empty()) {
            if (m_aheadEnd && sameState) {
                return false;  // the last fetch found no more, and nothing has changed since
            }
            std::vector<Key> keys = FetchKeys(&m_current, Direction::kForward, condition, m_batch);
            m_aheadStamp = m_connection.CurrentReadStamp();
            m_aheadEnd = keys.size() < static_cast<std::size_t>(m_batch);
            m_batch = std::min(m_batch * 8, kLargestBatch);
            if (keys.empty()) {
                return false;
            }
            m_ahead.assign(std::make_move_iterator(keys.begin()),
                           std::make_move_iterator(keys.end()));
        }
        m_current = std::move(m_ahead.front());
        m_ahead.pop_front();
        if (m_aheadStamp && m_connection.CurrentReadStamp() == m_aheadStamp) {
            m_row = std::move(m_current.row);
            StandOn(m_current.RowId());
            m_currentAlong = std::move(m_current.along);
            m_current.along.reset();
            m_inAppended = false;
            return true;
        }
        m_current.row.clear();
        m_current.along.reset();
        if (Land(m_current.RowId(), condition)) {
            m_inAppended = false;
            return true;
        }
    }
}

bool KeysetCursor::First() {
    if (LandOnMain("", nullptr, Direction::kForward) ||
        LandOnAppended(0, Direction::kForward, "")) {
        return true;
    }
    m_position = Position::kBeforeFirst;
    m_empty = true;
    return false;
}

bool KeysetCursor::Last() {
    if (!m_appended.empty() && LandOnAppended(m_appended.size() - 1, Direction::kBackward, "")) {
        return true;
    }
    if (LandOnMain("", nullptr, Direction::kBackward)) {
        return true;
    }
    m_position = Position::kAfterLast;
    m_empty = true;
    return false;
}

bool KeysetCursor::Next() {
    switch (m_position) {
        case Position::kBeforeFirst:
            return First();
        case Position::kAfterLast:
            return false;
        default:
            break;
    }
    const bool moved = m_inAppended
                           ? LandOnAppended(m_appendedIndex + 1, Direction::kForward, "")
                           : (AdvanceMain("") || LandOnAppended(0, Direction::kForward, ""));
    if (!moved) {
        m_position = Position::kAfterLast;
    }
    return moved;
}

bool KeysetCursor::Prev() {
    switch (m_position) {
        case Position::kAfterLast:
            return Last();
        case Position::kBeforeFirst:
            return false;
        default:
            break;
    }
    bool moved = false;
    if (m_inAppended) {
        moved = (m_appendedIndex > 0 &&
                 LandOnAppended(m_appendedIndex - 1, Direction::kBackward, "")) ||
                LandOnMain("", nullptr, Direction::kBackward);
    } else {
        const Key from = m_current;
        moved = LandOnMain("", &from, Direction::kBackward);
    }
    if (!moved) {
        m_position = Position::kBeforeFirst;
    }
    return moved;
}

bool KeysetCursor::FindFirst(const std::string& condition) {
    return LandOnMain(condition, nullptr, Direction::kForward) ||
           LandOnAppended(0, Direction::kForward, condition);
}

bool KeysetCursor::FindNext(const std::string& condition) {
    switch (m_position) {
        case Position::kBeforeFirst:
            return FindFirst(condition);
        case Position::kAfterLast:
            return false;
        default:
            break;
    }
    if (m_inAppended) {
        return LandOnAppended(m_appendedIndex + 1, Direction::kForward, condition);
    }
    return AdvanceMain(condition) || LandOnAppended(0, Direction::kForward, condition);
}

long KeysetCursor::Count() {
    std::string sql = "SELECT count(*) FROM " + m_table + " WHERE " + m_rowId + "<=?";
    std::vector<COleVariant> binds{COleVariant(m_maxRowId)};
    AppendCondition(sql, binds, m_where);
    auto statement = m_connection.Prepare(sql);
    statement->BindAll(binds);
    statement->Step();
    long count = static_cast<long>(statement->ColumnInt64(0));
    if (!m_appended.empty()) {
        // The added rows that still exist: one pass over the row ids from the first added on.
        auto added = m_connection.Prepare("SELECT " + m_rowId + " FROM " + m_table + " WHERE " +
                                          m_rowId + ">=?");
        added->BindInt64(1, m_appended.front());
        while (added->Step()) {
            count += m_appendedPositions.count(added->ColumnInt64(0)) ? 1 : 0;
        }
    }
    return count;
}

// Walks use one condition row after row; it is taken apart once.
const ParameterizedSql& KeysetCursor::Parameterized(const std::string& condition) {
    if (condition != m_lastCondition || m_lastCondition.empty()) {
        m_lastCondition = condition;
        m_lastParameterized = Parameterize(condition);
    }
    return m_lastParameterized;
}

void KeysetCursor::AppendCondition(std::string& sql, std::vector<COleVariant>& binds,
                                   const ParameterizedSql& condition) {
    if (!condition.sql.empty()) {
        sql += " AND (" + condition.sql + ")";
        binds.insert(binds.end(), condition.values.begin(), condition.values.end());
    }
}

void KeysetCursor::RequireCurrentRow() const {
    if (m_position != Position::kOnRow) {
        throw CDaoException(JET_ERROR_NO_CURRENT_RECORD, "DAO.Recordset", "No current record.");
    }
}

// The database assigns the integer key and never takes it from a set.
void KeysetCursor::DropIntegerKey(FieldChanges& changes) {
    const std::string& rowIdColumn = m_connection.IntegerKeyColumn(m_table);
    if (!rowIdColumn.empty()) {
        std::erase_if(changes, [&rowIdColumn](const auto& change) {
            return text::CompareFolded(change.first, rowIdColumn) == 0;
        });
    }
}

void KeysetCursor::UpdateCurrent(FieldChanges writable) {
    RequireCurrentRow();
    m_lastModified = m_currentRowId;
    DropIntegerKey(writable);
    if (writable.empty()) {
        return;
    }
    std::string sql = "UPDATE " + m_table + " SET ";
    for (std::size_t i = 0; i < writable.size(); ++i) {
        sql += i ? "," : "";
        sql += QuoteIdentifier(writable[i].first) + "=?";
    }
    auto statement = m_connection.Prepare(sql + " WHERE " + m_rowId + "=?");
    int index = 1;
    for (const auto& change : writable) {
        statement->Bind(index++, change.second);
    }
    statement->BindInt64(index, m_currentRowId);
    statement->Step();
    if (m_connection.Changes() == 0) {
        throw CDaoException(JET_ERROR_RECORD_DELETED, "DAO.Recordset", "Record is deleted.");
    }
    LoadRow(m_currentRowId, "");
}

// Whether the set reads the table's own columns, all of them, and nothing else.
bool KeysetCursor::ReadsTableColumns() const {
    const std::size_t dot = m_selectList.rfind('.');
    return m_selectList == "*" ||
           (dot != std::string::npos && m_selectList.substr(dot) == ".*" &&
            text::CompareFolded(QuoteIdentifier(m_selectList.substr(0, dot)), m_table) == 0);
}

// A set that adds many rows names the same columns each time: the text is kept for them.
const std::string& KeysetCursor::InsertInto(const FieldChanges& writable) {
    if (!m_insertInto.empty() && NamesThe(writable, m_insertNames)) {
        return m_insertInto;
    }
    m_insertNames.clear();
    m_givenColumns.clear();  // matched to the columns named before
    m_insertInto = "INSERT INTO " + m_table;
    if (writable.empty()) {
        m_insertInto += " DEFAULT VALUES";
        return m_insertInto;
    }
    std::string names;
    std::string values;
    for (std::size_t i = 0; i < writable.size(); ++i) {
        m_insertNames.push_back(writable[i].first);
        names += i ? "," : "";
        names += QuoteIdentifier(writable[i].first);
        values += i ? ",?" : "?";
    }
    m_insertInto += " (" + names + ") VALUES (" + values + ")";
    return m_insertInto;
}

// The insert of `writable`, returning the new row (when the set reads whole rows) but for the
// bytes given in `writable`: those are stored as given, and sent back they would double the
// traffic of every store. `given` tells, for each of the set's columns, the value given.
std::string KeysetCursor::InsertStatement(const FieldChanges& writable,
                                          std::vector<const COleVariant*>& given) {
    std::string sql = InsertInto(writable);
    given.assign(m_columns.size(), nullptr);
    if (!m_returnsInserted) {
        return sql;
    }
    sql += " RETURNING " + m_rowId;
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        for (const auto& [name, value] : writable) {
            if (value.vt == (VT_ARRAY | VT_UI1) && !value.AsBytes().empty() &&
                text::CompareFolded(name, m_columns[c]) == 0) {
                given[c] = &value;
            }
        }
        if (given[c] == nullptr) {
            sql += "," + QuoteIdentifier(m_columns[c]);
        }
    }
    return sql;
}

void KeysetCursor::Insert(FieldChanges writable) {
    DropIntegerKey(writable);
    std::vector<const COleVariant*> given;
    auto statement = m_connection.Prepare(InsertStatement(writable, given));
    for (std::size_t i = 0; i < writable.size(); ++i) {
        statement->Bind(static_cast<int>(i + 1), writable[i].second);
    }
    m_inserted = {};
    if (!statement->Step() || !m_returnsInserted) {
        m_lastModified = m_connection.LastInsertRowid();
        if (auto row = RowAsGiven(writable, m_lastModified)) {
            m_inserted = {m_lastModified, std::move(*row), m_connection.CurrentReadStamp()};
        }
    } else {
        m_lastModified = statement->ColumnInt64(0);
        m_inserted.rowId = m_lastModified;
        int returned = 1;
        for (const COleVariant* value : given) {
            m_inserted.row.push_back(value ? *value : statement->Column(returned++));
        }
        while (statement->Step()) {
        }
        m_inserted.stamp = m_connection.CurrentReadStamp();
    }
    m_appendedPositions.emplace(m_lastModified, m_appended.size());
    m_appended.push_back(m_lastModified);
}

const COleVariant* KeysetCursor::AlongValue() const {
    return m_position == Position::kOnRow && m_currentAlong ? &*m_currentAlong : nullptr;
}

// A value of the column's own kind is stored as given, and read back as the same value: an
// integer in an integer column, a text in a text column, bytes in a blob column. Any other value
// may be converted by the engine, and the row is read back.
std::optional<std::vector<COleVariant>> KeysetCursor::RowAsGiven(FieldChanges& writable,
                                                                 std::int64_t rowId) {
    if (!m_readsTableColumns || !m_connection.InsertsKeepGivenValues(m_tableName)) {
        return std::nullopt;
    }
    MapGivenColumns(writable);
    for (const GivenColumn& column : m_givenColumns) {
        if (column.isKey) {
            continue;
        }
        if (column.given < 0) {
            return std::nullopt;  // the engine chose its value
        }
        const COleVariant& value = writable[static_cast<std::size_t>(column.given)].second;
        const bool ownKind = (column.type == dbLong && (value.vt == VT_I4 || value.vt == VT_I8)) ||
                             (column.type == dbText && value.IsText()) ||
                             (column.type == dbLongBinary && value.vt == (VT_ARRAY | VT_UI1) &&
                              !value.AsBytes().empty());
        if (!ownKind) {
            return std::nullopt;
        }
    }
    std::vector<COleVariant> row;
    row.reserve(m_givenColumns.size());
    for (const GivenColumn& column : m_givenColumns) {
        if (column.isKey) {
            row.emplace_back(rowId);
        } else {
            row.push_back(std::move(writable[static_cast<std::size_t>(column.given)].second));
        }
    }
    return row;
}

// A set's inserts name the same fields in the same order each time: the columns are matched to
// them once, until InsertInto meets other names. `writable` is what InsertInto was last given.
void KeysetCursor::MapGivenColumns(const FieldChanges& writable) {
    if (!m_givenColumns.empty()) {
        return;
    }
    const auto tableColumns = m_connection.TableColumns(m_tableName);
    const std::string& key = m_connection.IntegerKeyColumn(m_table);
    m_givenColumns.clear();
    for (const std::string& name : m_columns) {
        const auto named = [&name](const std::string& other) {
            return text::CompareFolded(other, name) == 0;
        };
        GivenColumn column;
        column.isKey = !key.empty() && named(key);
        const auto given = std::find_if(writable.begin(), writable.end(),
                                        [&](const auto& w) { return named(w.first); });
        column.given = given == writable.end() ? -1 : static_cast<int>(given - writable.begin());
        const auto described = std::find_if(tableColumns.begin(), tableColumns.end(),
                                            [&](const auto& c) { return named(c.name); });
        column.type = described == tableColumns.end() ? 0 : described->daoType;
        m_givenColumns.push_back(column);
    }
}

std::int64_t KeysetCursor::CurrentBookmark() const {
    RequireCurrentRow();
    return m_currentRowId;
}

bool KeysetCursor::MoveToBookmark(std::int64_t rowId) {
    if (const auto appended = m_appendedPositions.find(rowId);
        appended != m_appendedPositions.end()) {
        // A row just added is stored as the insert returned it, while nothing was written since.
        if (rowId == m_inserted.rowId && m_inserted.stamp &&
            m_connection.CurrentReadStamp() == m_inserted.stamp) {
            m_row = m_inserted.row;
        } else if (!LoadRow(rowId, "")) {
            return false;
        }
        StandOn(rowId);
        m_inAppended = true;
        m_appendedIndex = appended->second;
        DropAhead();
        return true;
    }
    return rowId <= m_maxRowId && LandOnMainRow(rowId);
}

// Stands on a row of the main part, with its key, so that moves go on from it in set order.
bool KeysetCursor::LandOnMainRow(std::int64_t rowId) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        sql += (i ? "," : "") + m_order[i].expression;
    }
    sql += "," + m_selectList + " FROM " + m_table + " WHERE " + m_rowId + "=?";
    std::vector<COleVariant> binds{COleVariant(rowId)};
    AppendCondition(sql, binds, m_where);
    auto statement = m_connection.Prepare(sql);
    statement->BindAll(binds);
    if (!statement->Step()) {
        return false;
    }
    StandOnMain(ReadKey(*statement, 0, false), "");
    return true;
}

void KeysetCursor::DeleteCurrent() {
    RequireCurrentRow();
    auto statement = m_connection.Prepare("DELETE FROM " + m_table + " WHERE " + m_rowId + "=?");
    statement->BindInt64(1, m_currentRowId);
    statement->Step();
    if (m_connection.Changes() == 0) {
        throw CDaoException(JET_ERROR_RECORD_DELETED, "DAO.Recordset", "Record is deleted.");
    }
    m_position = Position::kOnGap;
}

}  // namespace vaultry::dao
