#pragma once

// The screen as the add-in's decisions see it: message boxes, the two forms and the shell's
// browser launch. The Windows build installs Win32 dialogs behind it; tests install scripted
// fakes. What a form's life looks like (when it loads, when it goes) is decided by the portable
// code that uses the port, never by the port.
//
// Members beyond ShowMessage have a default that fails: a user interface that cannot show a
// form says so instead of pretending it did.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace morvane::ui {

// A window's handle, as the shell wants its owner window (an HWND on Windows).
using WindowHandle = std::uintptr_t;

// What the About window reports back to its form.
class AboutEvents {
 public:
  virtual ~AboutEvents() = default;
  // The footer label was clicked.
  virtual void Label21_Click() = 0;
};

// A loaded About window, hidden until shown. Releasing it unloads (destroys) the window.
class AboutWindow {
 public:
  virtual ~AboutWindow() = default;
  virtual WindowHandle Handle() = 0;
  // The caption of Label2, the description and contact text.
  virtual void SetLabel2(const std::u16string& text) = 0;
  // Shows the window modally; returns when the user has closed it with its close box.
  virtual void ShowModal() = 0;
};

// One call of the shell's ShellExecute.
struct ShellRequest {
  WindowHandle owner = 0;
  std::u16string verb;
  std::u16string file;
  std::u16string parameters;
  std::u16string directory;
  int show = 0;
};

class Port {
 public:
  virtual ~Port() = default;
  // A plain message box: the OK button only, no icon, the add-in's title "Morvane".
  virtual void ShowMessage(const std::u16string& text) = 0;

  // Shows the conversion wizard frmMV modally, in its design-time state; returns when it has
  // closed.
  virtual void ShowWizard();
  // Creates the About window, hidden; its events go to `events` for as long as it lives.
  virtual std::unique_ptr<AboutWindow> LoadAbout(AboutEvents& events);
  // Hands the request to ShellExecute and returns the shell's result (above 32 on success).
  // Not named ShellExecute: Windows headers define a macro of that name.
  virtual std::intptr_t OpenWithShell(const ShellRequest& request);
  // The add-in's version as its version resource gives it ("1.0.0.0"); empty when it cannot be
  // read, and by default.
  virtual std::u16string AddInVersion();
  // The folder that holds the add-in's DLL; empty when it is not known, and by default.
  virtual std::filesystem::path AddInFolder();
};

// The port in use for this process (module-level, like the rest of the add-in's state).
void Install(std::shared_ptr<Port> port);
Port& Current();

}  // namespace morvane::ui
