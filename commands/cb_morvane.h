#pragma once

// The event sink of one menu button: it receives the button's Click and runs the command that
// the button's tag names. Every instance runs the same dispatch, whichever button it watches.

#include <memory>

#include "addin/model/host.h"

namespace morvane {

class cbMorvane : public std::enable_shared_from_this<cbMorvane> {
 public:
  // Create it with std::make_shared: a connected sink finds itself through a weak reference.
  cbMorvane() = default;
  cbMorvane(const cbMorvane&) = delete;
  cbMorvane& operator=(const cbMorvane&) = delete;

  const std::shared_ptr<host::CommandBarControl>& cbBtn() const { return cbBtn_; }
  // Watches another button, or none (nullptr). The previous button is let go first. If the
  // new button's Click cannot be connected, the failure goes to the caller and the sink
  // watches no button.
  void SetCbBtn(std::shared_ptr<host::CommandBarControl> button);

  // The Click handler. Runs the command the tag of Ctrl names; every step is guarded, so
  // nothing fails towards the host, and CancelDefault always ends true.
  void cbBtn_Click(const std::shared_ptr<host::CommandBarControl>& Ctrl, bool& CancelDefault);

 private:
  std::shared_ptr<host::CommandBarControl> cbBtn_;
  std::unique_ptr<host::EventConnection> click_;
};

}  // namespace morvane
