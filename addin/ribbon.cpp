#include "addin/ribbon.h"

#include "addin/text_file.h"
#include "commands/command_table.h"
#include "commands/commands.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

// The ribbon's control ids, in the order they are compared.
constexpr commands::NamedCommand kIdCommands[] = {
    {u"mvUndo", UndoLastChange},       {u"mvRedo", RedoLastChange},
    {u"mvMain", commands::ShowWizard}, {u"mvAB", commands::ShowAbout},
    {u"mvTO", commands::SwitchOff},    {u"mvOH", commands::OpenUserGuide},
};

}  // namespace

std::u16string GetCustomUI(std::u16string_view /*ribbonId*/, RibbonPlatform& platform) {
  return ReadTextFile(platform.ModuleFolder() / kRibbonFileName, platform);
}

void RibbonHandler(RibbonControl& Ctrl) {
  commands::RunNamedCommand(kIdCommands, Ctrl.Id());
}

}  // namespace morvane
