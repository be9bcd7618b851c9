#include "ui/caption_choices.h"

std::vector<CaptionChoice> CaptionSizeChoices() {
  std::vector<CaptionChoice> sizes;
  for (int size = 10; size <= 32; ++size) sizes.push_back({std::to_string(size), -size});
  return sizes;
}

std::vector<CaptionChoice> CaptionOrientationChoices() { return {{"Left", 0}, {"Center", 1}, {"Right", 2}}; }

CaptionAlignment AlignmentForOrientation(int orientation) {
  if (orientation == 0) return kAlignLeft;
  if (orientation == 2) return kAlignRight;
  return kAlignCentre;
}

bool FaceNameFilter::Admit(const std::string& face) {
  if (face == last_) return false;
  last_ = face;
  return true;
}
