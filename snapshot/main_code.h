#pragma once

// The module Main_Code: the add-in's module-level state and the sheet snapshot store.

#include <memory>
#include <vector>

#include "addin/model/host.h"

namespace morvane {

class cbMorvane;

// The host, stored at connection and emptied at disconnection. Every host call goes through it.
extern std::shared_ptr<host::Application> xlApp;
// One event sink per menu button; replaced on every build of the popup, emptied at
// disconnection.
extern std::vector<std::shared_ptr<cbMorvane>> colButtons;

// The snapshot store: one level of undo and redo, as hidden copies of the active sheet named
// after it with "_Undo" or "_Redo" appended. A failed host call goes to the caller as
// host::HostError.
void SnapshotActiveSheet();
void UndoLastChange();
void RedoLastChange();

}  // namespace morvane
