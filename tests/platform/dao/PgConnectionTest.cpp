#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoTransaction.h"
#include "platform/dao/JetPattern.h"
#include "platform/dao/JetText.h"
#include "platform/dao/PgConnection.h"
#include "platform/dao/PgSql.h"
#include "platform/dao/SqlState.h"
#include "tests/support/TestPostgres.h"

using vaultry::dao::PackSqlState;
using vaultry::dao::PgConnection;

namespace {

long ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_strSource, "PostgreSQL");
        EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
        return e.m_scode;
    }
    return 0;
}

long CountOf(PgConnection& connection, const char* sql) {
    auto count = connection.Prepare(sql);
    count->Step();
    return static_cast<long>(count->ColumnInt64(0));
}

}  // namespace

TEST(PgSqlTest, ParametersAreNumberedAndQuotedNamesFoldedOutsideLiterals) {
    const auto converted = vaultry::dao::ToPostgresSql(
        R"(SELECT "strName", 'Who?' FROM "tObjects" WHERE a=? AND b='It''s ?' AND "X""Y"=?)", {});
    EXPECT_EQ(
        converted.sql,
        R"(SELECT "strname", 'Who?' FROM "tobjects" WHERE a=$1 AND b='It''s ?' AND "x""y"=$2)");
    EXPECT_EQ(converted.parameters.size(), 2u);
    EXPECT_EQ(converted.tables, std::vector<std::string>{"tobjects"});
    EXPECT_EQ(
        vaultry::dao::ToPostgresSql("SELECT a FROM (SELECT b FROM tA) x JOIN \"tB\" ON "
                                    "x.a=tB.a WHERE a IN (SELECT c FROM s.tD JOIN tC ON c=d) JOIN "
                                    "pg_class ON a=b JOIN unnest(?) ON a=b",
                                    {})
            .tables,
        (std::vector<std::string>{"ta", "tb", "tc"}));
}

// Text columns and what they are compared with are folded where they are compared or sorted,
// and nowhere else; patterns become regular expressions.
TEST(PgSqlTest, TextIsFoldedWhereItIsComparedOrSorted) {
    const vaultry::dao::PgSchema text{{"strname"}, {}, {}, {}};
    using P = vaultry::dao::PgSql::Parameter;
    const auto select = vaultry::dao::ToPostgresSql(
        "SELECT strName FROM t WHERE strName=? AND t.\"strName\" NOT LIKE ? AND lId IN (1,2) AND "
        "strName IN ('a',?) AND (strName,rowid)>(?,?) ORDER BY strName DESC,rowid LIMIT 2",
        text);
    EXPECT_EQ(select.sql,
              "SELECT strName FROM t WHERE jet_fold(strName)=jet_fold($1) AND "
              "jet_fold(t.\"strname\")  !~ $2 AND lId IN (1,2) AND jet_fold(strName) IN "
              "(jet_fold('a'),jet_fold($3)) AND (jet_fold(strName),rowid)>(jet_fold($4),$5) "
              "ORDER BY jet_fold(strName) DESC NULLS LAST ,rowid  NULLS FIRST LIMIT 2");
    EXPECT_EQ(select.parameters,
              (std::vector<P>{P::kPlain, P::kLikePattern, P::kPlain, P::kPlain, P::kPlain}));

    EXPECT_EQ(
        vaultry::dao::ToPostgresSql("UPDATE t SET strName=? WHERE strName LIKE 'a*'", text).sql,
        "UPDATE t SET strName=$1 WHERE jet_fold(strName) ~ '^a.*$'");
    EXPECT_EQ(vaultry::dao::ToPostgresSql("CREATE INDEX i ON t (lLevel, strName)", text).sql,
              "CREATE INDEX i ON t (lLevel, jet_fold(strName))");
}

