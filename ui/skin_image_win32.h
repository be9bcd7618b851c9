// Skin images as device contexts, the form in which every skinned control
// takes its pictures: either a file of the skin bundle in the program's own
// tail, decoded by the image library and selected into a memory device
// context, or a rectangle cut from the dialog's skin picture into a memory
// device context of its own (buttons and slider fills: the skin already
// shows them). The owner of a CSkinImage keeps it as long as a control uses
// its context and releases it when the dialog ends.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "bundle/image_object.h"

class VFBUNDLE;

// Opens the skin bundle (theSkinBundle) on the program's own file unless it
// is open already. False when the program file carries no readable bundle.
bool OpenSkinBundle();

class CSkinImage {
 public:
  CSkinImage() = default;
  ~CSkinImage() { Release(); }
  CSkinImage(const CSkinImage&) = delete;
  CSkinImage& operator=(const CSkinImage&) = delete;

  // Loads `name` from the skin bundle, opening it on first use: the file's
  // bytes (LoadFileAnyCategory), decoded, selected into a memory device
  // context compatible with the screen. False, and empty, when the bundle,
  // the file or a usable picture is missing.
  bool Load(const char* name);
  // The same from any opened bundle.
  bool Load(VFBUNDLE& bundle, const char* name);
  // The two halves of Load, for callers that report each failure apart:
  // decoding (false where the image library says -1) and the device context
  // (false when there is no decoded bitmap or no context).
  bool Decode(const void* data, size_t size);
  bool CreateContext();

  // Cuts width x height at (x, y) of `skin` into a new bitmap compatible
  // with `window`'s window device context (BitBlt, SRCCOPY). False, and
  // empty, when GDI refuses the bitmap or the context.
  bool CutFrom(HWND window, HDC skin, int x, int y, int width, int height);

  // Deletes the context and what it holds; the object can be loaded again.
  void Release();

  HDC Context() const { return dc_; }
  // The picture's size: from the image library for a loaded file, the
  // rectangle's for a cut; 0 while empty.
  int GetWidth() const;
  int GetHeight() const;

 private:
  std::unique_ptr<CImageObject> image_;  // owns the bitmap of a loaded file
  HBITMAP cutBitmap_ = nullptr;          // owned bitmap of a cut
  HDC dc_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;     // the context's own, put back before deletion
  int cutWidth_ = 0;
  int cutHeight_ = 0;
};
