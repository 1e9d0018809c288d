#pragma once

// The wizard form as a script: it records what Convert shows, and plays the user's clicks at
// the message pass after a chosen cell (STOP, another option, the close box).

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "convert/wizard.h"
#include "convert/wizard_form.h"

namespace morvane::fakes {

class ScriptedWizardForm : public WizardForm {
 public:
  // The user's actions, played while messages are processed after the k-th cell (from 1).
  void PressStopAfterCell(int k) {
    actions_[k].push_back([] { CommandButton1_Click(); });
  }
  void ChooseOptionAfterCell(int k, std::optional<CaseMode> choice) {
    actions_[k].push_back([this, choice] { option = choice; });
  }
  void PressCloseBoxAfterCell(int k) {
    actions_[k].push_back([this] { closeRequested_ = true; });
  }
  // Called with the name of every port call, as it happens ("SetProgressMax", ...).
  std::function<void(const std::string&)> observer;

  std::optional<CaseMode> option = CaseMode::UpperCase;

  // What Convert did to the form.
  std::optional<float> progressMax;
  std::vector<float> progressValues;
  std::vector<std::u16string> captions;
  bool stopShown = false;
  int messagePasses = 0;
  int closes = 0;

  std::optional<CaseMode> SelectedOption() override {
    Record("SelectedOption");
    return option;
  }
  void ShowStopInsteadOfConvert() override {
    Record("ShowStopInsteadOfConvert");
    stopShown = true;
  }
  void SetProgressMax(float maximum) override {
    Record("SetProgressMax");
    progressMax = maximum;
  }
  void SetProgressValue(float value) override {
    Record("SetProgressValue");
    progressValues.push_back(value);
  }
  void SetPercentCaption(const std::u16string& caption) override {
    Record("SetPercentCaption");
    captions.push_back(caption);
  }
  void ProcessPendingMessages() override {
    Record("ProcessPendingMessages");
    ++messagePasses;
    for (const auto& action : actions_[messagePasses]) {
      action();
    }
  }
  bool CloseRequested() override {
    Record("CloseRequested");
    return closeRequested_;
  }
  void CloseAndDiscard() override {
    Record("CloseAndDiscard");
    ++closes;
  }

 private:
  void Record(const std::string& call) {
    if (observer) {
      observer(call);
    }
  }

  std::map<int, std::vector<std::function<void()>>> actions_;
  bool closeRequested_ = false;
};

}  // namespace morvane::fakes
