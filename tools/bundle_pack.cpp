#include "tools/bundle_pack.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/image_data.h"
#include "bundle/image_records.h"

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The size the saver shows: upright, so a photograph whose EXIF orientation
// lays it on its side has its sides swapped. Its bytes are packed as they
// are; the decoder turns it. It is decoded too, so that a damaged
// photograph is caught when packing instead of when the saver shows it: at
// the smallest scale, which still reads all of a JPEG's data.
bool UprightDecodedSize(const std::vector<uint8_t>& encoded, int32_t& width, int32_t& height) {
  int uprightWidth = 0;
  int uprightHeight = 0;
  CImageData image;
  if (!ReadUprightImageSize(encoded.data(), encoded.size(), uprightWidth, uprightHeight) ||
      !image.DecodeAtLeast(encoded.data(), encoded.size(), 1, 1))
    return false;
  width = uprightWidth;
  height = uprightHeight;
  return true;
}

// The "image" file entry a record names: exact name, as the slideshow's
// record lookup compares it.
const BundleItem* FindPhotograph(const BundlePlan& plan, const std::string& photo) {
  for (const BundleItem& item : plan.items) {
    if (item.kind == BundleItem::Kind::File && item.category == "image" && item.name == photo) return &item;
  }
  return nullptr;
}

bool MakeRecord(const BundlePlan& plan, const BundleItem& item, std::vector<uint8_t>& bytes,
                std::string& error) {
  const BundleItem* photo = FindPhotograph(plan, item.photo);
  if (photo == nullptr) {
    error = item.origin + ": no \"image\" entry named " + item.photo;
    return false;
  }
  if (item.kind == BundleItem::Kind::Caps) {
    ImageCaption caption;
    caption.name = item.photo;
    caption.text = item.text;
    return SerializeImageCaption(caption, bytes);
  }
  std::vector<uint8_t> encoded;
  ImageDims dims;
  if (!ReadWholeFile(photo->source, encoded)) {
    error = photo->origin + ": cannot read " + photo->source;
    return false;
  }
  if (!UprightDecodedSize(encoded, dims.width, dims.height)) {
    error = item.origin + ": " + photo->source + " does not decode as an image";
    return false;
  }
  dims.name = item.photo;
  dims.horizontalOnly = item.horizontalOnly ? 1 : 0;
  dims.verticalOnly = item.verticalOnly ? 1 : 0;
  return SerializeImageDims(dims, true, bytes);
}

bool ItemBytes(const BundlePlan& plan, const BundleItem& item, std::vector<uint8_t>& bytes,
               std::string& error) {
  if (item.kind != BundleItem::Kind::File) return MakeRecord(plan, item, bytes, error);
  if (!ReadWholeFile(item.source, bytes)) {
    error = item.origin + ": cannot read " + item.source;
    return false;
  }
  return true;
}

}  // namespace

bool FillBundle(const BundlePlan& plan, BundleWriter& writer, std::string& error) {
  for (const std::string& category : plan.categories) {
    if (!writer.AddCategory(category)) {
      error = "invalid category name \"" + category + "\"";
      return false;
    }
    std::vector<const BundleItem*> added;
    for (const BundleItem& item : plan.items) {
      if (item.category != category) continue;
      // The reader's lookups ignore case: a second "A.jpg" beside "a.jpg"
      // could never be found.
      for (const BundleItem* earlier : added) {
        if (BundleNameMatches(earlier->name, item.name.c_str())) {
          error = item.origin + ": " + category + "/" + item.name + " repeats " + earlier->origin;
          return false;
        }
      }
      std::vector<uint8_t> bytes;
      if (!ItemBytes(plan, item, bytes, error)) return false;
      if (!writer.AddFile(item.name, bytes)) {
        error = item.origin + ": cannot add " + category + "/" + item.name +
                " (a name may not start with '?'; the bundle must stay below 4 GiB)";
        return false;
      }
      added.push_back(&item);
    }
  }
  return true;
}
