#include "convert/win32/wizard_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

#include "addin/win32/design_units.h"
#include "addin/win32/dialog_procedure.h"
#include "addin/win32/wide_text.h"
#include "convert/win32/progress_position.h"
#include "convert/win32/wizard_layout.h"
#include "convert/wizard.h"
#include "convert/wizard_form.h"
#include "resources/dialog_ids.h"

namespace morvane::win32 {
namespace {

// What DialogBoxParam returns once the form has closed; 0 and -1 mean it never opened.
constexpr INT_PTR kClosed = 1;

struct OptionMode {
  int id;
  CaseMode mode;
};
// In the order Convert checks them.
constexpr OptionMode kOptions[] = {
    {IDC_OPTUC, CaseMode::UpperCase},
    {IDC_OPTLC, CaseMode::LowerCase},
    {IDC_OPTTC, CaseMode::TitleCase},
    {IDC_OPTSC, CaseMode::SentenceCase},
};

// The dialog frmMV. It is the form Convert talks to and decides nothing itself: it shows what
// Convert tells it and passes the user's clicks on. A fresh dialog is made for every showing,
// so each one starts from the design-time state.
class WizardDialog final : public WizardForm {
 public:
  explicit WizardDialog(HINSTANCE module) : module_(module) {}

  void Run() {
    const INT_PTR result = DialogBoxParamW(
        module_, MAKEINTRESOURCEW(IDD_FRMMV), GetActiveWindow(),
        &DialogProcedure<WizardDialog, &WizardDialog::dialog_, &WizardDialog::OnMessage>,
        reinterpret_cast<LPARAM>(this));
    if (result != kClosed) {
      const DWORD error = GetLastError();
      throw std::runtime_error("the conversion wizard could not be shown (error " +
                               std::to_string(error) + ")");
    }
  }

  // Asked for every cell: the buttons' handles are kept, since looking a control up by its id
  // costs a round trip to the Wine server each time, where asking the button does not.
  std::optional<CaseMode> SelectedOption() override {
    for (std::size_t n = 0; n < std::size(kOptions); ++n) {
      if (SendMessageW(options_[n], BM_GETCHECK, 0, 0) == BST_CHECKED) {
        return kOptions[n].mode;
      }
    }
    return std::nullopt;
  }

  void ShowStopInsteadOfConvert() override {
    HWND convert = GetDlgItem(dialog_, IDC_CMDCONVERT);
    HWND stop = GetDlgItem(dialog_, IDC_COMMANDBUTTON1);
    const bool convertHadFocus = GetFocus() == convert;
    ShowWindow(stop, SW_SHOW);
    ShowWindow(convert, SW_HIDE);
    // The keyboard focus must not stay on a hidden button.
    if (convertHadFocus) {
      SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(stop), TRUE);
    }
    // Focus on a push button makes it the default: Enter would then stop the run. Enter stays
    // with the hidden CONVERT, which ignores it while Convert runs; STOP takes Space, a click
    // or Escape.
    SendMessageW(dialog_, DM_SETDEFID, IDC_CMDCONVERT, 0);
  }

  void SetProgressMax(float maximum) override {
    progressMax_ = maximum;
    ShowProgress();
  }

  void SetProgressValue(float value) override {
    progressValue_ = value;
    ShowProgress();
  }

  // Convert gives the caption for every cell, but it changes at most 101 times a run: only a
  // change reaches the screen, so the label is painted once per new text.
  void SetPercentCaption(const std::u16string& caption) override {
    if (caption == shownCaption_) {
      return;
    }
    shownCaption_ = caption;
    const std::wstring text = ToWide(caption);
    SetDlgItemTextW(dialog_, IDC_LBLPER, text.c_str());
    // An owner-drawn label is not bound to repaint itself when its text changes.
    InvalidateRect(GetDlgItem(dialog_, IDC_LBLPER), nullptr, TRUE);
    NameProgressBar(text);
  }

