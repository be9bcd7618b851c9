// The music dialog's reordering and removal rules, on any list: the dialog
// runs them on its list box, the tests on a plain model. `selected` holds
// the selected indices in ascending order, as the list box reports them.
#pragma once

#include <vector>

class SongList {
 public:
  virtual ~SongList() = default;
  virtual int Count() const = 0;
  // Takes entry `from` out and inserts it again at `to`; the entry moved
  // loses its selection, the others keep theirs.
  virtual void Reinsert(int from, int to) = 0;
  // Frees and deletes the entry at `index`.
  virtual void Remove(int index) = 0;
};

// The k-th selected entry (from 0) is then at its index - k.
void RemoveSelected(SongList& list, const std::vector<int>& selected);

// Each selected entry moves up (down) by one and stays selected; the
// unselected neighbour goes below (above) them. False, changing nothing,
// when nothing is selected or the selection already touches the top
// (bottom).
bool MoveSelectionUp(SongList& list, const std::vector<int>& selected);
bool MoveSelectionDown(SongList& list, const std::vector<int>& selected);
