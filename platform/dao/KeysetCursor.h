#pragma once
// A dynaset over the rows of one table. Membership is fixed when the cursor is made or
// restarted: the rows that met the statement then (rows added later have larger row ids and are
// left out; so are rows above a set found whole at once, see Restart), plus the rows added
// through the cursor since, which join the end. Rows are found by their order-by values and row
// id, a batch of keys at a time, so making the cursor costs the same for any table size, and
// every move shows the row's current values: as read with its key while the connection's
// transaction has written nothing since, else read anew.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/dao/Connection.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/RecordCursor.h"

namespace vaultry::dao {

class KeysetCursor : public RecordCursor {
public:
    // `statement.table` must be set; its WHERE and ORDER BY are final. `connection` is not owned.
    // `along`: see ReadAlong.
    KeysetCursor(Connection& connection, const SelectStatement& statement,
                 const std::string& along);

    bool Restart() override;
    bool Reselect(const SelectStatement& statement) override;
    bool First() override;
    bool Last() override;
    bool Next() override;
    bool Prev() override;
    bool FindFirst(const std::string& condition) override;
    bool FindNext(const std::string& condition) override;

    bool IsBOF() const override { return m_empty || m_position == Position::kBeforeFirst; }
    bool IsEOF() const override { return m_empty || m_position == Position::kAfterLast; }
    bool HasCurrentRow() const override { return m_position == Position::kOnRow; }
    long Count() override;

    void ReadAlong(const std::string& expression) override { m_along = expression; }
    const COleVariant* AlongValue() const override;

    const std::vector<COleVariant>& Row() const override { return m_row; }
    const std::vector<std::string>& ColumnNames() const override { return m_columns; }

    bool CanUpdate() const override { return true; }
    void UpdateCurrent(FieldChanges changes) override;
    void Insert(FieldChanges changes) override;
    void DeleteCurrent() override;

    // Bookmarks are row ids.
    bool CanBookmark() const override { return true; }
    std::int64_t CurrentBookmark() const override;
    std::int64_t LastModifiedBookmark() const override { return m_lastModified; }
    bool MoveToBookmark(std::int64_t rowId) override;

private:
    enum class Position { kBeforeFirst, kOnRow, kOnGap, kAfterLast };
    enum class Direction { kForward, kBackward };

    // A row's place in the set: its order-by values, the row id last among them; and, for a
    // key read ahead, the row's values as read with it, and the value read along.
    struct Key {
        std::vector<COleVariant> values;
        std::vector<COleVariant> row;
        std::optional<COleVariant> along;
        std::int64_t RowId() const { return values.back().AsInt64(); }
    };

    // What a key query reads besides the keys: the row, and maybe the largest row id first.
    enum class Extra { kRow, kLargestRowIdAndRow };

    // The statement that finds up to `limit` keys beyond `from`, each followed by its row's
    // values, and with kLargestRowIdAndRow preceded by the table's largest row id; appends its
    // parameters to `binds`. The text stays as it is until the next call.
    const std::string& KeyQuery(const Key* from, Direction direction, const std::string& condition,
                                int limit, Extra extra, std::vector<COleVariant>& binds);
    // Up to `limit` keys beyond `from` with their rows.
    std::vector<Key> FetchKeys(const Key* from, Direction direction, const std::string& condition,
                               int limit);
    std::string BeyondCondition(const Key& key, Direction direction,
                                std::vector<COleVariant>& binds) const;
    // Reads the row when it exists and meets `condition`.
    bool LoadRow(std::int64_t rowId, const std::string& condition);
    bool LandOnMain(const std::string& condition, const Key* from, Direction direction,
                    bool fixMembership = false);
    bool LandOnAppended(std::size_t from, Direction direction, const std::string& condition);
    bool LandOnMainRow(std::int64_t rowId);
    bool StandOnEmpty();
    // A key query's row from column `first` on: the order-by values, then the row's values,
    // then (`along`) the value read along.
    Key ReadKey(Statement& statement, int first, bool along) const;
    void StandOnMain(Key key, const std::string& condition);
    void DropAhead();
    bool AdvanceMain(const std::string& condition);
    bool Land(std::int64_t rowId, const std::string& condition);
    void StandOn(std::int64_t rowId);
    void DropIntegerKey(FieldChanges& changes);
    bool ReadsTableColumns() const;
    // The row an insert of `writable` added as row `rowId`, when it is known without reading
    // it back: every column given a value of its own kind, or the integer key. The values are
    // then taken out of `writable`.
    std::optional<std::vector<COleVariant>> RowAsGiven(FieldChanges& writable, std::int64_t rowId);
    void MapGivenColumns(const FieldChanges& writable);
    const std::string& InsertInto(const FieldChanges& writable);
    std::string InsertStatement(const FieldChanges& writable,
                                std::vector<const COleVariant*>& given);
    const ParameterizedSql& Parameterized(const std::string& condition);
    static void AppendCondition(std::string& sql, std::vector<COleVariant>& binds,
                                const ParameterizedSql& condition);
    void RequireCurrentRow() const;

