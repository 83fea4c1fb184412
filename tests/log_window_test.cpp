// The progress log window's rules, with a view that stays open as a window does.
#include <gtest/gtest.h>

#include "ui/uLogMessage.h"

using sx::ui::TfLogMessage;

namespace {

struct WindowView : sx::ui::LogView {
  std::vector<std::string> shown;
  int finished = 0;
  int opened = 0;
  void Shown() override { ++opened; }
  void Line(const std::string& text, bool) override { shown.push_back(text); }
  void Finished() override { ++finished; }
  bool StaysOpenAfterFinish() const override { return true; }
};

struct LogWindowTest : ::testing::Test {
  std::shared_ptr<WindowView> view = std::make_shared<WindowView>();
  void SetUp() override { sx::ui::SetLogView(view); }
  void TearDown() override {
    if (auto* w = TfLogMessage::Instance()) {
      w->Finish();
      w->Close();
    }
    sx::ui::SetLogView(nullptr);
  }
};

}  // namespace

TEST_F(LogWindowTest, CreatedOnFirstLineWithTheButtonDisabled) {
  EXPECT_EQ(TfLogMessage::Instance(), nullptr);
  sx::ui::LogInfo("开始从a.xlsx导入退菜理由...");
  ASSERT_NE(TfLogMessage::Instance(), nullptr);
  EXPECT_FALSE(TfLogMessage::Instance()->OKBtnEnabled());
  EXPECT_EQ(view->opened, 1);
}

TEST_F(LogWindowTest, ErrorLinesCarryThePrefixWithoutABlank) {
  sx::ui::LogError("第3行:没有指定名称!");
  EXPECT_EQ(TfLogMessage::Log().Lines().back(), "错误:第3行:没有指定名称!");
  EXPECT_EQ(view->shown.back(), "错误:第3行:没有指定名称!");
}

TEST_F(LogWindowTest, ClosingIsRefusedUntilFinishThenFreesTheWindow) {
  sx::ui::LogInfo("x");
  TfLogMessage* w = TfLogMessage::Instance();
  EXPECT_FALSE(w->CloseQuery());
  EXPECT_FALSE(w->Close());
  EXPECT_EQ(TfLogMessage::Instance(), w);
  w->Finish();
  EXPECT_TRUE(w->Close());
  EXPECT_EQ(TfLogMessage::Instance(), nullptr);
}

TEST_F(LogWindowTest, ANextImportAppendsToAWindowLeftOpen) {
  sx::ui::LogInfo("first");
  sx::ui::LogFinish();
  ASSERT_NE(TfLogMessage::Instance(), nullptr);  // stays on screen after the call
  sx::ui::LogInfo("second");
  EXPECT_EQ(TfLogMessage::Instance()->Lines(), (std::vector<std::string>{"first", "second"}));
  EXPECT_TRUE(TfLogMessage::Instance()->OKBtnEnabled());
  EXPECT_EQ(view->opened, 1);
}
