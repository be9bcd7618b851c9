// The captions dialog's lists apart from its windows: the sizes and
// orientations it offers with the values they stand for, the alignment an
// orientation gives the sample, and the face list's filter for the font
// enumeration, which reports every family once per character set.
#pragma once

#include <string>
#include <vector>

struct CaptionChoice {
  std::string text;
  int value;
};

// "10" to "32", standing for the character heights -10 to -32.
std::vector<CaptionChoice> CaptionSizeChoices();
// "Left" 0, "Center" 1, "Right" 2.
std::vector<CaptionChoice> CaptionOrientationChoices();

enum CaptionAlignment { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
// 0 left, 2 right, anything else centred.
CaptionAlignment AlignmentForOrientation(int orientation);

// Admits a face unless it is the one admitted just before (or empty, before
// any was admitted).
class FaceNameFilter {
 public:
  bool Admit(const std::string& face);

 private:
  std::string last_;
};
