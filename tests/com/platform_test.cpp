// The Windows halves of the portable seams, inside this test program (which links the glue
// statically): the ANSI code page of the ribbon markup, and the platform services' lifetime.

#include <gtest/gtest.h>

#include <memory>

#include "about/frm_ug.h"
#include "addin/com/base/module_lifetime.h"
#include "addin/com/platform_services.h"
#include "addin/com/server.h"
#include "addin/com/windows_ribbon_platform.h"
#include "addin/model/ui_port.h"

namespace morvane::com {
namespace {

TEST(WindowsRibbonPlatformTest, BytesBecomeTextThroughTheAnsiCodePage) {
  WindowsRibbonPlatform platform;
  EXPECT_EQ(platform.AnsiToText(""), u"");
  EXPECT_EQ(platform.AnsiToText(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  if (GetACP() != 1252)
    GTEST_SKIP() << "the checks below assume Windows-1252";
  EXPECT_EQ(platform.AnsiToText("\x80 caf\xe9 \x9f"), u"\u20ac caf\u00e9 \u0178");
}

// A user interface that records what the About form asks of it.
class RecordingPort : public ui::Port {
 public:
  class Window : public ui::AboutWindow {
   public:
    explicit Window(int& live) : live_(live) { ++live_; }
    ~Window() override { --live_; }
    ui::WindowHandle Handle() override { return 0x1234; }
    void SetLabel2(const std::u16string&) override {}
    void ShowModal() override {}

   private:
    int& live_;
  };

  void ShowMessage(const std::u16string&) override {}
  std::unique_ptr<ui::AboutWindow> LoadAbout(ui::AboutEvents&) override {
    return std::make_unique<Window>(liveWindows);
  }
  std::intptr_t OpenWithShell(const ui::ShellRequest&) override { return 42; }

  int liveWindows = 0;
};

TEST(PlatformServicesTest, TheAboutWindowGoesBeforeTheModuleMayUnload) {
  InstallPlatformServices();
  auto port = std::make_shared<RecordingPort>();
  ui::Install(port);
  frmUG::Instance().BrowseTo(u"https://example.invalid/");
  ASSERT_EQ(port->liveWindows, 1);  // BrowseTo keeps the form loaded, hidden

  {
    ModuleReference liveObject;
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(port->liveWindows, 1);
  }
  EXPECT_EQ(CanUnloadNow(), S_OK);
  EXPECT_EQ(port->liveWindows, 0);
  EXPECT_FALSE(frmUG::Instance().Loaded());
}

}  // namespace
}  // namespace morvane::com
