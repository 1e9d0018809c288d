#include "about/win32/about_dialog.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "about/about_text.h"
#include "about/win32/about_layout.h"
#include "addin/win32/design_units.h"
#include "addin/win32/dialog_procedure.h"
#include "addin/win32/high_contrast.h"
#include "addin/win32/wide_text.h"
#include "resources/dialog_ids.h"

namespace morvane::win32 {
namespace {

RECT ToRect(const PixelRect& rect) {
  return {rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
}

// Keeps a window disabled for as long as it lives, if it was enabled before.
class DisabledWhileModal {
 public:
  explicit DisabledWhileModal(HWND window)
      : window_(window && IsWindowEnabled(window) ? window : nullptr) {
    if (window_) {
      EnableWindow(window_, FALSE);
    }
  }
  ~DisabledWhileModal() {
    if (window_ && IsWindow(window_)) {
      EnableWindow(window_, TRUE);
    }
  }
  DisabledWhileModal(const DisabledWhileModal&) = delete;
  DisabledWhileModal& operator=(const DisabledWhileModal&) = delete;

 private:
  HWND window_;
};

// The About box frmUG: two labels on two painted panels with a painted separator, on a pink
// background. It exists from its loading to its release, shown only while ShowModal runs.
class AboutDialog final : public ui::AboutWindow {
 public:
  AboutDialog(HINSTANCE module, ui::AboutEvents& events) : events_(events) {
    // Created without an owner: the box stays loaded, hidden, for as long as the add-in, and
    // must not be destroyed with whichever host window happened to be active at its loading
    // (Excel 2013 and later give every workbook a window of its own). ShowModal lends it one.
    CreateDialogParamW(
        module, MAKEINTRESOURCEW(IDD_FRMUG), nullptr,
        &DialogProcedure<AboutDialog, &AboutDialog::window_, &AboutDialog::OnMessage>,
        reinterpret_cast<LPARAM>(this));
    if (!window_) {
      const DWORD error = GetLastError();
      throw std::runtime_error("the About box could not be created (error " +
                               std::to_string(error) + ")");
    }
  }

  ~AboutDialog() override {
    if (window_) {
      DestroyWindow(window_);
    }
  }

  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

  ui::WindowHandle Handle() override { return reinterpret_cast<ui::WindowHandle>(window_); }

  void SetLabel2(const std::u16string& text) override {
    if (!window_) {
      return;
    }
    SetDlgItemTextW(window_, IDC_LABEL2, ToWide(text).c_str());
    // The label is transparent over its panel: the panel must be painted again under it.
    RECT area = ToRect(ToPixels(kLabel2Twips, kTwipsPerInch, dpi_));
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  // A modal window of our own: the owner (the host's window) is disabled and this thread's
  // messages run here until the close box is pressed.
  void ShowModal() override {
    if (!window_) {
      throw std::logic_error("the About window no longer exists");
    }
    closeRequested_ = false;
    SetOwner(GetActiveWindow());  // owned by the host's window only while on screen
    {
      DisabledWhileModal ownerBlocked(GetWindow(window_, GW_OWNER));
      CenterOnOwner(window_);
      ShowWindow(window_, SW_SHOW);
      // The footer is the box's one control: a keyboard user is on it at once.
      SendMessageW(window_, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(GetDlgItem(window_, IDC_LABEL21)), TRUE);
      RunMessagesUntilClosed();
    }  // the owner is enabled again before this window hides, so it gets the activation back
    if (window_) {
      ShowWindow(window_, SW_HIDE);
      SetOwner(nullptr);
    }
  }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        SetUp();
        // No focus for a box that loads hidden and has no control to take it: setting it would
        // activate the hidden window and take the activation from the host's.
        return FALSE;
      case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(background_.get());
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        return ColourLabel(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      case WM_PAINT:
        OnPaint();
        return TRUE;
      case WM_DRAWITEM:
        if (wParam == IDC_LABEL21) {
          DrawFooter(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          return TRUE;
        }
        return FALSE;
      case WM_SYSCOLORCHANGE:
      case WM_SETTINGCHANGE:  // high contrast switched on or off
        ChooseColours();
        InvalidateRect(window_, nullptr, TRUE);
        return FALSE;
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window_, IDC_LABEL21)) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        return FALSE;
      case WM_COMMAND:
        // The footer: a click or Space on it. Enter (IDOK, the box's default id), Escape and
        // the close box, as the dialog manager reports it (IDCANCEL), close the box: a user
        // pressing Enter on a box with no other control expects it to close.
        if (LOWORD(wParam) == IDC_LABEL21 && HIWORD(wParam) == BN_CLICKED) {
          OnFooterClicked();
        } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
          closeRequested_ = true;
        }
        return TRUE;
      case WM_CLOSE:
        closeRequested_ = true;
        return TRUE;
      case WM_NCDESTROY:
        window_ = nullptr;  // destroyed with its owner, or by our release
        return FALSE;
      default:
        return FALSE;
    }
  }

  // For a top-level window, GWLP_HWNDPARENT is its owner.
  void SetOwner(HWND owner) {
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT,
                      reinterpret_cast<LONG_PTR>(owner == window_ ? nullptr : owner));
  }

