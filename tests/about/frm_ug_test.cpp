// The About form: when its window loads and unloads, what Label2 says, how BrowseTo hands an
// address to the shell, and which address the guide and the footer open.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "about/about_text.h"
#include "about/frm_ug.h"
#include "about/local_guide.h"
#include "about/web_addresses.h"
#include "addin/model/errors.h"
#include "addin/model/utf8.h"
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

TEST(LocalGuide, FileUrlsOfWindowsAndPosixPaths) {
  const std::pair<std::u16string_view, std::u16string_view> rows[] = {
      {u"C:\\Users\\Jo Smith\\AppData\\Local\\Morvane\\MorvaneGuide.html",
       u"file:///C:/Users/Jo%20Smith/AppData/Local/Morvane/MorvaneGuide.html"},
      {u"\\\\server\\share\\Morvane #1\\g.html", u"file://server/share/Morvane%20%231/g.html"},
      {u"\\\\?\\C:\\100%\\O'Neil\\J\u00F6rg?.html", u"file:///C:/100%25/O'Neil/J\u00F6rg%3F.html"},
      {u"\\\\?\\UNC\\server\\share\\g.html", u"file://server/share/g.html"},
      {u"/opt/morvane/MorvaneGuide.html", u"file:///opt/morvane/MorvaneGuide.html"},
  };
  for (const auto& [path, url] : rows) {
    EXPECT_EQ(about::FileUrl(path), url);
  }
}

TEST(LocalGuide, OnlyReservedNamesArePlaceholders) {
  for (const std::u16string_view address :
       {about::kUserGuidePage, about::kHomePage,
        std::u16string_view(u"https://docs.Morvane.EXAMPLE.:8080/x"),
        std::u16string_view(u"http://user@example.com/"),
        std::u16string_view(u"https://a.invalid")}) {
    EXPECT_TRUE(about::IsPlaceholderAddress(address)) << Utf16ToUtf8(std::u16string(address));
  }
  for (const std::u16string_view address :
       {u"https://morvane.com/guide/", u"https://example.morvane.org/", u"https://myexample.com/",
        u"https://morvane.com/example", u"not an address"}) {
    EXPECT_FALSE(about::IsPlaceholderAddress(address)) << Utf16ToUtf8(std::u16string(address));
  }
}

// While the site's addresses are placeholders, the guide and the footer open the guide installed
// beside the add-in; without that file, or once the publisher gives a real address, the page.
TEST_F(AboutFormTest, TheInstalledGuideStandsInForAPlaceholderSite) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "morvane-local-guide-test";
  std::filesystem::create_directories(folder);
  const std::filesystem::path guide = folder / "MorvaneGuide.html";
  const std::u16string guideUrl = about::FileUrl(guide.u16string());
  struct Row {
    std::u16string_view page;
    bool installed;
    bool folderKnown;
    std::u16string expected;
  };
  const std::u16string real = u"https://morvane.com/guide/";
  const Row rows[] = {
      {about::kUserGuidePage, true, true, guideUrl},
      {about::kHomePage, true, true, guideUrl},
      {about::kUserGuidePage, false, true, std::u16string(about::kUserGuidePage)},
      {about::kUserGuidePage, true, false, std::u16string(about::kUserGuidePage)},
      {real, true, true, real},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(guide);
    if (row.installed) {
      std::ofstream(guide) << "<html></html>";
    }
    ui->addInFolder = row.folderKnown ? folder : std::filesystem::path();
    ui->shellRequests.clear();
    frmUG::Instance().OpenPage(row.page);
    ASSERT_EQ(ui->shellRequests.size(), 1u);
    EXPECT_EQ(ui->shellRequests[0].file, row.expected) << Utf16ToUtf8(std::u16string(row.page));
  }
  std::filesystem::remove_all(folder);
  EXPECT_TRUE(guideUrl.starts_with(u"file:///") && guideUrl.ends_with(u"/MorvaneGuide.html"));
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
