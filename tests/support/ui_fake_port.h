#pragma once

// A scripted user interface: it records what the add-in asks of it (message boxes, the wizard,
// About windows, shell launches) and plays the user's part while a modal form is open.

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/model/ui_port.h"

namespace morvane::fakes {

// One About window, from its loading to its unloading.
struct AboutWindowRecord {
  ui::WindowHandle handle = 0;
  std::vector<std::u16string> label2;  // every caption given to Label2, in order
  int modalShows = 0;
  bool loaded = true;  // false once the add-in released (unloaded) the window
};

class FakeUi : public ui::Port {
 public:
  // --- The user's part -----------------------------------------------------------------------
  // Runs while the wizard is on screen (the modal call has not returned yet).
  std::function<void()> whileWizardOpen;
  // Runs while the About box is on screen; `events` are the form's, so the script can click
  // the footer. The box closes (close box) when the script returns.
  std::function<void(ui::AboutEvents& events)> whileAboutOpen;
  // When set, the call fails with it instead of showing anything.
  std::exception_ptr wizardFailure;
  std::exception_ptr aboutLoadFailure;
  // What the shell answers (above 32 is success).
  std::intptr_t shellResult = 42;
  // Where the add-in's DLL lies; empty: not known.
  std::filesystem::path addInFolder;

  // --- What the add-in did -------------------------------------------------------------------
  std::vector<std::u16string> messages;
  int wizardShows = 0;
  std::vector<std::shared_ptr<AboutWindowRecord>> aboutWindows;  // one per load, in order
  std::vector<ui::ShellRequest> shellRequests;

  // Everything the user saw or the shell got, for "nothing happened" checks.
  bool Untouched() const;

  void ShowMessage(const std::u16string& text) override;
  void ShowWizard() override;
  std::unique_ptr<ui::AboutWindow> LoadAbout(ui::AboutEvents& events) override;
  std::intptr_t OpenWithShell(const ui::ShellRequest& request) override;
  std::filesystem::path AddInFolder() override { return addInFolder; }
};

// Installs a fresh FakeUi as the add-in's user interface and returns it.
std::shared_ptr<FakeUi> InstallFakeUi();

}  // namespace morvane::fakes
