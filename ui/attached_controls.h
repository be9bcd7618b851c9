// The skinned controls a dialog has attached to its windows. A control
// subclasses its window and holds its window DC, so it has to let go before
// the window or the pictures it draws go away. The dialog attaches through
// this list; the list detaches every control, the last attached first, when
// the dialog cleans up (DetachAll) and at the latest when the list itself
// is destroyed, so no exit path leaves a window subclassed by a dead dialog.
//
// Declare the list after the controls it holds, so it goes before them.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class AttachedControls {
 public:
  AttachedControls() = default;
  ~AttachedControls() { DetachAll(); }
  AttachedControls(const AttachedControls&) = delete;
  AttachedControls& operator=(const AttachedControls&) = delete;

  // control.Attach(arguments...), then keeps the control for detaching. A
  // control attached again keeps its first place and is detached once.
  template <typename Control, typename... Arguments>
  void Attach(Control& control, Arguments&&... arguments) {
    control.Attach(std::forward<Arguments>(arguments)...);
    for (const Entry& entry : controls_) {
      if (entry.control == &control) return;
    }
    controls_.push_back({&control, [&control] { control.Detach(); }});
  }

  // Detaches every control kept, the last attached first, and forgets them.
  void DetachAll() {
    while (!controls_.empty()) {
      const std::function<void()> detach = std::move(controls_.back().detach);
      controls_.pop_back();
      detach();
    }
  }

  size_t Count() const { return controls_.size(); }

 private:
  struct Entry {
    const void* control;
    std::function<void()> detach;
  };
  std::vector<Entry> controls_;
};
