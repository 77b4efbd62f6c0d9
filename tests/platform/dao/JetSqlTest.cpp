#include <gtest/gtest.h>

#include "platform/dao/DaoQuote.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/JetText.h"

using namespace vaultry::dao;

TEST(JetSqlTest, TranslatesJetLiteralsAndBrackets) {
    EXPECT_EQ(TranslateJetSql("SELECT [Version] FROM [SYS_INFO]"),
              "SELECT \"Version\" FROM \"SYS_INFO\"");
    EXPECT_EQ(TranslateJetSql("strObjectName LIKE\"*R'1*\""), "strObjectName LIKE'*R''1*'");
    EXPECT_EQ(TranslateJetSql("a=\"say \"\"hi\"\"\""), "a='say \"hi\"'");
    EXPECT_EQ(TranslateJetSql("strObjectName='O''Brien' AND x<>1"),
              "strObjectName='O''Brien' AND x<>1");
    EXPECT_EQ(TranslateJetSql("[odd\"name]"), "\"odd\"\"name\"");
    EXPECT_EQ(TranslateJetSql("'[not a name]'"), "'[not a name]'");
}

TEST(JetSqlTest, ParsesTheClausesOfASelect) {
    auto tree = ParseSelect(
        "SELECT tObjectTree.* FROM tObjectTree WHERE lParentID=3 ORDER BY tObjectTree.lLevel, "
        "tObjectTree.strName DESC;");
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->table, "tObjectTree");
    EXPECT_EQ(tree->where, "lParentID=3");
    ASSERT_EQ(tree->orderBy.size(), 2u);
    EXPECT_EQ(tree->orderBy[0].expression, "tObjectTree.lLevel");
    EXPECT_TRUE(tree->orderBy[1].descending);

    auto max = ParseSelect("SELECT Max(tObjectTree.lTreeID) AS MaxOflTreeID FROM tObjectTree");
    ASSERT_TRUE(max);
    EXPECT_FALSE(max->table);  // computed: read as a snapshot

    auto quotedWhere = ParseSelect("SELECT * FROM t WHERE name='a FROM b ORDER BY c'");
    ASSERT_TRUE(quotedWhere);
    EXPECT_EQ(quotedWhere->where, "name='a FROM b ORDER BY c'");
    EXPECT_TRUE(quotedWhere->orderBy.empty());

    EXPECT_FALSE(ParseSelect("DELETE FROM t"));
    EXPECT_FALSE(ParseSelect("SELECT a, b FROM t1 JOIN t2 ON t1.x=t2.x")->table);
    EXPECT_FALSE(ParseSelect("SELECT a FROM t GROUP BY a")->table);
}

TEST(JetSqlTest, LikeUsesJetWildcardsOnly) {
    EXPECT_TRUE(JetLike("*res*", "Chip RESISTOR 0603"));
    EXPECT_TRUE(JetLike("R?", "r1"));
    EXPECT_FALSE(JetLike("R?", "R10"));
    EXPECT_TRUE(JetLike("R#", "R7"));
    EXPECT_FALSE(JetLike("R#", "Rx"));
    EXPECT_TRUE(JetLike("[a-c]*", "Bead"));
    EXPECT_FALSE(JetLike("[!a-c]*", "bead"));
    EXPECT_TRUE(JetLike("*ø*", "MØLLER"));
    // A run retried one character further on steps over whole multi-byte characters.
    EXPECT_TRUE(JetLike("*øx", "MØØØX"));
    EXPECT_FALSE(JetLike("*øx", "MØØØY"));
    // SQL's own wildcards stand for themselves.
    EXPECT_TRUE(JetLike("100%", "100%"));
    EXPECT_FALSE(JetLike("100%", "1000"));
    EXPECT_FALSE(JetLike("a_c", "abc"));
    EXPECT_TRUE(JetLike("a_c", "A_C"));
    EXPECT_TRUE(JetLike("[*]x", "*x"));
    EXPECT_TRUE(JetLike("[unclosed", "[UNCLOSED"));
    EXPECT_TRUE(JetLike("", ""));
    EXPECT_TRUE(JetLike("*", ""));
    EXPECT_FALSE(JetLike("?", ""));
    EXPECT_TRUE(JetLike("*a*b*c*", "xxaxxbxxcxx"));
}

TEST(JetSqlTest, QuotingMakesAnyTextLiteral) {
    EXPECT_EQ(QuoteText("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuoteText("'; DROP TABLE tObjects; --"), "'''; DROP TABLE tObjects; --'");
    EXPECT_EQ(LikeLiteral("R*1?[#]"), "R[*]1[?][[][#]]");
    EXPECT_TRUE(JetLike("*" + std::string(LikeLiteral("a*b").str()) + "*", "xa*by"));
    EXPECT_FALSE(JetLike("*" + std::string(LikeLiteral("a*b").str()) + "*", "xaZZby"));
}

TEST(JetSqlTest, ParameterizingKeepsTheMeaningOfEveryLiteral) {
    const ParameterizedSql p = Parameterize(
        "lObjectID=42 AND strObjectName='O''Brien' AND x<1.5 AND lCache3=-7 AND "
        "t.col IN(1,2) AND \"ident\"='' AND y>.5");
    EXPECT_EQ(p.sql,
              "lObjectID=? AND strObjectName=? AND x<? AND lCache3=-? AND t.col IN(?,?) "
              "AND \"ident\"=? AND y>.5");
    ASSERT_EQ(p.values.size(), 7u);
    EXPECT_EQ(p.values[0].AsInt64(), 42);
    EXPECT_EQ(p.values[1].AsText(), "O'Brien");
    EXPECT_EQ(p.values[2].AsDouble(), 1.5);
    EXPECT_EQ(p.values[3].AsInt64(), 7);
    EXPECT_TRUE(p.values[6].IsText());
    EXPECT_EQ(p.values[6].AsText(), "");
    EXPECT_EQ(Parameterize("").sql, "");

    // Only row statements take parameters, and not where a number names a column or a count.
    const auto update = ParameterizeRowStatement("update t SET s='limit 5 order by' WHERE a=2");
    ASSERT_TRUE(update.has_value());
    EXPECT_EQ(update->sql, "update t SET s=? WHERE a=?");
    EXPECT_FALSE(ParameterizeRowStatement("CREATE INDEX i ON t (a)"));
    EXPECT_FALSE(ParameterizeRowStatement("SELECT 1"));
    EXPECT_FALSE(
        ParameterizeRowStatement("DELETE FROM t WHERE rowid IN (SELECT rowid FROM t "
                                 "ORDER BY 1 LIMIT 2)"));
}
