// Taking a snapshot: the active sheet is copied aside as its hidden undo copy, replacing any
// earlier copy of it.

#include <memory>
#include <string>

#include "addin/model/continue_on_error.h"
#include "snapshot/connected_host.h"
#include "snapshot/copy_names.h"
#include "snapshot/main_code.h"
#include "snapshot/sheet_copy.h"

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

// Makes the working sheet active again with its selection: the caller goes on converting the
// active sheet, so it has to be the right one. A finished undo copy is kept when this fails: it
// is hidden, correctly named and holds the sheet as it was, so the conversion that follows can
// still be undone.
void ReturnToWorkingSheet(host::Application& app, const std::u16string& name) {
  try {
    ActivateWorkingSheet(app, name);
  } catch (...) {
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
  CopyAsHidden(*app, *working, name, UndoCopyName(name));
  ReturnToWorkingSheet(*app, name);
}

}  // namespace morvane
