#include "graphics/display_modes.h"

#include <utility>

namespace {

using ModeNode = LinkedListNode<DISPMODE*>;

// Repeats one bubble pass over the list until it swaps nothing. Neighbours
// swap payloads, not nodes, so the list's links and cursor stay as they are;
// only strict "out of order" swaps, so equal modes keep their order.
template <typename OutOfOrder>
void BubbleUntilSorted(ModeNode* first, OutOfOrder outOfOrder) {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (ModeNode* node = first; node != nullptr && node->next != nullptr; node = node->next) {
      if (outOfOrder(*node->data, *node->next->data)) {
        std::swap(node->data, node->next->data);
        swapped = true;
      }
    }
  }
}

}  // namespace

DisplayModeList::~DisplayModeList() { Clear(); }

bool DisplayModeList::Passes(int32_t width, int32_t height, int32_t bits) const {
  if (minWidth_ != kNoFilter && width < minWidth_) return false;
  if (minHeight_ != kNoFilter && height < minHeight_) return false;
  if (minBits_ != kNoFilter && bits < minBits_) return false;
  if (excludedBits_ != kNoFilter && bits == excludedBits_) return false;
  return true;
}

bool DisplayModeList::Add(int32_t width, int32_t height, int32_t bits) {
  if (!Passes(width, height, bits)) return false;
  DISPMODE* mode = new DISPMODE;
  mode->width = width;
  mode->height = height;
  mode->bits = bits;
  mode->label = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bits);
  modes_.Append(mode);
  return true;
}

void DisplayModeList::Sort() {
  ModeNode* first = modes_.FirstNode();
  BubbleUntilSorted(first, [](const DISPMODE& a, const DISPMODE& b) { return a.bits > b.bits; });
  BubbleUntilSorted(first, [](const DISPMODE& a, const DISPMODE& b) {
    return a.bits == b.bits && a.width > b.width;
  });
  // Heights are compared only within one depth as well: two neighbours of
  // equal width but different depth sit on a depth boundary and must stay.
  BubbleUntilSorted(first, [](const DISPMODE& a, const DISPMODE& b) {
    return a.bits == b.bits && a.width == b.width && a.height > b.height;
  });
}

void DisplayModeList::Clear() {
  for (bool more = modes_.First(); more; more = modes_.Next()) delete modes_.Current();
  modes_.Clear();
}