// A row id is never null: sorted without a nulls clause, a walk of an index's equal keys, each
// ending with it, needs no sort. Only when it is the row id of the one table sorted.
TEST(PgSqlTest, ARowIdSortsAsTheIndexesItEndsDo) {
    const vaultry::dao::PgSchema schema{{"strname"}, {}, {}, {{"t", "rowid"}, {"u", "lid"}}};
    const auto sorted = [&schema](const char* sql) {
        return vaultry::dao::ToPostgresSql(sql, schema).sql;
    };
    EXPECT_EQ(sorted("SELECT (SELECT b FROM u WHERE u.a=t.a), t.* FROM t ORDER BY strName "
                     "DESC, t.rowid DESC LIMIT 2"),
              "SELECT (SELECT b FROM u WHERE u.a=t.a), t.* FROM t ORDER BY jet_fold(strName) "
              "DESC NULLS LAST , t.rowid DESC LIMIT 2");
    EXPECT_EQ(sorted("SELECT a FROM t JOIN u ON t.a=u.a ORDER BY rowid"),
              "SELECT a FROM t JOIN u ON t.a=u.a ORDER BY rowid NULLS FIRST ");
    EXPECT_EQ(sorted("SELECT a FROM u ORDER BY rowid, lid+1"),
              "SELECT a FROM u ORDER BY rowid NULLS FIRST , lid+1 NULLS FIRST ");
    EXPECT_EQ(sorted("CREATE INDEX i ON t (lLevel, strName)"),
              "CREATE INDEX i ON t (lLevel, jet_fold(strName),\"rowid\")");
    EXPECT_EQ(sorted("CREATE UNIQUE INDEX i ON t (lLevel)"), "CREATE UNIQUE INDEX i ON t (lLevel)");
}

TEST(PgSqlTest, HiddenRowIdsStayHiddenAndNegatedParametersAreNumbers) {
    const vaultry::dao::PgSchema schema{{}, {{"tusertree", {"luserid", "strusername"}}}, {}, {}};
    EXPECT_EQ(vaultry::dao::ToPostgresSql("SELECT * FROM tUserTree WHERE lUserID=-?", schema).sql,
              R"(SELECT "luserid","strusername" FROM tUserTree WHERE lUserID=-($1::numeric))");
    EXPECT_EQ(vaultry::dao::ToPostgresSql("SELECT a,tUserTree.* FROM tUserTree", schema).sql,
              R"(SELECT a,tUserTree."luserid",tUserTree."strusername" FROM tUserTree)");
    EXPECT_EQ(vaultry::dao::ToPostgresSql("SELECT count(*), a-? FROM tUserTree", schema).sql,
              "SELECT count(*), a-$1 FROM tUserTree");
    EXPECT_EQ(vaultry::dao::ToPostgresSql("SELECT * FROM tObjects", schema).sql,
              "SELECT * FROM tObjects");
}

class PgConnectionTest : public testing::Test {
protected:
    void SetUp() override {
        server = vaultry::test::TestPostgres::Get();
        if (server == nullptr) {
            GTEST_SKIP() << "no PostgreSQL server on this machine";
        }
        location = server->NewLibraryLocation();
        connection = std::make_unique<PgConnection>(location, false);
        connection->PrepareNewDatabase();  // the folding text columns are compared through
        connection->Execute(
            "CREATE TABLE t (id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
            "name text UNIQUE, data bytea, size double precision, flag boolean)");
    }

    vaultry::test::TestPostgres* server = nullptr;
    std::string location;
    std::unique_ptr<PgConnection> connection;
};

TEST_F(PgConnectionTest, ValuesGoInAndComeBackAsTheyWere) {
    std::vector<BYTE> everyByte(256);
    for (int i = 0; i < 256; ++i) {
        everyByte[static_cast<std::size_t>(i)] = static_cast<BYTE>(i);
    }
    auto insert = connection->Prepare("INSERT INTO t (name, data, size, flag) VALUES (?,?,?,?)");
    insert->Bind(1, COleVariant(CString("Ωmega straße 'quoted' \"too\"")));
    insert->Bind(2, COleVariant(everyByte));
    insert->Bind(3, COleVariant(0.1));
    insert->Bind(4, COleVariant(std::int64_t{1}));
    EXPECT_FALSE(insert->Step());
    EXPECT_EQ(connection->Changes(), 1);
    const std::int64_t id = connection->LastInsertRowid();
    EXPECT_GT(id, 0);
    connection->Execute("INSERT INTO t (name) VALUES (NULL)");

    auto read = connection->Prepare("SELECT id, name, data, size, flag FROM t WHERE id=?");
    read->BindInt64(1, id);
    ASSERT_TRUE(read->Step());
    EXPECT_STREQ(read->ColumnName(1), "name");
    EXPECT_EQ(read->ColumnInt64(0), id);
    EXPECT_EQ(read->Column(1).AsText(), "Ωmega straße 'quoted' \"too\"");
    EXPECT_EQ(read->Column(2).AsBytes(), everyByte);
    EXPECT_DOUBLE_EQ(read->Column(3).AsDouble(), 0.1);
    EXPECT_EQ(read->Column(4).AsInt64(), 1);
    EXPECT_FALSE(read->Step());

    EXPECT_TRUE(connection->Prepare("SELECT data FROM t WHERE name IS NULL")->Step());
    auto nulls = connection->Prepare("SELECT data, size FROM t WHERE name IS NULL");
    ASSERT_TRUE(nulls->Step());
    EXPECT_TRUE(nulls->Column(0).IsNull());
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 2);
}

