#pragma once

// The About form frmUG. One instance exists, created on first use and kept until the add-in
// unloads. Its window is loaded on demand: hidden when only its handle is wanted (BrowseTo),
// and unloaded when the user closes the About box, so the next showing loads it afresh.

#include <memory>
#include <string_view>

#include "addin/model/ui_port.h"

namespace morvane {

class frmUG final : private ui::AboutEvents {
 public:
  static frmUG& Instance();

  // Shows the About box modally, loading it first when it is not loaded; returns when the
  // user has closed it. Showing it while it is already on screen fails (error 400).
  void Show();
  // Opens an address in the user's default browser, this form's window as the owner. Loads the
  // form hidden when it is not loaded; it then stays loaded and hidden.
  void BrowseTo(std::u16string_view address);
  // Opens a page of the product's site through BrowseTo, or the guide installed beside the
  // add-in while the site's addresses are placeholders (about/local_guide.h).
  void OpenPage(std::u16string_view webPage);
  // The footer's click: opens the home page.
  void Label21_Click() override;

  bool Loaded() const { return window_ != nullptr; }
  // Unloads the window, if loaded. For the add-in's unloading; the close box does it itself.
  void Unload();

 private:
  frmUG() = default;
  ui::AboutWindow& Window();  // loads the form when it is not loaded
  void Form_Load();

  std::unique_ptr<ui::AboutWindow> window_;
  bool onScreen_ = false;
};

}  // namespace morvane
