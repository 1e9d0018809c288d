// The Windows halves of the portable seams, inside this test program (which links the glue
// statically and carries the type library, so that it stands where the DLL would): the ribbon
// markup beside the module, the ANSI code page, and the platform services' lifetime.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "about/frm_ug.h"
#include "addin/com/bstr.h"
#include "addin/com/com_ptr.h"
#include "addin/com/connect.h"
#include "addin/com/module_lifetime.h"
#include "addin/com/platform_services.h"
#include "addin/com/server.h"
#include "addin/com/windows_ribbon_platform.h"
#include "addin/ui_port.h"
#include "office.h"

namespace morvane::com {
namespace {

std::filesystem::path ProgramFolder() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path();
}

TEST(WindowsRibbonPlatformTest, BytesBecomeTextThroughTheAnsiCodePage) {
  WindowsRibbonPlatform platform;
  EXPECT_EQ(platform.AnsiToText(""), u"");
  EXPECT_EQ(platform.AnsiToText(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  if (GetACP() != 1252)
    GTEST_SKIP() << "the checks below assume Windows-1252";
  EXPECT_EQ(platform.AnsiToText("\x80 caf\xe9 \x9f"), u"\u20ac caf\u00e9 \u0178");
}

TEST(ConnectRibbonTest, GetCustomUIReturnsTheMarkupFileBesideTheModule) {
  std::ifstream file(ProgramFolder() / "MorvaneRibbon.xml", std::ios::binary);
  ASSERT_TRUE(file.is_open()) << "the build copies MorvaneRibbon.xml beside the tests";
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(bytes.empty());

  ComPtr<IRibbonExtensibility> ribbon;
  ASSERT_EQ(CreateConnect(IID_IRibbonExtensibility, ribbon.put_void()), S_OK);
  for (const wchar_t* ribbonId : {L"Microsoft.Excel.Workbook", L""}) {
    Bstr id(std::wstring_view{ribbonId});
    Bstr markup;
    ASSERT_EQ(ribbon->GetCustomUI(id.get(), markup.put()), S_OK);
    EXPECT_EQ(markup.to_u16string(), std::u16string(bytes.begin(), bytes.end()));
  }
  EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);
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
