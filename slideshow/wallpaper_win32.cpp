#include "slideshow/wallpaper_win32.h"

#include <windows.h>

#include <memory>

#include "bundle/image_object.h"
#include "foundation/logger.h"
#include "foundation/saver_settings.h"
#include "slideshow/picture_fit.h"

namespace {

void SetDesktopValue(const char* name, const char* value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(lstrlenA(value) + 1));
  RegCloseKey(key);
}

}  // namespace

void SaveWallpaper(BundleSlideshowHost& host, int32_t photo, const std::string& path, int width, int height,
                   bool stretch) {
  VFFILE* file = host.PhotoFile(photo);
  if (file == nullptr || host.ImageCategory() == nullptr) return;
  // The bytes of a photograph on screen went once its tiles were cut; a
  // loader may be reading the cache now, so this reads a copy of its own.
  const std::unique_ptr<uint8_t[]> bytes = host.ImageCategory()->ReadCopy(file);
  if (bytes == nullptr) return;

  CImageObject picture;
  picture.Load(bytes.get(), file->size);
  FittedSize target{width, height};
  if (!stretch) {
    const ImageDims* dims = host.FindDims(file);
    if (dims != nullptr) target = FitInside(dims->width, dims->height, width, height);
  }
  picture.GetObjectDataPtr()->Resize(target.width, target.height, ImageResizeFilter_Smooth);
  picture.Save(path.c_str(), CImageObject::GetCodecIdFromExtension("bmp", ImageCodecType_Write), nullptr);
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()),
                        SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

void LeaveWallpaper(SlideshowInstance& slideshow, int32_t photo, const std::string& path, int desktopWidth,
                    int desktopHeight) {
  SetDesktopValue("TileWallpaper", "0");
  SetDesktopValue("WallpaperStyle", ss->StretchWallpaper ? "2" : "0");
  ZV_LOG_INFO("Saving images as wallpaper");
  SaveWallpaper(slideshow.Host(), photo, path, desktopWidth, desktopHeight, ss->StretchWallpaper != 0);
}
