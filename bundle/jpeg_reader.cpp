#include "bundle/jpeg_reader.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "bundle/exif_orientation.h"

namespace {

// Rows asked of libjpeg at a time; rows that are turned or converted pass
// through a band this high.
constexpr int kBandRows = 16;

// libjpeg's error manager with where to jump back to. The manager comes
// first, so libjpeg's pointer to it is one to the whole trap.
struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  const std::atomic<bool>* cancel;
};

[[noreturn]] void GiveUp(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// Warnings that leave every pixel as the file means it; any other warning
// is damaged data, which would show as grey or smeared blocks.
bool WarningHarmless(int code) {
  return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC ||
         code == JWRN_ADOBE_XFORM;
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && !WarningHarmless(info->err->msg_code)) GiveUp(info);
}

void Quiet(j_common_ptr) {}

// Called for every row of every pass, the passes over a progressive file's
// scans included.
void OnProgress(j_common_ptr info) {
  const std::atomic<bool>* cancel = reinterpret_cast<ErrorTrap*>(info->err)->cancel;
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) GiveUp(info);
}

// Runs one step of libjpeg calls; false when libjpeg gave up. The jump back
// skips the step's frames, so a step holds nothing with a destructor.
template <typename Step>
bool Trapped(ErrorTrap& trap, Step step) {
  if (setjmp(trap.jump) != 0) return false;
  step();
  return true;
}

// CMYK or YCCK comes out as CMYK. Adobe's programs store the inks inverted
// (0 = full ink) and mark such files with their APP14 segment.
void CmykToBgra(uint8_t* row, int width, bool inverted) {
  for (int x = 0; x < width; ++x, row += 4) {
    int light[4];
    for (int i = 0; i < 4; ++i) light[i] = inverted ? row[i] : 255 - row[i];
    const int k = light[3];
    row[0] = static_cast<uint8_t>((light[2] * k + 127) / 255);
    row[1] = static_cast<uint8_t>((light[1] * k + 127) / 255);
    row[2] = static_cast<uint8_t>((light[0] * k + 127) / 255);
    row[3] = 255;
  }
}

// Copies a band of stored rows to where they stand upright. Column by
// column: when the picture lies on its side, the band's pixels of one
// column are neighbours upright, so each step writes one run of memory.
void PlaceBand(const JSAMPROW* rows, int count, int firstRow, int width, int height, int orientation,
               uint8_t* pixels) {
  UprightLine lines[kBandRows];
  for (int i = 0; i < count; ++i) lines[i] = UprightLineOfRow(orientation, width, height, firstRow + i);
  for (int x = 0; x < width; ++x) {
    for (int i = 0; i < count; ++i) {
      const ptrdiff_t at = static_cast<ptrdiff_t>(lines[i].first) + x * lines[i].step;
      std::memcpy(pixels + at * 4, rows[i] + x * 4, 4);
    }
  }
}

int ScaledSide(int side, int denominator) {
  return static_cast<int>((static_cast<int64_t>(side) + denominator - 1) / denominator);
}

}  // namespace

int ChooseJpegScale(int width, int height, int needWidth, int needHeight) {
  for (int denominator : {8, 4, 2}) {
    if (ScaledSide(width, denominator) >= needWidth && ScaledSide(height, denominator) >= needHeight)
      return denominator;
  }
  return 1;
}

size_t JpegStart(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 2 || data[0] != 0xFF) return size;
  size_t at = 1;
  while (at < size && data[at] == 0xFF) ++at;
  return at < size && data[at] == 0xD8 ? at - 1 : size;
}

struct JpegReader::State {
  jpeg_decompress_struct info = {};
  ErrorTrap trap = {};
  jpeg_progress_mgr progress = {};
  uint64_t memoryLimit = 0;
  bool cmyk = false;
  bool invertedCmyk = false;
  int orientation = 1;
  int width = 0;  // as stored, full or scaled
  int height = 0;
};

JpegReader::JpegReader(const uint8_t* data, size_t size, uint64_t memoryLimit,
                       const std::atomic<bool>* cancel)
    : data_(data), size_(size), state_(new (std::nothrow) State) {
  if (!state_) return;
  state_->memoryLimit = memoryLimit;
  state_->trap.cancel = cancel;
  state_->info.err = jpeg_std_error(&state_->trap.manager);
  state_->trap.manager.error_exit = GiveUp;
  state_->trap.manager.emit_message = OnMessage;
  state_->trap.manager.output_message = Quiet;
  state_->progress.progress_monitor = OnProgress;
}

JpegReader::~JpegReader() {
  // Safe on an object never created too: libjpeg then holds no memory.
  if (state_) jpeg_destroy_decompress(&state_->info);
}

