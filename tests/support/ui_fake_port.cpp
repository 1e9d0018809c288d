#include "ui_fake_port.h"

namespace morvane::fakes {
namespace {

class FakeAboutWindow : public ui::AboutWindow {
 public:
  FakeAboutWindow(std::shared_ptr<AboutWindowRecord> record, ui::AboutEvents& events,
                  std::function<void(ui::AboutEvents&)> whileOpen)
      : record_(std::move(record)), events_(events), whileOpen_(std::move(whileOpen)) {}
  ~FakeAboutWindow() override { record_->loaded = false; }

  ui::WindowHandle Handle() override { return record_->handle; }
  void SetLabel2(const std::u16string& text) override { record_->label2.push_back(text); }
  void ShowModal() override {
    ++record_->modalShows;
    if (whileOpen_) {
      whileOpen_(events_);
    }
  }

 private:
  std::shared_ptr<AboutWindowRecord> record_;
  ui::AboutEvents& events_;
  std::function<void(ui::AboutEvents&)> whileOpen_;
};

}  // namespace

bool FakeUi::Untouched() const {
  return messages.empty() && wizardShows == 0 && aboutWindows.empty() && shellRequests.empty();
}

void FakeUi::ShowMessage(const std::u16string& text) {
  messages.push_back(text);
}

void FakeUi::ShowWizard() {
  if (wizardFailure) {
    std::rethrow_exception(wizardFailure);
  }
  ++wizardShows;
  if (whileWizardOpen) {
    whileWizardOpen();
  }
}

std::unique_ptr<ui::AboutWindow> FakeUi::LoadAbout(ui::AboutEvents& events) {
  if (aboutLoadFailure) {
    std::rethrow_exception(aboutLoadFailure);
  }
  auto record = std::make_shared<AboutWindowRecord>();
  record->handle = 0x10000 + aboutWindows.size();
  aboutWindows.push_back(record);
  // The script is read when the box is shown, so a test may set it after the window loaded.
  return std::make_unique<FakeAboutWindow>(record, events, [this](ui::AboutEvents& e) {
    if (whileAboutOpen) {
      whileAboutOpen(e);
    }
  });
}

std::intptr_t FakeUi::OpenWithShell(const ui::ShellRequest& request) {
  shellRequests.push_back(request);
  return shellResult;
}

std::shared_ptr<FakeUi> InstallFakeUi() {
  auto fake = std::make_shared<FakeUi>();
  ui::Install(fake);
  return fake;
}

}  // namespace morvane::fakes
