// Undo and redo: the working sheet trades places with its hidden copy by renaming and
// showing/hiding sheets. No sheet is copied, moved or deleted, so the working sheet keeps its
// place among the tabs.

#include <memory>
#include <string>

#include "addin/ui_port.h"
#include "snapshot/busy_settings.h"
#include "snapshot/connected_host.h"
#include "snapshot/copy_names.h"
#include "snapshot/main_code.h"
#include "snapshot/reversible_steps.h"

namespace morvane {
namespace {

// The first sheet in workbook order whose name is exactly `name`, letter case included.
std::shared_ptr<host::Sheet> FindExactly(host::Application& app, const std::u16string& name) {
  const auto sheets = app.Sheets();
  const std::int32_t count = sheets->Count();
  for (std::int32_t i = 1; i <= count; ++i) {
    auto sheet = sheets->Item(i);
    if (sheet->Name() == name) {
      return sheet;
    }
  }
  return nullptr;
}

std::shared_ptr<host::Sheet> SheetNamed(host::Application& app, const std::u16string& name) {
  return app.Sheets()->Item(name);
}

// Runs a swap between the busy and the normal settings. The normal settings are applied on
// every path, so a step that fails part-way never leaves Excel without screen updates,
// recalculation or alerts; then the first failure goes to the caller.
template <class Swap>
void WhileHostIsBusy(Swap&& swap) {
  std::exception_ptr failure;
  try {
    ApplyBusySettings();
    swap();
  } catch (...) {
    failure = std::current_exception();
  }
  const std::exception_ptr restoreFailure = ApplyNormalSettings(kStoreDoneStatusText);
  if (!failure) {
    failure = restoreFailure;
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
}

// True when the command can run; otherwise the user has been told why.
bool WorkbookIsOpen(host::Application& app) {
  if (app.WorkbooksCount() != 0) {
    return true;
  }
  ui::Current().ShowMessage(u"Pleas add or open a workbook!!");
  return false;
}

// Runs the renames and visibility changes of one swap. A swap that fails half-way would leave
// both copies, or a visible copy, or no sheet with the working name; it is taken back instead,
// and the failure goes on.
template <class Swap>
void SwapOrTakeBack(Swap&& swap) {
  ReversibleSteps steps;
  try {
    swap(steps);
  } catch (...) {
    steps.TakeBack();
    throw;
  }
}

// The working sheet becomes the redo copy and the undo copy becomes the working sheet.
void SwapInUndoCopy(host::Application& app, const std::u16string& name,
                    const std::shared_ptr<host::Sheet>& undoCopy) {
  SwapOrTakeBack([&](ReversibleSteps& steps) {
    const auto working = SheetNamed(app, name);
    steps.Run([&] { working->SetName(RedoCopyName(name)); }, [=] { working->SetName(name); });
    steps.Run([&] { undoCopy->SetName(name); }, [=] { undoCopy->SetName(UndoCopyName(name)); });
    // Shown before the other is hidden, so the workbook always keeps a visible sheet.
    steps.Run([&] { undoCopy->SetVisible(true); }, [=] { undoCopy->SetVisible(false); });
    steps.Run([&] { working->SetVisible(false); }, [=] { working->SetVisible(true); });
  });
}

// The reverse: the redo copy becomes the working sheet again, the working sheet the undo copy.
void SwapInRedoCopy(host::Application& app, const std::u16string& name,
                    const std::shared_ptr<host::Sheet>& redoCopy) {
  SwapOrTakeBack([&](ReversibleSteps& steps) {
    const auto working = SheetNamed(app, name);
    steps.Run([&] { redoCopy->SetVisible(true); }, [=] { redoCopy->SetVisible(false); });
    steps.Run([&] { working->SetVisible(false); }, [=] { working->SetVisible(true); });
    steps.Run([&] { working->SetName(UndoCopyName(name)); }, [=] { working->SetName(name); });
    steps.Run([&] { redoCopy->SetName(name); }, [=] { redoCopy->SetName(RedoCopyName(name)); });
  });
}

using CopyName = std::u16string (*)(const std::u16string& sheetName);
using Swap = void (*)(host::Application& app, const std::u16string& name,
                      const std::shared_ptr<host::Sheet>& copy);

// Undo and redo alike: the working sheet trades places with its copy of the given name, if
// there is one, and is made the active sheet again.
void SwapWithCopy(CopyName copyName, Swap swap) {
  const auto app = ConnectedHost();
  if (!WorkbookIsOpen(*app)) {
    return;
  }
  WhileHostIsBusy([&] {
    const std::u16string name = ActiveSheetOf(*app)->Name();
    if (const auto copy = FindExactly(*app, copyName(name))) {
      swap(*app, name, copy);
    }
    SheetNamed(*app, name)->Activate();
  });
}

}  // namespace

void UndoLastChange() {
  SwapWithCopy(UndoCopyName, SwapInUndoCopy);
}

void RedoLastChange() {
  SwapWithCopy(RedoCopyName, SwapInRedoCopy);
}

}  // namespace morvane
