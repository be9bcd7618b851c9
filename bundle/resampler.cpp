#include "bundle/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Weights are fixed point with 14 fraction bits, and fit 16 bits. The rows
// summed down keep 6 fraction bits of the colour, which fits 16 bits too
// even where a cubic's negative lobes push a sum past full scale; 16-bit
// factors let the compiler multiply a whole vector at once.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kVerticalShift = 8;
constexpr int kHorizontalShift = 2 * kWeightBits - kVerticalShift;

double Radius(ResampleKernel kernel) {
  switch (kernel) {
    case ResampleKernel::Box:
      return 0.5;
    case ResampleKernel::Triangle:
      return 1.0;
    default:
      return 2.0;
  }
}

// Mitchell and Netravali's family of cubics.
double Cubic(double x, double b, double c) {
  x = std::fabs(x);
  if (x < 1.0)
    return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x + (6 - 2 * b)) / 6;
  if (x < 2.0)
    return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x + (8 * b + 24 * c)) /
           6;
  return 0.0;
}

double Weight(ResampleKernel kernel, double x) {
  switch (kernel) {
    case ResampleKernel::Box:
      return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0;
    case ResampleKernel::Triangle:
      return std::max(0.0, 1.0 - std::fabs(x));
    case ResampleKernel::Mitchell:
      return Cubic(x, 1.0 / 3, 1.0 / 3);
    case ResampleKernel::CatmullRom:
    case ResampleKernel::Smooth:
      return Cubic(x, 0.0, 0.5);
  }
  return 0.0;
}

// For each output pixel along one axis: the first source pixel it reads and
// `taps` weights from there on (zero where the filter does not reach), so
// the inner loops run a fixed count. Taps come in pairs, for the vector
// multiply-add of two 16-bit products; the last pair may reach one pixel
// past the picture's end, with a zero weight.
struct AxisWeights {
  int taps = 0;
  std::vector<int> first;
  std::vector<int16_t> weights;  // taps per output pixel
};

AxisWeights MakeAxisWeights(int sourceSize, int targetSize, ResampleKernel kernel) {
  const double ratio = static_cast<double>(sourceSize) / targetSize;
  if (kernel == ResampleKernel::Smooth)
    kernel = ratio > 1.0 ? ResampleKernel::Mitchell : ResampleKernel::CatmullRom;
  // Shrinking widens the filter so every source pixel counts.
  const double stretch = std::max(ratio, 1.0);
  const double reach = Radius(kernel) * stretch;

  struct Span {
    int first;
    std::vector<double> weights;
  };
  std::vector<Span> spans(static_cast<size_t>(targetSize));
  int taps = 1;
  for (int i = 0; i < targetSize; ++i) {
    const double centre = (i + 0.5) * ratio;
    const int from = static_cast<int>(std::ceil(centre - reach - 0.5));
    const int to = static_cast<int>(std::floor(centre + reach - 0.5));
    Span& span = spans[static_cast<size_t>(i)];
    span.first = std::clamp(from, 0, sourceSize - 1);
    const int last = std::clamp(to, 0, sourceSize - 1);
    span.weights.assign(static_cast<size_t>(last - span.first + 1), 0.0);
    double sum = 0.0;
    for (int j = from; j <= to; ++j) {
      const double w = Weight(kernel, (j + 0.5 - centre) / stretch);
      // Beyond the edges the outermost pixel repeats.
      span.weights[static_cast<size_t>(std::clamp(j, 0, sourceSize - 1) - span.first)] += w;
      sum += w;
    }
    if (sum == 0.0) {  // a filter narrower than the pixel spacing: nearest
      span.weights.assign(1, 1.0);
      span.first = std::clamp(static_cast<int>(centre), 0, sourceSize - 1);
      sum = 1.0;
    }
    for (double& w : span.weights) w /= sum;
    taps = std::max(taps, static_cast<int>(span.weights.size()));
  }

  AxisWeights axis;
  axis.taps = std::min(taps, sourceSize);
  axis.taps += axis.taps % 2;
  axis.first.resize(static_cast<size_t>(targetSize));
  axis.weights.assign(static_cast<size_t>(targetSize) * static_cast<size_t>(axis.taps), 0);
  for (int i = 0; i < targetSize; ++i) {
    const Span& span = spans[static_cast<size_t>(i)];
    const int first = std::max(0, std::min(span.first, sourceSize - axis.taps));
    axis.first[static_cast<size_t>(i)] = first;
    int16_t* w = &axis.weights[static_cast<size_t>(i) * static_cast<size_t>(axis.taps)];
    const int offset = span.first - first;
    int32_t total = 0;
    int largest = offset;
    for (size_t k = 0; k < span.weights.size(); ++k) {
      const int32_t fixed = static_cast<int32_t>(std::lround(span.weights[k] * kWeightOne));
      w[offset + static_cast<int>(k)] = static_cast<int16_t>(fixed);
      total += fixed;
      if (fixed > w[largest]) largest = offset + static_cast<int>(k);
    }
    // Rounding must not change the sum, or flat colours would drift.
    w[largest] = static_cast<int16_t>(w[largest] + kWeightOne - total);
  }
  return axis;
}

