// Skinned check boxes: an owner-drawn BUTTON window whose label is part of
// the dialog's skin picture; the control draws only the check image,
// transparently through a mask, at its right edge. CToggleSet owns every
// toggle of a dialog with the four shared pictures and flips a toggle when
// the button reports it pressed.
#pragma once

#include <windows.h>

#include "foundation/linked_list.h"

class CToggleButton {
 public:
  explicit CToggleButton(int id) : id_(id) {}
  ~CToggleButton() { Detach(); }
  CToggleButton(const CToggleButton&) = delete;
  CToggleButton& operator=(const CToggleButton&) = delete;

  // Reads the client rectangle, the place on the parent (window rectangle
  // minus the parent's, which is where the control sits on the skin), the
  // check image's place (right edge, vertically centred), creates the
  // composing buffer and subclasses the window. The cursor is kept only
  // when one is given.
  void Attach(HWND window, HWND parent, int imageWidth, int imageHeight, HCURSOR cursor);
  // Restores the procedure and user data, releases the window DC and
  // deletes the buffer.
  void Detach();

  // Composes the control in its buffer: its own rectangle of the skin
  // picture, then `image` where `mask` is black (SRCINVERT, SRCAND,
  // SRCINVERT on a white background and black text colour), and copies the
  // result to the record's DC.
  void Draw(HDC image, HDC mask, HDC skin, const DRAWITEMSTRUCT* record);

  // The button's procedure: the cursor on WM_SETCURSOR, otherwise the
  // previous procedure.
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  int GetId() const { return id_; }
  bool IsChecked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  // Whether the last drawing showed the button held down.
  bool IsPressed() const { return pressed_; }
  void SetPressed(bool pressed) { pressed_ = pressed; }
  HWND GetWindow() const { return window_; }
  int GetImageX() const { return imageX_; }
  int GetImageY() const { return imageY_; }
  const RECT& GetOffset() const { return offset_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC previousProc_ = nullptr;
  HCURSOR cursor_ = nullptr;
  HWND window_ = nullptr;
  HDC buffer_ = nullptr;
  HBITMAP bufferBitmap_ = nullptr;
  HGDIOBJ bufferOriginal_ = nullptr;
  HDC windowDC_ = nullptr;
  RECT client_ = {};
  RECT offset_ = {};
  int imageX_ = 0;
  int imageY_ = 0;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  int id_;
  bool checked_ = false;
  bool pressed_ = false;
};

class CToggleSet {
 public:
  CToggleSet() = default;
  ~CToggleSet() { Clear(); }
  CToggleSet(const CToggleSet&) = delete;
  CToggleSet& operator=(const CToggleSet&) = delete;

  // Creates a toggle for the control window, attaches it and keeps it.
  CToggleButton* Add(int id, int imageWidth, int imageHeight, HWND control, HWND parent, HCURSOR cursor);
  // The dialog's pictures, deleted by the dialog.
  void SetImages(HDC checkedImage, HDC uncheckedImage, HDC checkedMask, HDC uncheckedMask);

  CToggleButton* Find(int id);
  // Unknown ids change nothing and read as unchecked.
  void SetChecked(int id, bool checked);
  void Toggle(int id);
  bool IsChecked(int id);

  // Draws toggle `id` with the pair for its current state; a record with
  // ODS_SELECTED (the button pressed) flips the state after the choice, so
  // the press still shows the old state and the release redraw the new one;
  // further drawings while it stays pressed flip nothing.
  // False for an id that is no toggle of this set.
  bool DrawItem(int id, HDC skin, const DRAWITEMSTRUCT* record);

  // Destroys every toggle (each detached).
  void Clear();
  int Count() const { return toggles_.Count(); }

 private:
  LinkedList<CToggleButton*> toggles_;  // owned
  HDC checkedImage_ = nullptr;
  HDC uncheckedImage_ = nullptr;
  HDC checkedMask_ = nullptr;
  HDC uncheckedMask_ = nullptr;
};