    Connection& m_connection;
    std::string m_tableName;
    std::string m_table;  // quoted
    std::string m_rowId;  // the column, real or hidden, that names each row of the table
    std::string m_selectList;
    ParameterizedSql m_where;
    std::string m_lastCondition;  // the last find condition, taken apart in...
    ParameterizedSql m_lastParameterized;
    // KeyQuery's texts without `from`, with what they were made for.
    struct StartQuery {
        Direction direction;
        Extra extra;
        int limit;
        std::string along;
        std::string find;
        std::string sql;
    };
    static constexpr std::size_t kStartQueriesKept = 16;
    std::vector<StartQuery> m_startQueries;
    std::string m_beyondQuery;       // KeyQuery's last text with `from`
    std::vector<OrderTerm> m_order;  // ends with the row id
    std::int64_t m_maxRowId = 0;
    bool m_foundWhole = false;             // by the last restart's first statement
    std::vector<std::int64_t> m_appended;  // rows added through the set, in order
    std::unordered_map<std::int64_t, std::size_t> m_appendedPositions;

    Position m_position = Position::kBeforeFirst;
    bool m_empty = false;
    bool m_inAppended = false;
    std::size_t m_appendedIndex = 0;
    std::int64_t m_currentRowId = 0;  // of the row (or gap) the cursor stands on
    std::int64_t m_lastModified = 0;
    bool m_readsTableColumns = false;  // see ReadsTableColumns; the statement never changes it
    bool m_returnsInserted = false;    // whether an insert returns the row it adds
    // For each of m_columns, what an insert naming m_insertNames gives it (see RowAsGiven).
    struct GivenColumn {
        bool isKey = false;  // the integer key: the new row id
        int given = -1;      // the index of its value among the fields given; -1 for none
        short type = 0;      // its DAO type; 0 when unknown
    };
    std::vector<GivenColumn> m_givenColumns;
    // The insert's text up to its values (see InsertInto), for the columns named.
    std::vector<std::string> m_insertNames;
    std::string m_insertInto;
    // The row last added through the set, as the insert returned it, while it stands as read.
    struct Inserted {
        std::int64_t rowId = 0;
        std::vector<COleVariant> row;
        std::optional<Connection::ReadStamp> stamp;
    };
    Inserted m_inserted;
    Key m_current;                 // the last main-part key reached; appended rows have none
    std::deque<Key> m_ahead;       // keys that follow m_current, fetched in advance...
    std::string m_aheadCondition;  // ...for this condition ("" for plain moves)...
    std::optional<Connection::ReadStamp> m_aheadStamp;  // ...and their rows, read then
    bool m_aheadEnd = false;                            // no key followed the last of m_ahead then
    int m_batch = 1;

    std::vector<COleVariant> m_row;
    std::vector<std::string> m_columns;
    std::string m_along;                        // see ReadAlong
    std::optional<COleVariant> m_currentAlong;  // of m_row, when it was read with the key
};

}  // namespace vaultry::dao
