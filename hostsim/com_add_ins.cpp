// Application.COMAddIns: the listed add-ins and their Connect property.

#include "hostsim/state.h"

namespace morvane::sim {
namespace {

class ComAddInObject : public host::ComAddIn {
 public:
  ComAddInObject(std::shared_ptr<Excel::State> state, std::u16string progId)
      : state_(std::move(state)), progId_(std::move(progId)) {}

  void SetConnect(bool connect) override {
    state_->Enter("ComAddIn.SetConnect");
    for (ComAddInEntry& entry : state_->comAddIns) {
      if (entry.progId != progId_ || entry.connected == connect) {
        continue;
      }
      entry.connected = connect;
      if (!connect && entry.onDisconnect) {
        // Excel calls OnDisconnection inside the property write. The add-in may release
        // everything it holds in there, this object's owner included: keep what the call needs.
        const auto keepState = state_;
        const std::function<void()> onDisconnect = entry.onDisconnect;
        onDisconnect();
      }
      return;
    }
  }

 private:
  std::shared_ptr<Excel::State> state_;
  std::u16string progId_;
};

}  // namespace

std::shared_ptr<host::ComAddIn> MakeComAddIn(std::shared_ptr<Excel::State> state,
                                             std::u16string progId) {
  return std::make_shared<ComAddInObject>(std::move(state), std::move(progId));
}

}  // namespace morvane::sim
