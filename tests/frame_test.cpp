// The call frame as a host sees it: result byte and error text buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "boundary/CallFrame.h"
#include "boundary/HostText.h"
#include "setupxfer.h"
#include "transfer/Kinds.h"

using sx::boundary::Call;
using sx::boundary::FromHostText;

namespace {

std::string gMessage;

bool Succeeds(std::string&) { return true; }
bool FailsWithMessage(std::string& msg) {
  msg = gMessage;
  return false;
}
bool Throws(std::string&) { throw std::runtime_error("boom"); }
bool ThrowsNonStd(std::string&) { throw 42; }

struct Buffer {
  char bytes[300];
  Buffer() { std::memset(bytes, 'x', sizeof bytes); }
};

}  // namespace

TEST(CallFrame, SuccessLeavesBufferUntouched) {
  Buffer b;
  EXPECT_EQ(Call(b.bytes, &Succeeds), 1);
  for (char c : b.bytes) ASSERT_EQ(c, 'x');
}

TEST(CallFrame, FailureCopiesMessage) {
  Buffer b;
  gMessage = "连接失败";
  EXPECT_EQ(Call(b.bytes, &FailsWithMessage), 0);
  EXPECT_STREQ(b.bytes, "连接失败");
}

TEST(CallFrame, DeclinedPromptGivesEmptyText) {
  Buffer b;
  gMessage = "";
  EXPECT_EQ(Call(b.bytes, &FailsWithMessage), 0);
  EXPECT_EQ(b.bytes[0], '\0');
}

TEST(CallFrame, ExceptionsNeverEscape) {
  Buffer b;
  EXPECT_EQ(Call(b.bytes, &Throws), 0);
  EXPECT_STREQ(b.bytes, "boom");
  Buffer c;
  EXPECT_EQ(Call(c.bytes, &ThrowsNonStd), 0);
  EXPECT_GT(std::strlen(c.bytes), 0u);
}

TEST(CallFrame, LongAsciiMessageIsCutTo250Bytes) {
  Buffer b;
  gMessage = std::string(400, 'a');
  EXPECT_EQ(Call(b.bytes, &FailsWithMessage), 0);
  EXPECT_EQ(std::strlen(b.bytes), 250u);
  EXPECT_EQ(b.bytes[251], 'x');  // nothing written past the NUL
}

TEST(CallFrame, ChineseMessageIsCutAtAWholeCharacter) {
  Buffer b;
  gMessage = "a";
  for (int i = 0; i < 100; ++i) gMessage += "错";  // 3 bytes each: 1 + 300 bytes
  EXPECT_EQ(Call(b.bytes, &FailsWithMessage), 0);
  std::size_t len = std::strlen(b.bytes);
  EXPECT_EQ(len, 1u + 3u * 83u);  // 250 would split the 84th character
  EXPECT_EQ(std::string(b.bytes), gMessage.substr(0, len));
}

TEST(CallFrame, NullArgumentsReadAsEmptyAndNullBufferIsSkipped) {
  Buffer b;
  EXPECT_EQ(Call(b.bytes,
                 [](std::string& msg) {
                   msg = FromHostText(nullptr) + "|" + FromHostText("B1") + "|" + FromHostText(nullptr);
                   return false;
                 }),
            0);
  EXPECT_STREQ(b.bytes, "|B1|");
  EXPECT_EQ(Call(nullptr, &Throws), 0);
  EXPECT_EQ(ImportGroupBackReason(nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(CallFrame, KindsNotYetBuiltAnswerWithoutTouchingAnything) {
  const sx::Kind pending{"lowestpay", "minimum charges", nullptr, nullptr, false};
  Buffer b;
  EXPECT_EQ(sx::boundary::Export(pending, "no such database", "B1", b.bytes), 0);
  EXPECT_STREQ(b.bytes, "lowestpay is not available in this version");
  Buffer c;
  EXPECT_EQ(sx::boundary::Import(pending, nullptr, nullptr, nullptr, c.bytes), 0);
  EXPECT_STREQ(c.bytes, "lowestpay is not available in this version");
}
