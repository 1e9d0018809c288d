#pragma once

// The classic menu: the "&Morvane" popup on the host's "Worksheet Menu Bar", with six buttons
// and a cbMorvane sink for each. Built on hosts of version 11 and lower only.

namespace morvane {

// Builds the popup afresh (deleting one left from before, by its caption or, without one, by
// its tag) and replaces colButtons with six new sinks. A popup whose caption is refused is
// deleted at once. Continue on error: never fails, and screen updating is back on at its end.
void TarvelMB_Add();

// Deletes the popup that the host finds by its caption. The first failure goes to the caller;
// with no popup on the bar, the look-up fails and nothing is deleted.
void remMenuBar();

}  // namespace morvane