bool JpegReader::ReadHeader() {
  const size_t start = JpegStart(data_, size_);
  if (!state_ || start >= size_ || size_ - start > ULONG_MAX) return false;
  State& s = *state_;
  const bool read = Trapped(s.trap, [&] {
    jpeg_create_decompress(&s.info);
    s.info.progress = &s.progress;
    // 0 would mean no limit.
    s.info.mem->max_memory_to_use =
        static_cast<long>(std::max<uint64_t>(1, std::min<uint64_t>(s.memoryLimit, LONG_MAX)));
    jpeg_mem_src(&s.info, data_ + start, static_cast<unsigned long>(size_ - start));
    jpeg_save_markers(&s.info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&s.info, TRUE);
  });
  if (!read) return false;

  switch (s.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      s.cmyk = true;
      s.invertedCmyk = s.info.saw_Adobe_marker != 0;
      break;
    default:
      return false;
  }
  for (jpeg_saved_marker_ptr marker = s.info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6 &&
        std::memcmp(marker->data, "Exif\0\0", 6) == 0) {
      s.orientation = ExifOrientation(marker->data, marker->data_length);
      break;
    }
  }
  s.width = static_cast<int>(std::min<JDIMENSION>(s.info.image_width, INT_MAX));
  s.height = static_cast<int>(std::min<JDIMENSION>(s.info.image_height, INT_MAX));
  return true;
}

bool JpegReader::SwapsSides() const { return state_ && OrientationSwapsSides(state_->orientation); }

int JpegReader::UprightWidth() const {
  if (!state_) return 0;
  return SwapsSides() ? state_->height : state_->width;
}

int JpegReader::UprightHeight() const {
  if (!state_) return 0;
  return SwapsSides() ? state_->width : state_->height;
}

bool JpegReader::ScaleToAtLeast(int needWidth, int needHeight) {
  if (!state_) return false;
  State& s = *state_;
  const int denominator = SwapsSides() ? ChooseJpegScale(s.width, s.height, needHeight, needWidth)
                                       : ChooseJpegScale(s.width, s.height, needWidth, needHeight);
  s.info.scale_num = 1;
  s.info.scale_denom = static_cast<unsigned int>(denominator);
  s.info.out_color_space = s.cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  s.info.dct_method = JDCT_ISLOW;
  if (!Trapped(s.trap, [&] { jpeg_calc_output_dimensions(&s.info); })) return false;
  s.width = static_cast<int>(s.info.output_width);
  s.height = static_cast<int>(s.info.output_height);
  return true;
}

bool JpegReader::ReadUpright(uint8_t* pixels) {
  if (!state_ || pixels == nullptr) return false;
  return Decompress(pixels, nullptr);
}

bool JpegReader::StoredUpright() const { return state_ && state_->orientation == 1; }

bool JpegReader::ReadUprightRows(const RowSink& sink) {
  if (!StoredUpright()) return false;
  return Decompress(nullptr, &sink);
}

bool JpegReader::Decompress(uint8_t* pixels, const RowSink* sink) {
  State& s = *state_;
  return Trapped(s.trap, [&] {
    OnProgress(reinterpret_cast<j_common_ptr>(&s.info));  // cancelled before the start
    jpeg_start_decompress(&s.info);
    ReadRows(pixels, sink);
    jpeg_finish_decompress(&s.info);
  });
}

void JpegReader::ReadRows(uint8_t* pixels, const RowSink* sink) {
  State& s = *state_;
  jpeg_decompress_struct& info = s.info;
  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  // Upright colour rows go straight into place; the others through a band.
  const bool direct = sink == nullptr && s.orientation == 1 && !s.cmyk;
  JSAMPARRAY band = nullptr;
  if (!direct) {
    band = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                     static_cast<JDIMENSION>(rowBytes), kBandRows);
  }
  JSAMPROW rows[kBandRows];
  while (info.output_scanline < info.output_height) {
    const int first = static_cast<int>(info.output_scanline);
    const int wanted = std::min(kBandRows, height - first);
    for (int i = 0; i < wanted; ++i)
      rows[i] = direct ? pixels + static_cast<size_t>(first + i) * rowBytes : band[i];
    // libjpeg gives a row group or so per call.
    for (int got = 0; got < wanted;) {
      const int more = static_cast<int>(
          jpeg_read_scanlines(&info, rows + got, static_cast<JDIMENSION>(wanted - got)));
      // Only a suspending source returns no rows, and the bytes are all here.
      if (more == 0) ERREXIT(&info, JERR_INPUT_EOF);
      got += more;
    }
    if (direct) continue;
    if (s.cmyk) {
      for (int i = 0; i < wanted; ++i) CmykToBgra(rows[i], width, s.invertedCmyk);
    }
    if (sink != nullptr) {
      for (int i = 0; i < wanted; ++i) (*sink)(rows[i]);
    } else {
      PlaceBand(rows, wanted, first, width, height, s.orientation, pixels);
    }
  }
}
