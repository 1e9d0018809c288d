// The add-in's message boxes: the text, the caption "Morvane", one OK button, no icon, modal to
// the thread's active window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/win32/wide_text.h"
#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

bool IsDialogWindow(HWND window) {
  return ClassOf(window) == L"#32770";
}

bool ShowsAnIcon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
        Ask(child, STM_GETICON) != 0) {
      return true;
    }
  }
  return false;
}

struct BoxSeen {
  std::wstring text;
  std::vector<ButtonSeen> buttons;
  bool icon = true;
  HWND owner = nullptr;
  bool ownerEnabled = true;
};

class MessageBoxTest : public Win32UiTest {
 protected:
  // Shows the message; the helper reads the box, then presses OK.
  BoxSeen Show(const std::u16string& text) {
    BoxSeen seen;
    WhileModal([&] { port->ShowMessage(text); },
               [&] {
                 HWND box = WaitForWindow(L"Morvane", IsDialogWindow);
                 ASSERT_NE(box, nullptr);
                 seen.text = ItemText(box, 0xFFFF);  // a message box's text
                 seen.buttons = VisibleButtons(box);
                 seen.icon = ShowsAnIcon(box);
                 seen.owner = GetWindow(box, GW_OWNER);
                 seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
                 Click(box, IDOK);
               });
    return seen;
  }
};

TEST_F(MessageBoxTest, PlainBoxWithTheTextAndOneOkButtonModalToTheActiveWindow) {
  const std::u16string texts[] = {
      u"Please add a New Workbook!",
      u"Selection is Empty!",
      u"Z\u00FCrich \u2014 na\u00EFve \u2713",
  };
  OwnerWindow host;
  for (const std::u16string& text : texts) {
    const BoxSeen seen = Show(text);
    EXPECT_EQ(seen.text, win32::ToWide(text));
    ASSERT_EQ(seen.buttons.size(), 1u);
    EXPECT_EQ(seen.buttons[0].id, IDOK);
    EXPECT_EQ(seen.buttons[0].text, L"OK");
    EXPECT_FALSE(seen.icon);
    EXPECT_EQ(seen.owner, host.get());
    EXPECT_FALSE(seen.ownerEnabled);
  }
  EXPECT_TRUE(IsWindowEnabled(host.get()));
}

TEST_F(MessageBoxTest, WithoutAnActiveWindowTheBoxHasNoOwner) {
  ASSERT_EQ(GetActiveWindow(), nullptr);
  const BoxSeen seen = Show(u"Selection is Empty!");
  EXPECT_EQ(seen.text, L"Selection is Empty!");
  EXPECT_EQ(seen.owner, nullptr);
}

}  // namespace
}  // namespace morvane::uitest
