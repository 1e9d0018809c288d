#pragma once

// The screen as the add-in's decisions see it: message boxes and the two forms. The Windows
// build installs Win32 dialogs behind it; tests install scripted fakes.

#include <memory>
#include <string>

namespace morvane::ui {

class Port {
 public:
  virtual ~Port() = default;
  // A plain message box: the OK button only, no icon, the add-in's title "Morvane".
  virtual void ShowMessage(const std::u16string& text) = 0;
};

// The port in use for this process (module-level, like the rest of the add-in's state).
void Install(std::shared_ptr<Port> port);
Port& Current();

}  // namespace morvane::ui