TEST_F(PgConnectionTest, FailuresCarryTheServersSqlStateAndMessage) {
    connection->Execute("INSERT INTO t (name) VALUES ('a')");
    EXPECT_EQ(ErrorOf([&] { connection->Execute("INSERT INTO t (name) VALUES ('a')"); }),
              PackSqlState("23505"));  // unique_violation
    try {
        connection->Execute("SELECT nothing FROM nowhere");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_scode, PackSqlState("42P01"));  // undefined_table
        EXPECT_EQ(vaultry::dao::UnpackSqlState(e.m_scode), "42P01");
        EXPECT_TRUE(e.IsStatementRefused());
        EXPECT_NE(e.GetErrorMessage().Find("nowhere"), -1);
    }
    const std::string noServer = "postgresql:///tests?host=/nonexistent&user=vaultry";
    EXPECT_EQ(ErrorOf([&] { PgConnection(noServer, false); }), PackSqlState("08006"));
    EXPECT_EQ(ErrorOf([&] { PgConnection(location, true).Execute("DELETE FROM t"); }),
              PackSqlState("25006"));  // read_only_sql_transaction
}

TEST_F(PgConnectionTest, TransactionsNestAndAFailedOneCommitsNothing) {
    connection->BeginTransaction(true);
    connection->Execute("INSERT INTO t (name) VALUES ('kept')");
    connection->BeginTransaction(true);
    connection->Execute("INSERT INTO t (name) VALUES ('undone')");
    connection->RollbackTransaction();
    connection->CommitTransaction();
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 1);
    EXPECT_EQ(connection->RollbackCount(), 1u);

    // A failed statement spoils the whole transaction on the server: its commit must fail
    // rather than end in the silent rollback the server answers it with.
    connection->BeginTransaction(true);
    connection->Execute("INSERT INTO t (name) VALUES ('lost')");
    EXPECT_NE(ErrorOf([&] { connection->Execute("INSERT INTO t (name) VALUES ('kept')"); }), 0);
    EXPECT_EQ(ErrorOf([&] { connection->CommitTransaction(); }), PackSqlState("25P02"));
    connection->RollbackTransaction();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t WHERE name='lost'"), 0);

    // Rolling back the savepoint of a failed statement lets the transaction go on.
    connection->BeginTransaction(true);
    connection->BeginTransaction(true);
    connection->BeginTransaction(false);  // nothing runs within this one
    connection->CommitTransaction();
    connection->Execute("INSERT INTO t (name) VALUES ('undone')");
    EXPECT_NE(ErrorOf([&] { connection->Execute("INSERT INTO t (name) VALUES ('kept')"); }), 0);
    connection->RollbackTransaction();
    connection->Execute("INSERT INTO t (name) VALUES ('after')");
    connection->CommitTransaction();
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t WHERE name IN ('undone','after')"), 1);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t WHERE name='after'"), 1);

    // Transactions begun one right inside the other share a savepoint: each still undoes its
    // own work alone, and the enclosing one can still undo all of it.
    connection->BeginTransaction(true);
    connection->BeginTransaction(true);
    connection->BeginTransaction(true);
    connection->Execute("INSERT INTO t (name) VALUES ('inner')");
    connection->RollbackTransaction();
    connection->Execute("INSERT INTO t (name) VALUES ('middle')");
    connection->CommitTransaction();
    connection->BeginTransaction(true);
    connection->BeginTransaction(true);
    connection->Execute("INSERT INTO t (name) VALUES ('second')");
    connection->CommitTransaction();
    connection->RollbackTransaction();
    connection->CommitTransaction();
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t WHERE name IN ('inner','second')"), 0);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t WHERE name='middle'"), 1);
}

