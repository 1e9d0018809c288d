#include "addin/menu.h"

#include <memory>
#include <string>
#include <string_view>

#include "addin/automation_errors.h"
#include "addin/continue_on_error.h"
#include "commands/cb_morvane.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

constexpr std::u16string_view kMenuBar = u"Worksheet Menu Bar";
constexpr std::u16string_view kPopupCaption = u"&Morvane";

struct MenuButton {
  std::u16string_view caption;
  int faceId;
  std::u16string_view tag;
  bool beginGroup;    // set only where true
  bool hasParameter;  // Parameter "1", set only where true; nothing reads it back
};

// In menu order: undo and redo; the wizard; About and the guide; Exit.
constexpr MenuButton kButtons[] = {
    {u"Undo Changes", 128, u"mvUndo", false, false},
    {u"Redo Changes", 129, u"mvRedo", false, false},
    {u"&Morvane &Wizard", 65, u"mvWizard", true, false},
    {u"&About Morvane", 487, u"mvAbout", true, true},
    {u"Online &User Guide", 984, u"mvHelp", false, true},
    {u"E&xit", 7640, u"mvExit", true, true},
};

std::shared_ptr<host::CommandBar> MenuBar() {
  return ConnectedHost()->CommandBar(std::u16string(kMenuBar));
}

// Adds one button to the popup, and its sink to colButtons. Each step may fail on its own; the
// sink is collected even without a button.
void AddButton(const std::shared_ptr<host::CommandBarControl>& popup, const MenuButton& row) {
  std::shared_ptr<host::CommandBarControl> button;
  RunStep([&] {
    host::ControlAddArgs args;
    args.type = host::kControlButton;
    button = RequireObject(RequireObject(popup).Controls()).Add(args);
  });
  RunStep([&] { RequireObject(button).SetCaption(std::u16string(row.caption)); });
  RunStep([&] { RequireObject(button).SetFaceId(row.faceId); });
  RunStep([&] { RequireObject(button).SetTag(std::u16string(row.tag)); });
  RunStep([&] { RequireObject(button).SetStyle(host::kButtonIconAndCaption); });
  if (row.beginGroup) {
    RunStep([&] { RequireObject(button).SetBeginGroup(true); });
  }
  if (row.hasParameter) {
    RunStep([&] { RequireObject(button).SetParameter(u"1"); });
  }
  std::shared_ptr<cbMorvane> sink;
  RunStep([&] { sink = std::make_shared<cbMorvane>(); });
  RunStep([&] { RequireObject(sink).SetCbBtn(button); });
  RunStep([&] { colButtons.push_back(sink); });
}

}  // namespace

void TarvelMB_Add() {
  // Screen updating stays off for the seven control additions and their property writes.
  RunStep([] { ConnectedHost()->SetScreenUpdating(false); });
  RunStep([] { remMenuBar(); });  // a permanent popup survives in the host's saved layout
  RunStep([] { colButtons = {}; });

  std::shared_ptr<host::CommandBar> bar;
  RunStep([&] { bar = MenuBar(); });
  RunStep([&] { RequireObject(bar).SetVisible(true); });

  std::shared_ptr<host::CommandBarControl> popup;
  RunStep([&] {
    host::ControlAddArgs args;
    args.type = host::kControlPopup;
    args.temporary = false;
    popup = RequireObject(RequireObject(bar).Controls()).Add(args);
  });
  RunStep([&] { RequireObject(popup).SetCaption(std::u16string(kPopupCaption)); });
  RunStep([&] { RequireObject(popup).SetVisible(true); });
  RunStep([&] { RequireObject(popup).SetBeginGroup(true); });

  for (const MenuButton& row : kButtons) {
    AddButton(popup, row);
  }

  RunStep([] { ConnectedHost()->SetScreenUpdating(true); });
}

void remMenuBar() {
  std::shared_ptr<host::CommandBarControl> popup =
      RequireObject(RequireObject(MenuBar()).Controls()).Item(std::u16string(kPopupCaption));
  RequireObject(popup).Delete();
}

}  // namespace morvane
