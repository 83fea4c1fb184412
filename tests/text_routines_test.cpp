// The routines that split list-valued cells: remark entries, user card lists.
#include <gtest/gtest.h>

#include <string>

#include "datamodule/TextRoutines.h"

using sx::CountTokens;
using sx::ReplaceAll;
using sx::Token;

TEST(TextRoutines, CountTokensCountsEmptyTokensBetweenAndAfterCommas) {
  EXPECT_EQ(CountTokens("a,b", ","), 2);
  EXPECT_EQ(CountTokens("a,", ","), 2);
  EXPECT_EQ(CountTokens(",a", ","), 2);
  EXPECT_EQ(CountTokens("a,,b", ","), 3);
  EXPECT_EQ(CountTokens("abc", ","), 1);
  EXPECT_EQ(CountTokens(",", ","), 2);
}

TEST(TextRoutines, CountTokensIgnoresSurroundingBlanksAndLineBreaks) {
  EXPECT_EQ(CountTokens("   ", ","), 0);
  EXPECT_EQ(CountTokens("", ","), 0);
  EXPECT_EQ(CountTokens("\r\n\t ", ","), 0);
  EXPECT_EQ(CountTokens("  a,b \r\n", ","), 2);
  // Blanks inside the text stay: they are part of the tokens.
  EXPECT_EQ(CountTokens("a , b", ","), 2);
}

TEST(TextRoutines, CountTokensTakesMultiCharacterSeparators) {
  EXPECT_EQ(CountTokens("a@@b@@c", "@@"), 3);
  EXPECT_EQ(CountTokens("a@b", "@@"), 1);
}

TEST(TextRoutines, TokenPicksByIndexWithoutTrimming) {
  EXPECT_EQ(Token("a,b,c", ",", 0), "a");
  EXPECT_EQ(Token("a,b,c", ",", 1), "b");
  EXPECT_EQ(Token("a,b,c", ",", 2), "c");
  EXPECT_EQ(Token("a,b,c", ",", 3), "");
  EXPECT_EQ(Token("a,b,c", ",", 9), "");
  EXPECT_EQ(Token("a,,b", ",", 1), "");
  EXPECT_EQ(Token("a,,b", ",", 2), "b");
  EXPECT_EQ(Token(" a , b ", ",", 1), " b ");
  EXPECT_EQ(Token("酸辣@2.00", "@", 0), "酸辣");
  EXPECT_EQ(Token("酸辣@2.00", "@", 1), "2.00");
  EXPECT_EQ(Token("", ",", 0), "");
}

TEST(TextRoutines, TokensAndCountAgreeOnEveryToken) {
  const std::string text = "01,,03,";
  ASSERT_EQ(CountTokens(text, ","), 4);
  EXPECT_EQ(Token(text, ",", 0), "01");
  EXPECT_EQ(Token(text, ",", 1), "");
  EXPECT_EQ(Token(text, ",", 2), "03");
  EXPECT_EQ(Token(text, ",", 3), "");
}

TEST(TextRoutines, ReplaceAllTurnsLineBreaksIntoCommas) {
  EXPECT_EQ(ReplaceAll("张三\r\n李四", "\r\n", ","), "张三,李四");
  EXPECT_EQ(ReplaceAll("a\r\n\r\nb\r\n", "\r\n", ","), "a,,b,");
  EXPECT_EQ(ReplaceAll("none", "\r\n", ","), "none");
  EXPECT_EQ(ReplaceAll("", "\r\n", ","), "");
}

TEST(TextRoutines, ReplaceAllLeavesTheSourceWhenOldIsInNewOrEmpty) {
  EXPECT_EQ(ReplaceAll("a,b", ",", ",,"), "a,b");
  EXPECT_EQ(ReplaceAll("a,b", ",", ","), "a,b");
  EXPECT_EQ(ReplaceAll("a,b", "", "x"), "a,b");
}

TEST(TextRoutines, ReplaceAllRescansTextThatAReplacementCreates) {
  // Each replacement can form a new occurrence with the text before it; the
  // search from the start finds it too.
  EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b");
  EXPECT_EQ(ReplaceAll("xaaaab", "ab", "b"), "xb");
  EXPECT_EQ(ReplaceAll("a  b", "  ", " "), "a b");
  EXPECT_EQ(ReplaceAll("a        b", "  ", " "), "a b");
  EXPECT_EQ(ReplaceAll("abab", "ab", "ba"), "bbaa");
  EXPECT_EQ(ReplaceAll("AB", "ab", "x"), "AB");  // byte-wise, case-sensitive
}

TEST(TextRoutines, ReplaceAllHandlesLongCells) {
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "x\r\n";
  std::string expected;
  for (int i = 0; i < 20000; ++i) expected += "x,";
  EXPECT_EQ(ReplaceAll(lines, "\r\n", ","), expected);
}