  // DoEvents: runs every message waiting for this thread, then returns. It runs after every
  // cell, and most of the time nothing waits: asking the queue first costs one round trip to
  // the Wine server, where an empty PeekMessage pass costs several and flushes the window
  // surfaces. Anything waiting (a click, a key, a paint, a message sent from another thread)
  // still runs in this pass.
  void ProcessPendingMessages() override {
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) {
      return;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The request to quit belongs to the loop that owns the thread: put it back for it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      if (!IsDialogMessageW(dialog_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }

  bool CloseRequested() override { return closeRequested_; }

  void CloseAndDiscard() override { EndDialog(dialog_, kClosed); }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        SetUpDesignTimeState();
        return TRUE;  // the focus goes to the first tab stop, the selected option
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_CLOSE:  // the close box, Alt+F4
        OnCloseRequest();
        return TRUE;
      case WM_DRAWITEM:
        if (wParam == IDC_LBLPER) {
          DrawEtchedLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  }

  void SetUpDesignTimeState() {
    const int dpi = ScreenDpi();
    textFont_ = CreateDesignFont(kWizardFontFace, kWizardTextPoints, dpi);
    optionFont_ = CreateDesignFont(kWizardFontFace, kWizardOptionPoints, dpi);
    for (const WizardItem& item : kWizardItems) {
      PlaceItem(dialog_, item.id, ToPixels(OnForm(item), kPointsPerInch, dpi));
      const Font& font = item.optionFont ? optionFont_ : textFont_;
      if (font.get()) {
        SendDlgItemMessageW(dialog_, item.id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()),
                            FALSE);
      }
    }
    SetClientSize(dialog_, ToPixels(kWizardWidthPoints, kPointsPerInch, dpi),
                  ToPixels(kWizardHeightPoints, kPointsPerInch, dpi));
    CenterOnOwner(dialog_);
    CheckRadioButton(dialog_, IDC_OPTUC, IDC_OPTSC, IDC_OPTUC);
    for (std::size_t n = 0; n < std::size(kOptions); ++n) {
      options_[n] = GetDlgItem(dialog_, kOptions[n].id);
    }
    bar_ = GetDlgItem(dialog_, IDC_PROGRESSBAR1);
    SendDlgItemMessageW(dialog_, IDC_PROGRESSBAR1, PBM_SETRANGE32, 0, MORVANE_PROGRESS_STEPS);
    SendDlgItemMessageW(dialog_, IDC_PROGRESSBAR1, PBM_SETPOS, 0, 0);
    wchar_t percent[16] = L"";
    GetDlgItemTextW(dialog_, IDC_LBLPER, percent, static_cast<int>(std::size(percent)));
    NameProgressBar(percent);
    SendMessageW(dialog_, DM_SETDEFID, IDC_CMDCONVERT, 0);
  }

  void OnCommand(int id, int notification) {
    if (id == IDCANCEL) {  // Escape, and the close box as the dialog manager reports it
      OnCloseRequest();
      return;
    }
    if (notification != BN_CLICKED) {
      return;
    }
    if (id == IDC_CMDCONVERT) {
      // A second press (Enter on a hidden default button, a queued click) while Convert runs
      // must not start it again inside its own message processing.
      if (!converting_) {
        converting_ = true;
        cmdConvert_Click(*this);
        converting_ = false;
      }
    } else if (id == IDC_COMMANDBUTTON1) {
      CommandButton1_Click();
    }
  }

  // While Convert runs the window stays: Convert sees the request after the current cell,
  // stops, runs its closing steps and closes the form itself.
  void OnCloseRequest() {
    if (converting_) {
      closeRequested_ = true;
    } else {
      EndDialog(dialog_, kClosed);
    }
  }

  // What a screen reader calls the bar. Windows' accessibility proxy names a progress bar after
  // the static text before it (lblPer, the percentage); Wine's and other readers' take its
  // window text, which a progress bar never paints. Both then carry the percentage.
  void NameProgressBar(const std::wstring& percent) {
    SetDlgItemTextW(dialog_, IDC_PROGRESSBAR1, (L"Conversion progress " + percent).c_str());
  }

  // The bar moves only when its drawn fill does: a position within the same pixel column would
  // repaint it for nothing, once per cell. The empty and the full bar are always shown exactly.
  void ShowProgress() {
    const int position = ProgressBarPosition(progressValue_, progressMax_);
    if (position == shownPosition_) {
      return;
    }
    RECT client{};
    GetClientRect(bar_, &client);
    const int fill = MulDiv(position, client.right - client.left, MORVANE_PROGRESS_STEPS);
    const bool atAnEnd = position == 0 || position == MORVANE_PROGRESS_STEPS;
    if (fill == shownFill_ && !atAnEnd) {
      return;
    }
    shownPosition_ = position;
    shownFill_ = fill;
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }

  // lblPer: centred text in an etched border, on the dialog's face colour.
  void DrawEtchedLabel(const DRAWITEMSTRUCT& item) const {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &box, EDGE_ETCHED, BF_RECT | BF_ADJUST);
    wchar_t text[64] = L"";
    GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
    const HGDIOBJ previousFont =
        SelectObject(item.hDC, textFont_.get() ? static_cast<HGDIOBJ>(textFont_.get())
                                               : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, previousFont);
  }

  HINSTANCE module_;
  HWND dialog_ = nullptr;
  HWND options_[std::size(kOptions)] = {};
  HWND bar_ = nullptr;
  Font textFont_;
  Font optionFont_;
  float progressMax_ = 0;
  float progressValue_ = 0;
  // What the screen shows now, so that only changes are drawn.
  int shownPosition_ = 0;
  int shownFill_ = 0;
  std::u16string shownCaption_;
  bool converting_ = false;
  bool closeRequested_ = false;
};

}  // namespace

void RunWizardDialog(HINSTANCE module) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  WizardDialog dialog(module);
  dialog.Run();
}

}  // namespace morvane::win32
