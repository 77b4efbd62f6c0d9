#include <gtest/gtest.h>

#include "platform/afx/CResourceModule.h"
#include "platform/afx/CString.h"
#include "platform/afx/UnicodeCase.h"

TEST(CStringTest, FormatFollowsPrintf) {
    CString text;
    text.Format("lObjectID=%li AND strName='%s' %05.1f", 42L, "R1", 3.14159);
    EXPECT_EQ(text, "lObjectID=42 AND strName='R1' 003.1");
    text.Format("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(text.GetLength(), 5000);
}

TEST(CStringTest, ExtractionClampsLikeMfc) {
    const CString text("Copy(2) of R1");
    EXPECT_EQ(text.Left(4), "Copy");
    EXPECT_EQ(text.Right(2), "R1");
    EXPECT_EQ(text.Mid(5, 1), "2");
    EXPECT_EQ(text.Mid(8), "of R1");
    EXPECT_EQ(text.Left(100), text);
    EXPECT_EQ(text.Mid(100), "");
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Find('('), 4);
    EXPECT_EQ(text.Find("of"), 8);
    EXPECT_EQ(text.Find("of", 9), -1);
    EXPECT_EQ(text.Find('x'), -1);
    EXPECT_EQ(text.ReverseFind('R'), 11);
    EXPECT_EQ(text.Find("", 100), -1);
}

TEST(CStringTest, CompareNoCaseFoldsNonAsciiLetters) {
    EXPECT_EQ(CString("Ø-Resistor").CompareNoCase("ø-resistor"), 0);
    EXPECT_EQ(CString("ΣΊΓΜΑ").CompareNoCase("σίγμα"), 0);
    EXPECT_EQ(CString("Straße").CompareNoCase("STRASSE") != 0, true);  // no growing folds
    EXPECT_EQ(CString("ÄPFEL").CompareNoCase("äpfel"), 0);
    EXPECT_LT(CString("apple").CompareNoCase("Banana"), 0);
    EXPECT_GT(CString("b").CompareNoCase("A"), 0);
    EXPECT_LT(CString("ab").CompareNoCase("ABC"), 0);
    EXPECT_NE(CString("a").Compare("A"), 0);
    // ASCII beside letters that fold into it (Kelvin sign, long s), and after them.
    EXPECT_EQ(CString("\xE2\x84\xAA"
                      "elvin_\xC5\xBF")
                  .CompareNoCase("kELVIN_S"),
              0);
    EXPECT_LT(CString("a_b").CompareNoCase("aBb"), 0);
    EXPECT_GT(CString("AB\xC3\xA9").CompareNoCase("abz"), 0);
    EXPECT_LT(CString("\xC5\xBF"
                      "a")
                  .CompareNoCase("Sb"),
              0);
}

// Hashed sets of names hold keys; they must find the same names equal as the comparison does,
// also where a byte is no well-formed UTF-8 or stands beside one that is.
TEST(CStringTest, FoldedKeysAreEqualExactlyWhenNamesCompareEqual) {
    const std::string names[] = {"R0805",
                                 "r0805",
                                 "\xE2\x84\xAA",
                                 "k",
                                 "K",
                                 "\xC5\xBF",
                                 "s",
                                 "\xC3\x84",
                                 "\xC3\xA4",
                                 "\xC3",
                                 "\xC3(",
                                 "\xED\xB3\x83",
                                 "\xE0\x80\xA4",
                                 "\xE0\x80\xA4"
                                 "a",
                                 "\xE0\x80\xA4"
                                 "A",
                                 "\xFF",
                                 "\xEF\xBF\xBD",
                                 "",
                                 "Stra\xC3\x9F"
                                 "e",
                                 "STRASSE"};
    for (const std::string& a : names) {
        for (const std::string& b : names) {
            EXPECT_EQ(vaultry::text::FoldedKey(a) == vaultry::text::FoldedKey(b),
                      vaultry::text::CompareFolded(a, b) == 0)
                << a << " / " << b;
        }
    }
}

TEST(CStringTest, CaseMappingKeepsInvalidBytes) {
    CString text(
        "ø\xff"
        "a");
    text.MakeUpper();
    EXPECT_EQ(text,
              "Ø\xff"
              "A");
    text.MakeLower();
    EXPECT_EQ(text,
              "ø\xff"
              "a");
    EXPECT_EQ(CString("c:\\Lib\\MASTER.zblib").MakeUpper(), "C:\\LIB\\MASTER.ZBLIB");
}

TEST(CStringTest, TokenizeSkipsEmptyTokensAndEndsWithMinusOne) {
    const CString text = "|A||Bee|";
    int start = 0;
    EXPECT_EQ(text.Tokenize("|", start), "A");
    EXPECT_EQ(text.Tokenize("|", start), "Bee");
    EXPECT_EQ(text.Tokenize("|", start), "");
    EXPECT_EQ(start, -1);
    EXPECT_EQ(text.Tokenize("|", start), "");  // stays at the end
    start = 0;
    EXPECT_EQ(CString("a/b c").Tokenize("/ ", start), "a");
    EXPECT_EQ(CString("a/b c").Tokenize("/ ", start), "b");
    start = 0;
    EXPECT_EQ(CString("").Tokenize("/", start), "");
    EXPECT_EQ(start, -1);
}

TEST(CStringTest, TrimAndReplace) {
    CString text("  \tname \n");
    EXPECT_EQ(text.Trim(), "name");
    CString path("a\\b\\c");
    EXPECT_EQ(path.Replace("\\", "/"), 2);
    EXPECT_EQ(path, "a/b/c");
    CString quotes("it's");
    quotes.Replace("'", "''");
    EXPECT_EQ(quotes, "it''s");
    CString none("abc");
    EXPECT_EQ(none.Replace("", "x"), 0);
    EXPECT_EQ(CString("x--").TrimRight('-'), "x");
    EXPECT_EQ(CString("--").TrimRight('-'), "");
}

TEST(CStringTest, LoadStringUsesCurrentResourceModule) {
    const CResourceModule module("test", {{7, "Seven"}});
    const HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(&module);
    CString text;
    EXPECT_TRUE(text.LoadString(7));
    EXPECT_EQ(text, "Seven");
    EXPECT_FALSE(text.LoadString(8));
    EXPECT_TRUE(text.IsEmpty());
    AfxSetResourceHandle(previous);
}