int32_t PairOf(const int16_t* weights) {
  int32_t pair;
  std::memcpy(&pair, weights, sizeof pair);
  return pair;
}

// Adds the weighted source rows under one output row into sums (one per
// channel value of a source row). rows[k] is the k-th row under the filter.
void SumDown(const uint8_t* const* rows, size_t rowValues, const int16_t* weights, int taps, int32_t* sums) {
  std::fill(sums, sums + rowValues, 0);
  for (int k = 0; k < taps; k += 2) {
    if (weights[k] == 0 && weights[k + 1] == 0) continue;
    const uint8_t* upper = rows[k];
    const uint8_t* lower = rows[k + 1];
    size_t x = 0;
#if defined(__SSE2__)
    // Bytes of the two rows interleaved, widened to 16 bits, and multiplied
    // by the weight pair and summed in one instruction: four sums at a time.
    const __m128i pair = _mm_set1_epi32(PairOf(weights + k));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= rowValues; x += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x));
      const __m128i low = _mm_unpacklo_epi8(a, b);
      const __m128i high = _mm_unpackhi_epi8(a, b);
      __m128i* out = reinterpret_cast<__m128i*>(sums + x);
      _mm_storeu_si128(out, _mm_add_epi32(_mm_loadu_si128(out),
                                          _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), pair)));
      _mm_storeu_si128(out + 1, _mm_add_epi32(_mm_loadu_si128(out + 1),
                                              _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), pair)));
      _mm_storeu_si128(out + 2, _mm_add_epi32(_mm_loadu_si128(out + 2),
                                              _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), pair)));
      _mm_storeu_si128(out + 3, _mm_add_epi32(_mm_loadu_si128(out + 3),
                                              _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), pair)));
    }
#endif
    for (; x < rowValues; ++x) sums[x] += weights[k] * upper[x] + weights[k + 1] * lower[x];
  }
}

// One output row from the summed-down row: each output pixel's taps across,
// rounded and clamped to bytes.
void SumAcross(const int16_t* column, int targetWidth, const AxisWeights& across, uint8_t* out) {
  const int16_t* weights = across.weights.data();
  for (int x = 0; x < targetWidth; ++x, weights += across.taps, out += 4) {
    const int16_t* in = column + static_cast<size_t>(across.first[static_cast<size_t>(x)]) * 4;
#if defined(__SSE2__)
    // Two neighbouring pixels' channels interleaved (b b g g r r a a) meet
    // the weight pair in one multiply-add.
    __m128i sum = _mm_set1_epi32(1 << (kHorizontalShift - 1));
    for (int k = 0; k < across.taps; k += 2, in += 8) {
      const __m128i two = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      const __m128i channels = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(channels, _mm_set1_epi32(PairOf(weights + k))));
    }
    sum = _mm_srai_epi32(sum, kHorizontalShift);
    const __m128i words = _mm_packs_epi32(sum, sum);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    std::memcpy(out, &bytes, sizeof bytes);
#else
    int32_t sum[4] = {};
    for (int k = 0; k < across.taps; ++k, in += 4)
      for (int c = 0; c < 4; ++c) sum[c] += weights[k] * in[c];
    for (int c = 0; c < 4; ++c) {
      const int32_t value = (sum[c] + (1 << (kHorizontalShift - 1))) >> kHorizontalShift;
      out[c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
#endif
  }
}

}  // namespace