TEST_F(PgConnectionTest, WritersTakeTurnsAndReadersSeeOneState) {
    PgConnection other(location, false);
    other.SetBusyTimeout(200);
    connection->BeginTransaction(true);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 0);  // the lock is taken with it
    other.BeginTransaction(true);
    EXPECT_EQ(ErrorOf([&] { CountOf(other, "SELECT count(*) FROM t"); }), PackSqlState("55P03"));
    other.RollbackTransaction();

    other.BeginTransaction(false);
    EXPECT_EQ(CountOf(other, "SELECT count(*) FROM t"), 0);
    connection->Execute("INSERT INTO t (name) VALUES ('new')");
    connection->CommitTransaction();
    EXPECT_EQ(CountOf(other, "SELECT count(*) FROM t"), 0);
    const auto stamp = other.CurrentReadStamp();
    EXPECT_TRUE(stamp.has_value());
    other.CommitTransaction();
    EXPECT_EQ(CountOf(other, "SELECT count(*) FROM t"), 1);

    other.BeginTransaction(true);
    other.CommitTransaction();
}

// A single read leaves nothing open on the server once its statement is answered; what runs
// after that runs in a read transaction of its own.
TEST_F(PgConnectionTest, ASingleReadEndsWithItsStatementAndWhatFollowsReadsAStateOfItsOwn) {
    PgConnection other(location, false);
    const char* const failsAtTwo = "SELECT 1/(count(*)-2) FROM t";
    // Prepared before: a statement prepared within the read sends the read's begin ahead.
    EXPECT_EQ(CountOf(*connection, failsAtTwo), 0);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 0);
    connection->BeginSingleRead();
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 0);
    EXPECT_EQ(PQtransactionStatus(connection->Handle()), PQTRANS_IDLE);
    EXPECT_TRUE(connection->InTransaction());
    EXPECT_FALSE(connection->TransactionLost());
    other.Execute("INSERT INTO t (name) VALUES ('a')");
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 1);
    other.Execute("INSERT INTO t (name) VALUES ('b')");
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 1);
    connection->RollbackTransaction();

    // A statement that fails leaves nothing to end.
    connection->BeginSingleRead();
    EXPECT_EQ(ErrorOf([&] { CountOf(*connection, failsAtTwo); }), PackSqlState("22012"));
    connection->RollbackTransaction();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 2);

    // A savepoint needs a transaction block: one begun before anything ran makes one of it.
    connection->BeginSingleRead();
    connection->BeginTransaction(false);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 2);
    connection->RollbackTransaction();
    EXPECT_EQ(PQtransactionStatus(connection->Handle()), PQTRANS_INTRANS);
    connection->CommitTransaction();
}

// A connection the server ended (an administrator, a restart) fails what is sent on it, even
// with the answer to a transaction's end still owed, and lets its transaction go.
TEST_F(PgConnectionTest, AConnectionTheServerEndedFailsWithoutWaiting) {
    const long pid = CountOf(*connection, "SELECT pg_backend_pid()");
    connection->BeginTransaction(false);
    EXPECT_EQ(CountOf(*connection, "SELECT count(*) FROM t"), 0);
    connection->CommitTransaction();  // only read: its answer is read with the next exchange
    PgConnection(location, false)
        .Execute("SELECT pg_terminate_backend(" + std::to_string(pid) + ", 10000)");

    connection->BeginTransaction(true);
    EXPECT_NE(ErrorOf([&] { connection->Execute("INSERT INTO t (name) VALUES ('x')"); }), 0);
    connection->RollbackTransaction();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_NE(ErrorOf([&] { CountOf(*connection, "SELECT count(*) FROM t"); }), 0);
}

