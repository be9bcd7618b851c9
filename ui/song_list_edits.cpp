#include "ui/song_list_edits.h"

#include <cstddef>

void RemoveSelected(SongList& list, const std::vector<int>& selected) {
  for (size_t k = 0; k < selected.size(); ++k) {
    const int index = selected[k] - static_cast<int>(k);
    if (index >= 0 && index < list.Count()) list.Remove(index);
  }
}

bool MoveSelectionUp(SongList& list, const std::vector<int>& selected) {
  if (selected.empty() || selected.front() <= 0) return false;
  for (int index : selected)
    if (index < list.Count()) list.Reinsert(index - 1, index);
  return true;
}

bool MoveSelectionDown(SongList& list, const std::vector<int>& selected) {
  if (selected.empty() || selected.back() >= list.Count() - 1) return false;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it)
    if (*it >= 0) list.Reinsert(*it + 1, *it);
  return true;
}
