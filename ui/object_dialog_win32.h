// Modal dialogs whose state is an object: made from the caller's request
// when the dialog opens, kept in the window's DWLP_USER, handed every later
// message through Handle and deleted when the window goes. `Dialog` has a
// constructor (HWND, Request&), Initialize() and
// INT_PTR Handle(UINT, WPARAM, LPARAM); its destructor does the clean-up.
#pragma once

#include <windows.h>

template <class Dialog, class Request>
INT_PTR CALLBACK ObjectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = new Dialog(dialog, *reinterpret_cast<Request*>(lParam));
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->Initialize();
    return TRUE;
  }
  if (self == nullptr) return FALSE;
  if (message == WM_DESTROY) {
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    delete self;
    return TRUE;
  }
  return self->Handle(message, wParam, lParam);
}

template <class Dialog, class Request>
INT_PTR RunObjectDialog(HINSTANCE instance, int resourceId, HWND owner, Request& request) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(resourceId), owner, ObjectDialogProc<Dialog, Request>,
                         reinterpret_cast<LPARAM>(&request));
}
