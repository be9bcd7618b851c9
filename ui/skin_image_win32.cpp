#include "ui/skin_image_win32.h"

#include "bundle/bundle.h"
#include "bundle/program_bundles.h"

bool OpenSkinBundle() {
  if (theSkinBundle.directoryOffset >= 0) return true;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return theSkinBundle.Open(path);
}

bool CSkinImage::Load(const char* name) { return OpenSkinBundle() && Load(theSkinBundle, name); }

bool CSkinImage::Load(VFBUNDLE& bundle, const char* name) {
  Release();
  const uint8_t* data = bundle.LoadFileAnyCategory(name);
  if (data == nullptr) return false;
  return Decode(data, bundle.GetFileSizeAnyCategory(name)) && CreateContext();
}

bool CSkinImage::Decode(const void* data, size_t size) {
  Release();
  auto image = std::make_unique<CImageObject>();
  if (image->Load(data, size, nullptr) == -1) return false;
  image_ = std::move(image);
  return true;
}

bool CSkinImage::CreateContext() {
  if (image_ == nullptr || dc_ != nullptr) return dc_ != nullptr;
  HBITMAP bitmap = image_->GetObjectDataPtr()->GetBitmap();
  if (bitmap == nullptr) return false;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return false;
  originalBitmap_ = SelectObject(dc_, bitmap);
  return true;
}

bool CSkinImage::CutFrom(HWND window, HDC skin, int x, int y, int width, int height) {
  Release();
  HDC windowDC = GetWindowDC(window);
  if (windowDC == nullptr) return false;
  cutBitmap_ = CreateCompatibleBitmap(windowDC, width, height);
  dc_ = cutBitmap_ != nullptr ? CreateCompatibleDC(windowDC) : nullptr;
  ReleaseDC(window, windowDC);
  if (dc_ == nullptr) {
    Release();
    return false;
  }
  originalBitmap_ = SelectObject(dc_, cutBitmap_);
  cutWidth_ = width;
  cutHeight_ = height;
  BitBlt(dc_, 0, 0, width, height, skin, x, y, SRCCOPY);
  return true;
}

void CSkinImage::Release() {
  if (dc_ != nullptr) {
    SelectObject(dc_, originalBitmap_);
    DeleteDC(dc_);
  }
  if (cutBitmap_ != nullptr) DeleteObject(cutBitmap_);
  image_.reset();
  dc_ = nullptr;
  originalBitmap_ = nullptr;
  cutBitmap_ = nullptr;
  cutWidth_ = cutHeight_ = 0;
}

int CSkinImage::GetWidth() const {
  if (image_ != nullptr) return image_->GetObjectDataPtr()->GetWidth();
  return cutWidth_;
}

int CSkinImage::GetHeight() const {
  if (image_ != nullptr) return image_->GetObjectDataPtr()->GetHeight();
  return cutHeight_;
}
