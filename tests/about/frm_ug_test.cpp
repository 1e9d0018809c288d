// The About form: when its window loads and unloads, what Label2 says, and how BrowseTo hands
// an address to the shell.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/about_text.h"
#include "about/frm_ug.h"
#include "about/web_addresses.h"
#include "addin/model/errors.h"
#include "support/ui_fake_port.h"

namespace morvane {
namespace {

std::vector<std::u16string> SplitCrLf(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(u"\r\n", start)) != std::u16string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

class AboutFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frmUG::Instance().Unload();
    ui = fakes::InstallFakeUi();
  }
  void TearDown() override {
    frmUG::Instance().Unload();
    ui::Install(nullptr);
  }
  std::shared_ptr<fakes::FakeUi> ui;
};

TEST(AboutText, Label2IsFourLinesJoinedByCrLfNamingTheVersionAndOneLevelOfUndo) {
  struct Row {
    std::u16string_view version;
    std::u16string_view opening;
  };
  for (const Row& row :
       {Row{u"1.2.3.4", u"Morvane 1.2.3.4 changes "}, Row{u"", u"Morvane changes "}}) {
    const std::u16string text = about::Label2Text(row.version);
    const std::vector<std::u16string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with(row.opening));
    // Only the last conversion can be undone: the text must not promise more.
    EXPECT_NE(lines[0].find(u"The last conversion can be undone"), std::u16string::npos);
    EXPECT_EQ(lines[0].find(u"Every"), std::u16string::npos);
    EXPECT_EQ(lines[1], u"");
    EXPECT_EQ(lines[2], u"Please send your Feedback and Advice to us at : ");
    EXPECT_NE(lines[3].find(about::kFeedbackMail), std::u16string::npos);
    EXPECT_NE(lines[3].find(about::kHomePage), std::u16string::npos);
    for (const std::u16string& line : lines) {
      EXPECT_EQ(line.find_first_of(u"\r\n"), std::u16string::npos);  // no bare CR or LF
    }
  }
}

TEST_F(AboutFormTest, HelpLoadsTheFormHiddenAndAboutThenShowsItWithoutReloading) {
  frmUG::Instance().BrowseTo(about::kUserGuidePage);
  ASSERT_EQ(ui->aboutWindows.size(), 1u);
  const auto window = ui->aboutWindows[0];
  EXPECT_EQ(window->modalShows, 0);
  EXPECT_TRUE(frmUG::Instance().Loaded());
  ASSERT_EQ(ui->shellRequests.size(), 1u);
  EXPECT_EQ(ui->shellRequests[0].owner, window->handle);

  frmUG::Instance().Show();
  EXPECT_EQ(ui->aboutWindows.size(), 1u);
  EXPECT_EQ(window->modalShows, 1);
  EXPECT_EQ(window->label2, std::vector<std::u16string>{about::Label2Text(u"")});  // loaded once
  EXPECT_FALSE(window->loaded);  // the close box unloaded it
  EXPECT_FALSE(frmUG::Instance().Loaded());
}

TEST_F(AboutFormTest, EveryShowingAfterAClosingLoadsAndFillsLabel2Again) {
  frmUG::Instance().Show();
  frmUG::Instance().Show();
  ASSERT_EQ(ui->aboutWindows.size(), 2u);
  for (const auto& window : ui->aboutWindows) {
    EXPECT_EQ(window->label2, std::vector<std::u16string>{about::Label2Text(u"")});
    EXPECT_EQ(window->modalShows, 1);
    EXPECT_FALSE(window->loaded);
  }
}

TEST_F(AboutFormTest, TheFooterOpensTheHomePageWhileTheBoxStaysOpen) {
  bool openDuringClick = false;
  ui->whileAboutOpen = [&](ui::AboutEvents& events) {
    events.Label21_Click();
    openDuringClick = ui->aboutWindows.back()->loaded;
  };
  frmUG::Instance().Show();
  ASSERT_EQ(ui->shellRequests.size(), 1u);
  EXPECT_EQ(ui->shellRequests[0].file, about::kHomePage);
  EXPECT_EQ(ui->shellRequests[0].owner, ui->aboutWindows[0]->handle);
  EXPECT_TRUE(openDuringClick);
  EXPECT_EQ(ui->aboutWindows.size(), 1u);
}

TEST_F(AboutFormTest, BrowseToHandsTheAddressToTheShellAndIgnoresItsAnswer) {
  ui->shellResult = 2;  // SE_ERR_FILENOTFOUND: no browser
  frmUG::Instance().BrowseTo(u"https://morvane.example/guide/?q=\u00E9");
  ASSERT_EQ(ui->shellRequests.size(), 1u);
  const ui::ShellRequest& request = ui->shellRequests[0];
  EXPECT_EQ(request.verb, u"Open");
  EXPECT_EQ(request.file, u"https://morvane.example/guide/?q=\u00E9");
  EXPECT_EQ(request.parameters, u"");
  EXPECT_EQ(request.directory, u"");
  EXPECT_EQ(request.show, -1);
  EXPECT_TRUE(ui->messages.empty());

  frmUG::Instance().BrowseTo(about::kHomePage);  // the same hidden window is the owner again
  EXPECT_EQ(ui->aboutWindows.size(), 1u);
  EXPECT_EQ(ui->shellRequests[1].owner, ui->shellRequests[0].owner);
}

TEST_F(AboutFormTest, ShowingTheBoxWhileItIsOnScreenFails) {
  std::int32_t refused = 0;
  ui->whileAboutOpen = [&](ui::AboutEvents&) {
    try {
      frmUG::Instance().Show();
    } catch (const host::HostError& error) {
      refused = error.hresult();
    }
  };
  frmUG::Instance().Show();
  EXPECT_EQ(refused, errors::kFormAlreadyShown);
  EXPECT_EQ(ui->aboutWindows.size(), 1u);
  EXPECT_EQ(ui->aboutWindows[0]->modalShows, 1);
  EXPECT_FALSE(frmUG::Instance().Loaded());
}

TEST_F(AboutFormTest, AFailedLoadLeavesNoFormBehind) {
  ui->aboutLoadFailure = std::make_exception_ptr(std::runtime_error("no window"));
  EXPECT_THROW(frmUG::Instance().BrowseTo(about::kUserGuidePage), std::runtime_error);
  EXPECT_FALSE(frmUG::Instance().Loaded());
  EXPECT_TRUE(ui->shellRequests.empty());

  ui->aboutLoadFailure = nullptr;
  frmUG::Instance().Show();
  ASSERT_EQ(ui->aboutWindows.size(), 1u);
  EXPECT_EQ(ui->aboutWindows[0]->modalShows, 1);
}

}  // namespace
}  // namespace morvane
