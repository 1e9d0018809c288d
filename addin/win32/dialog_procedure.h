#pragma once

// The dialog procedure of a dialog object. The object is the creation parameter of
// CreateDialogParamW / DialogBoxParamW; WM_INITDIALOG keeps it in DWLP_USER and gives it its
// window, and every message from then on goes to its handler. Messages before WM_INITDIALOG
// (WM_SETFONT) find no object and get the default handling.

#include <windows.h>

namespace morvane::win32 {

template <class Dialog, HWND Dialog::*Window, INT_PTR (Dialog::*Handler)(UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<Dialog*>(lParam)->*Window = window;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  return self ? (self->*Handler)(message, wParam, lParam) : FALSE;
}

}  // namespace morvane::win32