  void SetUp() {
    dpi_ = ScreenDpi();
    label2Font_ = CreateDesignFont(kAboutFontFace, kLabel2Points, dpi_);
    footerFont_ = CreateDesignFont(kAboutFontFace, kLabel21Points, dpi_);
    ChooseColours();

    PlaceItem(window_, IDC_LABEL2, ToPixels(kLabel2Twips, kTwipsPerInch, dpi_));
    PlaceItem(window_, IDC_LABEL21, ToPixels(kLabel21Twips, kTwipsPerInch, dpi_));
    SetItemFont(IDC_LABEL2, label2Font_);
    SetItemFont(IDC_LABEL21, footerFont_);
    SetDlgItemTextW(window_, IDC_LABEL21, ToWide(about::FooterText()).c_str());
    SendMessageW(window_, DM_SETDEFID, IDOK, 0);  // Enter closes the box, wherever the focus is
    SetClientSize(window_, ToPixels(kAboutWidthTwips, kTwipsPerInch, dpi_),
                  ToPixels(kAboutHeightTwips, kTwipsPerInch, dpi_));
  }

  void SetItemFont(int id, const Font& font) {
    if (font.get()) {
      SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
  }

  // The form's own colours, or in high-contrast mode the system's: the dialog face, text on
  // window-coloured panels, and the link in the hyperlink colour.
  void ChooseColours() {
    const bool system = HighContrastOn();
    const auto pick = [system](unsigned long own, int systemColour) {
      return system ? GetSysColor(systemColour) : own;
    };
    background_.reset(CreateSolidBrush(pick(kAboutBackground, COLOR_BTNFACE)));
    panelFill_.reset(CreateSolidBrush(pick(kPanelFill, COLOR_WINDOW)));
    panelOutline_.reset(CreateSolidBrush(pick(kPanelOutline, COLOR_WINDOWTEXT)));
    line1_.reset(CreatePen(PS_SOLID, 1, pick(kLine1Colour, COLOR_WINDOWTEXT)));
    label2Text_ = pick(kLabel2Text, COLOR_WINDOWTEXT);
    footerText_ = pick(kLabel21Text, COLOR_HOTLIGHT);
  }

  // Both labels are transparent over their panels, in their own text colours.
  INT_PTR ColourLabel(HDC dc, HWND label) {
    const bool footer = label == GetDlgItem(window_, IDC_LABEL21);
    SetTextColor(dc, footer ? footerText_ : label2Text_);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
  }

  void OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    PaintPanels(dc);
    EndPaint(window_, &paint);
  }

  // The footer is a button drawn as the one-line label it replaces: what lies under it is
  // painted as the dialog paints it, then its text, and the focus rectangle while it has the
  // keyboard focus.
  void DrawFooter(const DRAWITEMSTRUCT& item) {
    RECT onDialog = item.rcItem;
    MapWindowPoints(item.hwndItem, window_, reinterpret_cast<POINT*>(&onDialog), 2);
    POINT origin;
    SetViewportOrgEx(item.hDC, -onDialog.left, -onDialog.top, &origin);
    FillRect(item.hDC, &onDialog, background_.get());
    PaintPanels(item.hDC);
    SetViewportOrgEx(item.hDC, origin.x, origin.y, nullptr);

    wchar_t text[256] = L"";
    GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
    RECT box = item.rcItem;
    const HGDIOBJ previousFont =
        SelectObject(item.hDC, footerFont_.get() ? static_cast<HGDIOBJ>(footerFont_.get())
                                                 : GetStockObject(DEFAULT_GUI_FONT));
    ColourLabel(item.hDC, item.hwndItem);
    DrawTextW(item.hDC, text, -1, &box, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(item.hDC, previousFont);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
      DrawFocusRect(item.hDC, &item.rcItem);
    }
  }

  void PaintPanels(HDC dc) {
    for (const DesignRect& shape : {kShape1Twips, kShape2Twips}) {
      const RECT panel = ToRect(ToPixels(shape, kTwipsPerInch, dpi_));
      FillRect(dc, &panel, panelFill_.get());
      FrameRect(dc, &panel, panelOutline_.get());
    }
    const HGDIOBJ previousPen = SelectObject(dc, line1_.get());
    MoveToEx(dc, ToPixels(kLine1FromXTwips, kTwipsPerInch, dpi_),
             ToPixels(kLine1FromYTwips, kTwipsPerInch, dpi_), nullptr);
    LineTo(dc, ToPixels(kLine1ToXTwips, kTwipsPerInch, dpi_),
           ToPixels(kLine1ToYTwips, kTwipsPerInch, dpi_));
    SelectObject(dc, previousPen);
  }

  // A failure of the footer's handler must not unwind through the system's window procedure
  // frames; the box stays open as it is, like after any click that opened no page.
  void OnFooterClicked() noexcept {
    try {
      events_.Label21_Click();
    } catch (...) {
    }
  }

  void RunMessagesUntilClosed() {
    MSG message;
    while (window_ && !closeRequested_) {
      const BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got == -1) {
        return;
      }
      if (got == 0) {
        // Quitting closes the box; the request belongs to the loop that owns the thread.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      if (!IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }

  ui::AboutEvents& events_;
  HWND window_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool closeRequested_ = false;
  Font label2Font_;
  Font footerFont_;
  Brush background_;
  Brush panelFill_;
  Brush panelOutline_;
  Pen line1_;
  COLORREF label2Text_ = 0;
  COLORREF footerText_ = 0;
};

}  // namespace

std::unique_ptr<ui::AboutWindow> LoadAboutDialog(HINSTANCE module, ui::AboutEvents& events) {
  return std::make_unique<AboutDialog>(module, events);
}

}  // namespace morvane::win32
