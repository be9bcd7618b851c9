// The pixels as a top-down 32-bit DIB section, and the GDI operations over
// it. Drawing selects the section into a memory device context of its own
// for the call, so source coordinates are plain top-left device coordinates.
#include "bundle/image_data.h"

#include <windows.h>

#include <type_traits>

static_assert(std::is_same<HDC, HDC__*>::value && std::is_same<HBITMAP, HBITMAP__*>::value,
              "image_data.h names the GDI handles by their STRICT types");

namespace {

// A memory device context with the picture's bitmap selected for one call.
class SourceContext {
 public:
  SourceContext(HDC target, HBITMAP bitmap) {
    if (bitmap == nullptr) return;
    dc_ = CreateCompatibleDC(target);
    // Some device contexts (a surface's, say) refuse to make a compatible one.
    if (dc_ == nullptr) dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) return;
    previous_ = SelectObject(dc_, bitmap);
    if (previous_ == nullptr) {
      DeleteDC(dc_);
      dc_ = nullptr;
    }
  }
  ~SourceContext() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  SourceContext(const SourceContext&) = delete;
  SourceContext& operator=(const SourceContext&) = delete;

  HDC dc() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Sets a stretch mode on a device context for one call and puts the old
// mode and brush origin back afterwards. Half-tone needs the brush origin
// reset after the mode is set.
class StretchModeScope {
 public:
  StretchModeScope(HDC dc, int mode) : dc_(dc) {
    if (mode == 0) return;
    previousMode_ = SetStretchBltMode(dc_, mode);
    if (mode == HALFTONE) brushMoved_ = SetBrushOrgEx(dc_, 0, 0, &previousOrigin_) != FALSE;
  }
  ~StretchModeScope() {
    if (brushMoved_) SetBrushOrgEx(dc_, previousOrigin_.x, previousOrigin_.y, nullptr);
    if (previousMode_ != 0) SetStretchBltMode(dc_, previousMode_);
  }
  StretchModeScope(const StretchModeScope&) = delete;
  StretchModeScope& operator=(const StretchModeScope&) = delete;

 private:
  HDC dc_;
  int previousMode_ = 0;
  bool brushMoved_ = false;
  POINT previousOrigin_ = {};
};

}  // namespace

bool CImageData::AllocateStore(int width, int height, Store& store) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return false;
  if (bits == nullptr) {
    DeleteObject(bitmap);
    return false;
  }
  store.pixels = static_cast<uint8_t*>(bits);  // the system zero-fills it
  store.bitmap = bitmap;
  store.width = width;
  store.height = height;
  return true;
}

void CImageData::ReleaseStore(Store& store) {
  if (store.bitmap != nullptr) DeleteObject(static_cast<HBITMAP>(store.bitmap));
  store = Store();
}

HBITMAP CImageData::GetBitmap() const { return static_cast<HBITMAP>(store_.bitmap); }

bool CImageData::Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                      int /*mode*/, unsigned long rop) const {
  SourceContext source(dc, GetBitmap());
  if (source.dc() == nullptr) return false;
  return BitBlt(dc, x, y, width, height, source.dc(), sourceX, sourceY, rop) != FALSE;
}

bool CImageData::Stretch(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                         int sourceWidth, int sourceHeight, int mode, unsigned long rop) const {
  SourceContext source(dc, GetBitmap());
  if (source.dc() == nullptr) return false;
  StretchModeScope scope(dc, mode);
  return StretchBlt(dc, x, y, width, height, source.dc(), sourceX, sourceY, sourceWidth,
                    sourceHeight, rop) != FALSE;
}
