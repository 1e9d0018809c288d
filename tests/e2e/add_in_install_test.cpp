#include "tests/e2e/add_in_install.h"

#include <gtest/gtest.h>

namespace morvane::e2e {
namespace {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A run ended by force keeps its folder, and Wine gives its process id again soon: the next run
// with that id must not find the earlier markup file or record of opened pages in its own.
TEST(AddInInstallTest, TheInstallFolderStartsEmptyWhateverAnEarlierRunLeft) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<std::string> failures;
  std::wstring folder;
  {
    AddInInstall first(self, L"", failures);
    folder = first.Folder();
    for (const wchar_t* name : {L"\\browsed.txt", L"\\MorvaneRibbon.xml"}) {
      FILE* file = _wfopen((folder + name).c_str(), L"wb");
      ASSERT_NE(file, nullptr);
      std::fputs("left by an earlier run\n", file);
      std::fclose(file);
    }
    // Ended by force: the folder outlives the run.
    AddInInstall second(self, L"", failures);
    ASSERT_EQ(second.Folder(), folder);
    EXPECT_FALSE(Exists(folder + L"\\browsed.txt"));
    EXPECT_FALSE(Exists(folder + L"\\MorvaneRibbon.xml"));
    EXPECT_TRUE(Exists(folder + L"\\Morvane.dll"));
  }
  EXPECT_TRUE(failures.empty());
  EXPECT_FALSE(Exists(folder));
}

}  // namespace
}  // namespace morvane::e2e
