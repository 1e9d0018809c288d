// Taking a snapshot: the active sheet is copied aside as its hidden undo copy, replacing any
// earlier copy of it.

#include <memory>
#include <string>

#include "addin/continue_on_error.h"
#include "snapshot/connected_host.h"
#include "snapshot/copy_names.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

// Deletes the undo and the redo copy of the working sheet. Only one of them exists while the
// store keeps its own invariant; when the user has made both by hand, both go, because a
// remaining undo copy would block the new copy's name.
void DeleteCopiesOf(host::Application& app, const std::u16string& name) {
  const std::u16string undoName = UndoCopyName(name);
  const std::u16string redoName = RedoCopyName(name);
  const auto sheets = app.Sheets();
  std::int32_t count = sheets->Count();
  for (std::int32_t i = 1; i <= count;) {
    const auto sheet = sheets->Item(i);
    const std::u16string sheetName = sheet->Name();
    if (sheetName == undoName || sheetName == redoName) {
      sheet->Delete();
      --count;  // the next sheet has moved into position i
    } else {
      ++i;
    }
  }
}

// Removes a copy that could not be made into the undo copy, so a failed snapshot leaves no
// visible "Sheet1 (2)" behind. When the host failed to hand the copy over, it is still the
// active sheet; the name check keeps the working sheet itself safe from the deletion.
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

void ActivateWorkingSheet(host::Application& app, const std::u16string& name) {
  app.Sheets()->Item(name)->Activate();
}

// Turns the fresh copy, which Excel has made the active sheet, into the hidden undo copy and
// goes back to the working sheet. On failure the half-made copy is removed and the working
// sheet is made active again with its selection: the caller goes on converting the active
// sheet, so it has to be the right one. The failure still goes to the caller.
void FinishUndoCopy(host::Application& app, const std::u16string& name) {
  std::shared_ptr<host::Sheet> copy;
  bool copyFinished = false;
  try {
    copy = ActiveSheetOf(app);
    copy->SetName(UndoCopyName(name));
    copy->SetVisible(false);
    copyFinished = true;
    ActivateWorkingSheet(app, name);
  } catch (...) {
    // A finished undo copy is kept: it is hidden, correctly named and holds the sheet as it
    // was, so the conversion that follows can still be undone.
    if (!copyFinished) {
      RunStep([&] { DeleteStrayCopy(app, copy, name); });
    }
    RunStep([&] { ActivateWorkingSheet(app, name); });
    throw;
  }
}

}  // namespace

void SnapshotActiveSheet() {
  const auto app = ConnectedHost();
  const auto working = ActiveSheetOf(*app);
  const std::u16string name = working->Name();
  DeleteCopiesOf(*app, name);
  working->CopyBefore(*working);
  FinishUndoCopy(*app, name);
}

}  // namespace morvane
