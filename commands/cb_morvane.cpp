#include "commands/cb_morvane.h"

#include <stdexcept>
#include <string>

#include "addin/model/continue_on_error.h"
#include "addin/model/errors.h"
#include "commands/command_table.h"
#include "commands/commands.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

// The menu's command tags, in the order they are compared.
constexpr commands::NamedCommand kTagCommands[] = {
    {u"mvWizard", commands::ShowWizard}, {u"mvHelp", commands::OpenUserGuide},
    {u"mvUndo", UndoLastChange},         {u"mvRedo", RedoLastChange},
    {u"mvExit", commands::SwitchOff},    {u"mvAbout", commands::ShowAbout},
};

}  // namespace

void cbMorvane::SetCbBtn(std::shared_ptr<host::CommandBarControl> button) {
  click_.reset();
  cbBtn_.reset();
  if (!button) {
    return;
  }
  std::weak_ptr<cbMorvane> weakSelf = weak_from_this();
  if (weakSelf.expired()) {
    throw std::logic_error("a cbMorvane must be owned by a shared_ptr before it watches a button");
  }
  // The connection holds the sink weakly: the sink owns the connection, and a strong
  // reference back would keep both alive for ever. During a click the handler holds the sink
  // strongly, because Exit makes the host disconnect the add-in inside the click, and that
  // empties colButtons, which releases this very sink.
  click_ = button->ConnectClick(
      [weakSelf](const std::shared_ptr<host::CommandBarControl>& ctrl, bool& cancelDefault) {
        if (std::shared_ptr<cbMorvane> self = weakSelf.lock()) {
          self->cbBtn_Click(ctrl, cancelDefault);
        }
      });
  cbBtn_ = std::move(button);
}

void cbMorvane::cbBtn_Click(const std::shared_ptr<host::CommandBarControl>& Ctrl,
                            bool& CancelDefault) {
  std::u16string tag;
  if (RunStep([&] { tag = RequireObject(Ctrl).Tag(); })) {
    RunStep([&] { commands::RunNamedCommand(kTagCommands, tag); });
  }
  CancelDefault = true;
}

}  // namespace morvane