struct RowResampler::Weights {
  AxisWeights across;
  AxisWeights down;
};

RowResampler::RowResampler() = default;
RowResampler::~RowResampler() = default;

bool RowResampler::Start(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight,
                         ResampleKernel kernel, Sink rowSink) {
  weights_.reset();
  if (sourceWidth < 1 || sourceHeight < 1 || targetWidth < 1 || targetHeight < 1) return false;
  try {
    auto weights = std::make_unique<Weights>();
    weights->across = MakeAxisWeights(sourceWidth, targetWidth, kernel);
    weights->down = MakeAxisWeights(sourceHeight, targetHeight, kernel);
    sourceHeight_ = sourceHeight;
    targetWidth_ = targetWidth;
    targetHeight_ = targetHeight;
    rowValues_ = static_cast<size_t>(sourceWidth) * 4;
    taps_ = weights->down.taps;
    ring_.assign(rowValues_ * static_cast<size_t>(taps_), 0);
    sums_.assign(rowValues_, 0);
    // One pixel more, zero, for a last tap pair that reaches past the end.
    column_.assign(rowValues_ + 4, 0);
    out_.assign(static_cast<size_t>(targetWidth) * 4, 0);
    rows_.assign(static_cast<size_t>(taps_), nullptr);
    weights_ = std::move(weights);
  } catch (const std::bad_alloc&) {
    return false;
  }
  sink_ = std::move(rowSink);
  pushed_ = 0;
  made_ = 0;
  return true;
}

void RowResampler::Push(const uint8_t* sourceRow) {
  if (weights_ == nullptr || pushed_ >= sourceHeight_) return;
  std::memcpy(RingRow(pushed_), sourceRow, rowValues_);
  ++pushed_;
  const AxisWeights& down = weights_->down;
  // Every output row whose last source row has come; the rows under its
  // filter are the last `taps` pushed, past the end the last one repeated.
  while (made_ < targetHeight_) {
    const int first = down.first[static_cast<size_t>(made_)];
    if (std::min(first + taps_, sourceHeight_) > pushed_) break;
    for (int k = 0; k < taps_; ++k) rows_[static_cast<size_t>(k)] = RingRow(std::min(first + k, sourceHeight_ - 1));
    SumDown(rows_.data(), rowValues_, &down.weights[static_cast<size_t>(made_) * static_cast<size_t>(taps_)], taps_,
            sums_.data());
    for (size_t x = 0; x < rowValues_; ++x)
      column_[x] = static_cast<int16_t>((sums_[x] + (1 << (kVerticalShift - 1))) >> kVerticalShift);
    SumAcross(column_.data(), targetWidth_, weights_->across, out_.data());
    sink_(made_, out_.data());
    ++made_;
  }
}

uint8_t* RowResampler::RingRow(int row) {
  return ring_.data() + static_cast<size_t>(row % taps_) * rowValues_;
}

bool ResampleOpaque(const uint8_t* source, int sourceWidth, int sourceHeight, size_t sourceStride,
                    uint8_t* target, int targetWidth, int targetHeight, size_t targetStride,
                    ResampleKernel kernel) {
  RowResampler resampler;
  const size_t rowBytes = static_cast<size_t>(targetWidth) * 4;
  if (!resampler.Start(sourceWidth, sourceHeight, targetWidth, targetHeight, kernel,
                       [&](int y, const uint8_t* row) {
                         std::memcpy(target + static_cast<size_t>(y) * targetStride, row, rowBytes);
                       }))
    return false;
  for (int y = 0; y < sourceHeight; ++y) resampler.Push(source + static_cast<size_t>(y) * sourceStride);
  return true;
}
