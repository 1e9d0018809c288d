#include "snapshot/sheet_copy.h"

#include "addin/model/continue_on_error.h"
#include "snapshot/connected_host.h"

namespace morvane {
namespace {

// Removes a copy that could not be finished, so a failed attempt leaves no visible
// "Sheet1 (2)" behind. When the host failed to hand the copy over, it is still the active
// sheet; the name check keeps the working sheet itself safe from the deletion.
void DeleteStrayCopy(host::Application& app, std::shared_ptr<host::Sheet> copy,
                     const std::u16string& workingName) {
  if (!copy) {
    copy = ActiveSheetOf(app);
    if (copy->Name() == workingName) {
      return;
    }
  }
  copy->Delete();
}

}  // namespace

void ActivateWorkingSheet(host::Application& app, const std::u16string& name) {
  app.Sheets()->Item(name)->Activate();
}

std::shared_ptr<host::Sheet> CopyAsHidden(host::Application& app, host::Sheet& working,
                                          const std::u16string& name,
                                          const std::u16string& copyName) {
  working.CopyAfter(working);
  std::shared_ptr<host::Sheet> copy;
  try {
    copy = ActiveSheetOf(app);
    copy->SetName(copyName);
    copy->SetVisible(false);
  } catch (...) {
    RunStep([&] { DeleteStrayCopy(app, copy, name); });
    RunStep([&] { ActivateWorkingSheet(app, name); });
    throw;
  }
  return copy;
}

}  // namespace morvane
