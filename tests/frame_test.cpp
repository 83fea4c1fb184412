// The call frame as a host sees it: result byte and error text buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "boundary/CallFrame.h"

using sx::Tdmio;
using sx::boundary::RunGroupImport;
using sx::boundary::RunStoreExport;

namespace {

std::string gMessage;

bool Succeeds(Tdmio&, const std::string&, std::string&) { return true; }
bool FailsWithMessage(Tdmio&, const std::string&, std::string& msg) {
  msg = gMessage;
  return false;
}
bool Throws(Tdmio&, const std::string&, std::string&) { throw std::runtime_error("boom"); }
bool ThrowsNonStd(Tdmio&, const std::string&, std::string&) { throw 42; }
bool EchoesArgs(Tdmio&, const std::string& conn, const std::string& brand,
                const std::string& file, std::string& msg) {
  msg = conn + "|" + brand + "|" + file;
  return false;
}

struct Buffer {
  char bytes[300];
  Buffer() { std::memset(bytes, 'x', sizeof bytes); }
};

}  // namespace

TEST(CallFrame, SuccessLeavesBufferUntouched) {
  Buffer b;
  EXPECT_EQ(RunStoreExport(&Succeeds, "c", b.bytes), 1);
  for (char c : b.bytes) ASSERT_EQ(c, 'x');
}

TEST(CallFrame, FailureCopiesMessage) {
  Buffer b;
  gMessage = "连接失败";
  EXPECT_EQ(RunStoreExport(&FailsWithMessage, "c", b.bytes), 0);
  EXPECT_STREQ(b.bytes, "连接失败");
}

TEST(CallFrame, DeclinedPromptGivesEmptyText) {
  Buffer b;
  gMessage = "";
  EXPECT_EQ(RunStoreExport(&FailsWithMessage, "c", b.bytes), 0);
  EXPECT_EQ(b.bytes[0], '\0');
}

TEST(CallFrame, ExceptionsNeverEscape) {
  Buffer b;
  EXPECT_EQ(RunStoreExport(&Throws, "c", b.bytes), 0);
  EXPECT_STREQ(b.bytes, "boom");
  Buffer c;
  EXPECT_EQ(RunStoreExport(&ThrowsNonStd, "c", c.bytes), 0);
  EXPECT_GT(std::strlen(c.bytes), 0u);
}

TEST(CallFrame, LongAsciiMessageIsCutTo250Bytes) {
  Buffer b;
  gMessage = std::string(400, 'a');
  EXPECT_EQ(RunStoreExport(&FailsWithMessage, "c", b.bytes), 0);
  EXPECT_EQ(std::strlen(b.bytes), 250u);
  EXPECT_EQ(b.bytes[251], 'x');  // nothing written past the NUL
}

TEST(CallFrame, ChineseMessageIsCutAtAWholeCharacter) {
  Buffer b;
  gMessage = "a";
  for (int i = 0; i < 100; ++i) gMessage += "错";  // 3 bytes each: 1 + 300 bytes
  EXPECT_EQ(RunStoreExport(&FailsWithMessage, "c", b.bytes), 0);
  std::size_t len = std::strlen(b.bytes);
  EXPECT_EQ(len, 1u + 3u * 83u);  // 250 would split the 84th character
  EXPECT_EQ(std::string(b.bytes), gMessage.substr(0, len));
}

TEST(CallFrame, NullArgumentsReadAsEmptyAndNullBufferIsSkipped) {
  Buffer b;
  EXPECT_EQ(RunGroupImport(&EchoesArgs, nullptr, "B1", nullptr, b.bytes), 0);
  EXPECT_STREQ(b.bytes, "|B1|");
  EXPECT_EQ(RunStoreExport(&Throws, "c", nullptr), 0);
}
