// The full-screen display modes the default display driver offers, filtered
// and sorted for the settings dialog's mode list. The filters and the order
// are portable; Fill, which asks a DirectDraw object for the modes, lives in
// display_modes_win32.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/linked_list.h"

struct IDirectDraw7;

struct DISPMODE {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  std::string label;  // "1024x768x32"
};

class DisplayModeList {
 public:
  static constexpr int32_t kNoFilter = -1;

  DisplayModeList() = default;
  ~DisplayModeList();
  DisplayModeList(const DisplayModeList&) = delete;
  DisplayModeList& operator=(const DisplayModeList&) = delete;

  // A mode is skipped when its width, height or depth is below the minimum,
  // or its depth equals the excluded one. kNoFilter turns a filter off.
  void SetMinWidth(int32_t value) { minWidth_ = value; }
  void SetMinHeight(int32_t value) { minHeight_ = value; }
  void SetMinBits(int32_t value) { minBits_ = value; }
  void SetExcludedBits(int32_t value) { excludedBits_ = value; }
  int32_t MinWidth() const { return minWidth_; }
  int32_t MinHeight() const { return minHeight_; }
  int32_t MinBits() const { return minBits_; }
  int32_t ExcludedBits() const { return excludedBits_; }

  // Whether a mode gets past the filters, checked in the order width,
  // height, depth, excluded depth.
  bool Passes(int32_t width, int32_t height, int32_t bits) const;

  // Appends the mode with its label when it passes the filters; equal modes
  // are all kept. Returns whether it was appended.
  bool Add(int32_t width, int32_t height, int32_t bits);

  // Replaces the list with the modes the DirectDraw object reports, filtered.
  // Returns false, leaving the list empty, when the enumeration fails.
  bool Fill(IDirectDraw7* directDraw);

  // Orders the list by depth, then width, then height.
  void Sort();

  // Frees every mode.
  void Clear();

  int32_t Count() const { return modes_.Count(); }

  // For the usual cursor traversal: First / Next / Current.
  LinkedList<DISPMODE*>& Modes() { return modes_; }

 private:
  int32_t minWidth_ = kNoFilter;
  int32_t minHeight_ = kNoFilter;
  int32_t minBits_ = kNoFilter;
  int32_t excludedBits_ = kNoFilter;
  LinkedList<DISPMODE*> modes_;
};
