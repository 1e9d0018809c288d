// The shell launch: every field of the request reaches ShellExecuteA in the system's ANSI code
// page, and the shell's answer comes back.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "addin/win32/wide_text.h"
#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

// A fresh folder in the temporary folder, removed with everything in it afterwards.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name;
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TemporaryFolder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

using ShellLaunchTest = Win32UiTest;

TEST_F(ShellLaunchTest, EveryFieldReachesTheShellInTheAnsiCodePage) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "the names below need code page 1252";
  }
  TemporaryFolder folder(L"morvane shell caf\u00E9");
  ui::ShellRequest request;
  request.verb = u"open";
  request.file = u"cmd.exe";
  request.parameters = u"/c echo done> r\u00E9sum\u00E9.txt";
  request.directory = win32::FromWide(folder.path());
  request.show = SW_HIDE;
  const std::intptr_t result = port->OpenWithShell(request);
  EXPECT_GT(result, 32);
  const std::wstring written = folder.path() + L"\\r\u00E9sum\u00E9.txt";
  EXPECT_TRUE(WaitUntil(
      [&] { return GetFileAttributesW(written.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10s))
      << "cmd.exe did not run in the folder with the parameters as given";
}

TEST_F(ShellLaunchTest, TheShellsFailureComesBack) {
  TemporaryFolder folder(L"morvane shell missing");
  ui::ShellRequest request;
  request.verb = u"Open";
  request.file = win32::FromWide(folder.path() + L"\\no such page.morvane-none");
  request.show = -1;
  EXPECT_LE(port->OpenWithShell(request), 32);
}

TEST(AnsiCodePage, CharactersOfTheCodePageKeepTheirByteOthersBecomeItsDefault) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "the bytes below are those of code page 1252";
  }
  struct Row {
    std::u16string text;
    std::string bytes;
  };
  const Row rows[] = {
      {u"", ""},
      {u"https://morvane.example/", "https://morvane.example/"},
      {u"caf\u00E9 \u20AC", "caf\xE9 \x80"},
      {u"\u2713 \u0416", "? ?"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(win32::ToAnsiCodePage(row.text), row.bytes);
  }
}

}  // namespace
}  // namespace morvane::uitest
