#pragma once

// What each of the six commands does, as the simulated Excel and the UI fake see it. The menu's
// tags and the ribbon's ids lead to the same commands, so both routes check against this one
// table.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "about/web_addresses.h"
#include "connected_addin.h"
#include "snapshot/main_code.h"

namespace morvane::testing {

inline bool HasSheet(const sim::Excel& excel, const std::u16string& name) {
  const std::vector<std::u16string> names = excel.SheetNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

struct CommandCase {
  std::u16string menuCaption;
  std::u16string ribbonId;
  std::function<void(sim::Excel&)> arrange;  // may be empty
  std::function<void(sim::Excel&, fakes::FakeUi&)> check;
};

inline const std::vector<CommandCase>& CommandCases() {
  static const std::vector<CommandCase> cases = {
      {u"Undo Changes", u"mvUndo",
       [](sim::Excel& x) {
         x.AddWorkbook({u"Sheet1_Undo", u"Sheet1"});
         x.ActivateSheet(u"Sheet1");
         x.SetSheetVisibility(u"Sheet1_Undo", sim::kSheetHidden);
       },
       [](sim::Excel& x, fakes::FakeUi&) {
         EXPECT_TRUE(HasSheet(x, u"Sheet1_Redo"));
         EXPECT_FALSE(HasSheet(x, u"Sheet1_Undo"));
       }},
      {u"Redo Changes", u"mvRedo",
       [](sim::Excel& x) {
         x.AddWorkbook({u"Sheet1", u"Sheet1_Redo"});
         x.SetSheetVisibility(u"Sheet1_Redo", sim::kSheetHidden);
       },
       [](sim::Excel& x, fakes::FakeUi&) {
         EXPECT_TRUE(HasSheet(x, u"Sheet1_Undo"));
         EXPECT_FALSE(HasSheet(x, u"Sheet1_Redo"));
       }},
      {u"&Morvane &Wizard", u"mvMain", nullptr,
       [](sim::Excel&, fakes::FakeUi& ui) { EXPECT_EQ(ui.wizardShows, 1); }},
      {u"&About Morvane", u"mvAB", nullptr,
       [](sim::Excel&, fakes::FakeUi& ui) {
         ASSERT_EQ(ui.aboutWindows.size(), 1u);
         EXPECT_EQ(ui.aboutWindows[0]->modalShows, 1);
         EXPECT_FALSE(ui.aboutWindows[0]->loaded);  // closing the box unloaded it
         EXPECT_TRUE(ui.shellRequests.empty());
       }},
      {u"Online &User Guide", u"mvOH", nullptr,
       [](sim::Excel&, fakes::FakeUi& ui) {
         ASSERT_EQ(ui.shellRequests.size(), 1u);
         EXPECT_EQ(ui.shellRequests[0].file, about::kUserGuidePage);
         ASSERT_EQ(ui.aboutWindows.size(), 1u);
         EXPECT_EQ(ui.aboutWindows[0]->modalShows, 0);  // the guide opens, the box does not
         EXPECT_EQ(ui.shellRequests[0].owner, ui.aboutWindows[0]->handle);
       }},
      {u"E&xit", u"mvTO", nullptr,
       [](sim::Excel& x, fakes::FakeUi&) {
         EXPECT_FALSE(x.ComAddInConnected(std::u16string(kProgId)));
         EXPECT_EQ(xlApp, nullptr);
       }},
  };
  return cases;
}

}  // namespace morvane::testing
