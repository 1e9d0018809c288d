#pragma once

// What the conversion wizard's Convert needs of its form frmMV. The Windows dialog implements
// this port and decides nothing itself; tests drive Convert with a scripted form.

#include <optional>
#include <string>

#include "convert/rules/case_rules.h"

namespace morvane {

class WizardForm {
 public:
  virtual ~WizardForm() = default;

  // The option selected right now (optUC, optLC, optTC, optSC), or none when no option is
  // checked. Asked again for every cell, so a change during a conversion applies to the cells
  // that follow.
  virtual std::optional<CaseMode> SelectedOption() = 0;

  // Hides CONVERT and shows STOP in its place, so a conversion cannot be started twice.
  virtual void ShowStopInsteadOfConvert() = 0;

  // ProgressBar1 holds single-precision numbers, as the common control does.
  virtual void SetProgressMax(float maximum) = 0;
  virtual void SetProgressValue(float value) = 0;
  // lblPer's caption.
  virtual void SetPercentCaption(const std::u16string& caption) = 0;

  // Lets the pending window messages run (DoEvents). This is the only moment a click on STOP
  // or on an option, or the window's close box, takes effect during a conversion.
  virtual void ProcessPendingMessages() = 0;

  // True once the user asked to close the window (close box, Alt+F4) while Convert runs. The
  // dialog does not close itself then: Convert stops after the current cell and closes it.
  virtual bool CloseRequested() = 0;

  // Closes the window and discards the form, so the next showing starts from the design-time
  // state (UPPER CASE, empty bar, "0%", CONVERT visible).
  virtual void CloseAndDiscard() = 0;
};

}  // namespace morvane
