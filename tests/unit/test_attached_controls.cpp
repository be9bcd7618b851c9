// The dialogs' list of attached skinned controls: every control attached
// through it is detached exactly once, the last attached first, also when
// the dialog leaves without cleaning up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/attached_controls.h"

namespace {

// Records its calls in a log shared by every control of a test.
class FakeControl {
 public:
  FakeControl(const std::string& name, std::vector<std::string>& log) : name_(name), log_(log) {}
  void Attach(int window) { log_.push_back(name_ + " attach " + std::to_string(window)); }
  void Attach(int normal, int pressed, const std::string& cursor) {
    log_.push_back(name_ + " attach " + std::to_string(normal) + "," + std::to_string(pressed) + "," + cursor);
  }
  void Detach() { log_.push_back(name_ + " detach"); }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

TEST(AttachedControls, AttachesWithTheGivenArgumentsAndDetachesInReverse) {
  std::vector<std::string> log;
  FakeControl button("button", log), slider("slider", log);
  AttachedControls attached;
  attached.Attach(button, 1, 2, "hand");
  attached.Attach(slider, 7);
  EXPECT_EQ(attached.Count(), 2u);
  attached.DetachAll();
  EXPECT_EQ(log, (std::vector<std::string>{"button attach 1,2,hand", "slider attach 7", "slider detach",
                                           "button detach"}));
  EXPECT_EQ(attached.Count(), 0u);
  attached.DetachAll();  // nothing left to let go of
  EXPECT_EQ(log.size(), 4u);
}

TEST(AttachedControls, AControlAttachedAgainIsDetachedOnceInItsFirstPlace) {
  std::vector<std::string> log;
  FakeControl first("first", log), second("second", log);
  AttachedControls attached;
  attached.Attach(first, 1);
  attached.Attach(second, 2);
  attached.Attach(first, 3);
  EXPECT_EQ(attached.Count(), 2u);
  attached.DetachAll();
  EXPECT_EQ(log, (std::vector<std::string>{"first attach 1", "second attach 2", "first attach 3",
                                           "second detach", "first detach"}));
}

TEST(AttachedControls, DestroyingTheListDetachesWhatIsStillAttached) {
  std::vector<std::string> log;
  FakeControl control("control", log);
  {
    AttachedControls attached;
    attached.Attach(control, 5);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"control attach 5", "control detach"}));
}

}  // namespace
