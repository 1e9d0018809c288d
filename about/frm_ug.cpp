#include "about/frm_ug.h"

#include <stdexcept>

#include "about/about_text.h"
#include "about/local_guide.h"
#include "about/web_addresses.h"
#include "addin/model/errors.h"

namespace morvane {
namespace {

// ShellExecute's show value. -1 is not one of the SW_ values; for an address the shell only
// hands it on to the browser, which decides how to show itself.
constexpr int kBrowserShowValue = -1;

}  // namespace

frmUG& frmUG::Instance() {
  static frmUG form;
  return form;
}

void frmUG::Show() {
  if (onScreen_) {
    ThrowFormAlreadyShown();
  }
  ui::AboutWindow& window = Window();
  onScreen_ = true;
  try {
    window.ShowModal();
  } catch (...) {
    onScreen_ = false;
    throw;
  }
  onScreen_ = false;
  window_.reset();  // the close box unloads the form
}

void frmUG::BrowseTo(std::u16string_view address) {
  ui::ShellRequest request;
  request.owner = Window().Handle();
  request.verb = u"Open";
  request.file = address;
  request.show = kBrowserShowValue;
  // The shell's answer is not looked at: a page that cannot be opened (no browser, no network)
  // shows no message from the add-in.
  ui::Current().OpenWithShell(request);
}

void frmUG::OpenPage(std::u16string_view webPage) {
  BrowseTo(about::AddressToOpen(webPage, ui::Current().AddInFolder()));
}

void frmUG::Label21_Click() {
  OpenPage(about::kHomePage);
}

void frmUG::Unload() {
  if (onScreen_) {
    throw std::logic_error("the About box cannot be unloaded while it is on screen");
  }
  window_.reset();
}

ui::AboutWindow& frmUG::Window() {
  if (!window_) {
    window_ = ui::Current().LoadAbout(*this);
    if (!window_) {
      throw std::logic_error("the user interface loaded no About window");
    }
    try {
      Form_Load();
    } catch (...) {
      window_.reset();  // a load that failed leaves no half-made form behind
      throw;
    }
  }
  return *window_;
}

void frmUG::Form_Load() {
  window_->SetLabel2(about::Label2Text(ui::Current().AddInVersion()));
}

}  // namespace morvane
