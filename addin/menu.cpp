#include "addin/menu.h"

#include <memory>
#include <string>
#include <string_view>

#include "addin/model/add_in_identity.h"
#include "addin/model/continue_on_error.h"
#include "addin/model/errors.h"
#include "commands/cb_morvane.h"
#include "snapshot/connected_host.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

constexpr std::u16string_view kMenuBar = u"Worksheet Menu Bar";
constexpr std::u16string_view kPopupCaption = u"&Morvane";
// Marks the popup as this add-in's, so that one left without its caption can still be found.
constexpr std::u16string_view kPopupTag = kProgId;
// More caption-less popups of ours than any run of refusals could have left.
constexpr int kMostLeftovers = 8;

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

// A popup whose caption was refused, and then its removal too, is out of reach of remMenuBar.
// Only the bar's first caption-less control is looked at, and it is deleted only when it
// carries the add-in's tag: no other control is ever touched.
void RemoveUncaptionedPopups() {
  const std::shared_ptr<host::CommandBarControls> controls = RequireObject(MenuBar()).Controls();
  for (int i = 0; i < kMostLeftovers; ++i) {
    const std::shared_ptr<host::CommandBarControl> control =
        RequireObject(controls).Item(std::u16string());
    if (RequireObject(control).Tag() != kPopupTag) {
      return;
    }
    control->Delete();
  }
}

}  // namespace

void TarvelMB_Add() {
  // Screen updating stays off for the seven control additions and their property writes.
  RunStep([] { ConnectedHost()->SetScreenUpdating(false); });
  RunStep([] { remMenuBar(); });  // a permanent popup survives in the host's saved layout
  RunStep(RemoveUncaptionedPopups);
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
  // The tag goes on before the caption: should the caption and then the removal be refused,
  // the next build still recognises the popup.
  RunStep([&] { RequireObject(popup).SetTag(std::u16string(kPopupTag)); });
  if (!RunStep([&] { RequireObject(popup).SetCaption(std::u16string(kPopupCaption)); })) {
    // Without its caption nobody can use the popup and remMenuBar cannot find it.
    RunStep([&] { RequireObject(popup).Delete(); });
    popup.reset();
  }
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
