#pragma once

// The ribbon half of Connect: the markup for the host, and the one callback its buttons name.
// Neither handles failures: they go back to the host as the failure of its call.

#include <string>
#include <string_view>

#include "addin/model/ribbon_platform.h"

namespace morvane {

// The pressed ribbon control (Office's IRibbonControl), as far as the add-in reads it.
class RibbonControl {
 public:
  virtual ~RibbonControl() = default;
  virtual std::u16string Id() = 0;
};

// The name of the ribbon markup file, beside the add-in's DLL.
inline constexpr std::u16string_view kRibbonFileName = u"MorvaneRibbon.xml";

// The markup in MorvaneRibbon.xml beside the DLL, read afresh on every call so that an edited
// file takes effect the next time the host asks. The ribbon id is not used: the host has one.
// A missing file is created empty and gives empty markup.
std::u16string GetCustomUI(std::u16string_view ribbonId, RibbonPlatform& platform);

// Runs the command of the control's id: mvUndo, mvRedo, mvMain (the wizard), mvAB (About),
// mvTO (switch the add-in off), mvOH (the online user guide). Other ids do nothing.
void RibbonHandler(RibbonControl& Ctrl);

}  // namespace morvane
