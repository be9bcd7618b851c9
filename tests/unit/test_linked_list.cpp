#include "foundation/linked_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <typename T>
std::vector<T> Contents(LinkedList_Basic<T>& list) {
  std::vector<T> items;
  for (bool more = list.First(); more; more = list.Next()) items.push_back(list.Current());
  return items;
}

// Counts live copies, to see which copies a list destroys.
struct Tracked {
  static int alive;
  explicit Tracked(int v) : value(v) { ++alive; }
  Tracked(const Tracked& other) : value(other.value) { ++alive; }
  ~Tracked() { --alive; }
  int value;
};
int Tracked::alive = 0;

TEST(LinkedList, CursorRules) {
  LinkedList<int> list;
  EXPECT_FALSE(list.First());
  EXPECT_EQ(list.CursorNode(), nullptr);
  EXPECT_FALSE(list.Next());

  list.Append(1);  // the first node becomes the cursor without First
  ASSERT_NE(list.CursorNode(), nullptr);
  EXPECT_EQ(list.Current(), 1);
  list.Append(2);
  EXPECT_EQ(list.Current(), 1);

  ASSERT_TRUE(list.First());
  ASSERT_TRUE(list.Next());
  EXPECT_FALSE(list.Next());
  EXPECT_FALSE(list.IsValid());
  EXPECT_EQ(list.Current(), 2);  // running off the end stays on the last node
  EXPECT_TRUE(list.First());
  EXPECT_TRUE(list.IsValid());
}

TEST(LinkedList, AppendKeepsOrderPrependReverses) {
  LinkedList<int> appended, prepended;
  for (int i = 1; i <= 4; ++i) {
    appended.Append(i);
    prepended.Prepend(i);
  }
  EXPECT_EQ(Contents(appended), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Contents(prepended), (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(prepended.Count(), 4);
  EXPECT_EQ(prepended.FirstNode()->prev, nullptr);
  EXPECT_EQ(prepended.LastNode()->next, nullptr);
  EXPECT_EQ(prepended.LastNode()->prev->data, 2);
}

TEST(LinkedList, RemoveNodeRelinksAndMindsTheCursor) {
  LinkedList<int> list;
  for (int i = 1; i <= 4; ++i) list.Append(i);
  list.First();
  list.Next();  // on 2
  list.RemoveNode(list.FirstNode()->next->next);
  EXPECT_EQ(list.Current(), 2);  // another node's removal leaves the cursor
  EXPECT_EQ(list.LastNode()->prev->data, 2);
  // Removing the node under the cursor must not leave it dangling.
  list.RemoveNode(list.CursorNode());
  EXPECT_EQ(list.CursorNode(), nullptr);
  EXPECT_FALSE(list.Next());
  EXPECT_EQ(Contents(list), (std::vector<int>{1, 4}));
  list.RemoveNode(list.LastNode());
  list.RemoveNode(list.FirstNode());
  EXPECT_EQ(list.FirstNode(), nullptr);
  EXPECT_EQ(list.LastNode(), nullptr);
  EXPECT_EQ(list.Count(), 0);
}

TEST(LinkedList, OwnsNodesAndValueCopiesNotPointees) {
  Tracked kept(5);
  {
    LinkedList<Tracked*> pointers;
    pointers.Append(&kept);
    pointers.Append(&kept);
    pointers.Clear();
    EXPECT_EQ(pointers.Count(), 0);
    EXPECT_EQ(pointers.CursorNode(), nullptr);
    pointers.Append(&kept);  // usable again after a clear
    EXPECT_EQ(pointers.Current()->value, 5);
  }
  EXPECT_EQ(Tracked::alive, 1);
  {
    LinkedList<Tracked> values;
    values.Append(kept);
    values.Prepend(Tracked(4));
    EXPECT_EQ(Tracked::alive, 3);
    values.RemoveNode(values.FirstNode());
    EXPECT_EQ(Tracked::alive, 2);
  }
  EXPECT_EQ(Tracked::alive, 1);
}

TEST(LinkedList, QueuedRemovalsGoWhenTheListGoes) {
  {
    LinkedList<Tracked> values;
    for (int i = 0; i < 4; ++i) values.Append(Tracked(i));
    values.QueueRemoval(values.FirstNode());
    values.QueueRemoval(values.LastNode());
    values.QueueRemoval(values.FirstNode());  // a second mark is ignored
    EXPECT_EQ(values.QueuedRemovals(), 2);
    EXPECT_EQ(values.Count(), 4);  // nothing goes before the list does
  }
  EXPECT_EQ(Tracked::alive, 0);  // ASan reports a node freed twice or leaked
}

// A queued node freed early must leave the queue: otherwise the list's end
// frees it again (AddressSanitizer: double free or use after free).
TEST(LinkedList, QueuedNodesFreedEarlyLeaveTheQueue) {
  {
    LinkedList<Tracked> values;
    for (int i = 0; i < 4; ++i) values.Append(Tracked(i));
    values.QueueRemoval(values.FirstNode());
    values.QueueRemoval(values.LastNode());
    values.RemoveNode(values.FirstNode());
    EXPECT_EQ(values.QueuedRemovals(), 1);
    EXPECT_EQ(values.Count(), 3);
  }
  EXPECT_EQ(Tracked::alive, 0);
  {
    LinkedList<Tracked> values;
    for (int i = 0; i < 3; ++i) values.Append(Tracked(i));
    values.QueueRemoval(values.LastNode());
    values.Clear();
    EXPECT_EQ(values.QueuedRemovals(), 0);
    // Reused after the clear: new nodes, one queued again.
    values.Append(Tracked(7));
    values.Append(Tracked(8));
    values.QueueRemoval(values.FirstNode());
    EXPECT_EQ(Tracked::alive, 2);
  }
  EXPECT_EQ(Tracked::alive, 0);
  {
    // Through the plain list's interface, as a function taking any list would.
    LinkedList<Tracked> values;
    values.Append(Tracked(1));
    values.Append(Tracked(2));
    values.QueueRemoval(values.LastNode());
    LinkedList_Basic<Tracked>& plain = values;
    plain.RemoveNode(plain.LastNode());
    EXPECT_EQ(values.QueuedRemovals(), 0);
    plain.Clear();
  }
  EXPECT_EQ(Tracked::alive, 0);
}

}  // namespace