// Names must compare on a server exactly as they do in this program and in library files. Every
// character with a case lies below U+20000.
TEST(PgTextFoldingTest, TheServerFoldsAndMatchesEveryCharacterAsThisProgramDoes) {
    VAULTRY_REQUIRE_POSTGRES(server);
    const std::string location = server->NewLibraryLocation();
    CDaoDatabase library;
    library.Create(location.c_str());
    PgConnection connection(location, false);

    auto folded = connection.Prepare(
        "SELECT string_agg(jet_fold(chr(cp)), '' ORDER BY cp) FROM generate_series(1, 131071) cp "
        "WHERE cp NOT BETWEEN 55296 AND 57343");
    ASSERT_TRUE(folded->Step());
    const CString serverFolds = folded->Column(0).AsText();
    std::string ours;
    for (char32_t cp = 1; cp <= 0x1FFFF; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF) {
            vaultry::text::AppendUtf8(ours, vaultry::text::FoldCodePoint(cp));
        }
    }
    EXPECT_TRUE(serverFolds.str() == ours) << "the server folds some character differently";

    auto matches = connection.Prepare("SELECT jet_fold(?) ~ ?");
    for (const char* pattern :
         {"a*", "*B?", "[a-c]#", "[!x]*", "[]", "[!]", "*.*", "a[*]b", "[z-a]x", "Ø*", "%_", "[",
          "a\\b", "[-]", "[a-]", "x[!]-]y", "*ß", "?$"}) {
        for (const char* text :
             {"",   "a", "ab",   "abc", "b7",  "x",   "a.b",    "a*b",     "øre", "ØRE",
              "%_", "[", "a\\b", "-",   "x]y", "xqy", "STRAßE", "strasse", "a$",  "q$"}) {
            matches->Bind(1, COleVariant(CString(text)));
            matches->Bind(2, COleVariant(CString(vaultry::dao::JetPattern(pattern).ToRegex())));
            ASSERT_TRUE(matches->Step());
            EXPECT_EQ(matches->ColumnInt64(0) != 0, vaultry::dao::JetLike(pattern, text))
                << "'" << text << "' LIKE '" << pattern << "'";
            matches->Reset();
        }
    }
}

// Another program makes a table anew with more columns (the category cache grows so with the
// tree): the next transaction here sees the table as it is, not as it was prepared for.
TEST(PgSchemaTest, ATableAnotherProgramMadeAnewShowsAsItIsNow) {
    VAULTRY_REQUIRE_POSTGRES(server);
    const std::string location = server->NewLibraryLocation();
    const auto makeCache = [](CDaoDatabase& database, int levels) {
        CDaoTableDef table(&database);
        table.Create("tCache");
        for (int level = 0; level < levels; ++level) {
            table.CreateField(("lCache" + std::to_string(level)).c_str(), dbLong, 4);
        }
        table.Append();
    };
    CDaoDatabase ours;
    ours.Create(location.c_str());
    makeCache(ours, 2);
    using Mode = vaultry::dao::DaoTransaction::Mode;
    const auto columns = [&ours](Mode mode) {
        vaultry::dao::DaoTransaction reading(ours, mode);
        CDaoRecordset cache(&ours);
        cache.Open(dbOpenSnapshot, "SELECT tCache.* FROM tCache");
        return cache.GetFieldCount();
    };
    const auto makeAnew = [&](int levels) {
        CDaoDatabase other;
        other.Open(location.c_str());
        other.DeleteTableDef("tCache");
        makeCache(other, levels);
    };
    EXPECT_EQ(columns(Mode::kRead), 2);
    makeAnew(4);
    EXPECT_EQ(columns(Mode::kRead), 4);
    // A single read's statement, prepared before, goes with the signature that tells it stale.
    EXPECT_EQ(columns(Mode::kSingleRead), 4);
    makeAnew(3);
    EXPECT_EQ(columns(Mode::kSingleRead), 3);
}

// Another program makes a table this one has not seen (a peer of a newer version adds one): a
// statement naming it compares its text as text, folded, though the tables were read before.
// Every table is watched from then on, whatever its name.
TEST(PgSchemaTest, ATableAnotherProgramMadeSinceIsKnownToTheFirstStatementNamingIt) {
    VAULTRY_REQUIRE_POSTGRES(server);
    const std::string location = server->NewLibraryLocation();
    CDaoDatabase ours;
    ours.Create(location.c_str());
    ours.Execute("CREATE TABLE tKnown (lID integer)");
    {
        CDaoRecordset known(&ours);
        known.Open(dbOpenSnapshot, "SELECT Count(*) FROM tKnown");
    }
    {
        CDaoDatabase other;
        other.Open(location.c_str());
        other.Execute("CREATE TABLE tNotes (strNote text)");
        other.Execute("INSERT INTO tNotes (strNote) VALUES ('Ölung')");
    }
    PgConnection(location, false).Execute(R"(CREATE TABLE "odd""name, {x}\" (lID integer))");
    const auto count = [&ours] {
        vaultry::dao::DaoTransaction reading(ours, vaultry::dao::DaoTransaction::Mode::kRead);
        CDaoRecordset notes(&ours);
        notes.Open(dbOpenSnapshot, "SELECT Count(*) FROM tNotes WHERE strNote='ÖLUNG'");
        return notes.GetFieldValue(0).AsInt64();
    };
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(count(), 1);
}
