// The one container of the program: a doubly linked list with a built-in
// cursor, so a list supports one traversal at a time. The list owns its
// nodes, never the objects that pointer elements point to; owners of lists
// of pointers delete those objects themselves before the nodes go.
//
// Traversal, as every owner writes it:
//   for (bool more = list.First(); more; more = list.Next()) use(list.Current());
// A search is the same loop returning on the first match, which leaves the
// cursor on the element found.
#pragma once

#include <cstdint>

template <typename T>
struct LinkedListNode {
  explicit LinkedListNode(const T& value) : data(value) {}

  LinkedListNode* prev = nullptr;
  LinkedListNode* next = nullptr;
  T data;
};

template <typename T>
class LinkedList_Basic {
 public:
  using Node = LinkedListNode<T>;

  LinkedList_Basic() = default;
  virtual ~LinkedList_Basic() { Clear(); }
  LinkedList_Basic(const LinkedList_Basic&) = delete;
  LinkedList_Basic& operator=(const LinkedList_Basic&) = delete;

  // Links a new node after the last one. The first node of an empty list
  // also becomes the cursor, so a caller may use Current without First.
  void Append(const T& element) {
    Node* node = new Node(element);
    if (last_ == nullptr) {
      first_ = last_ = cursor_ = node;
    } else {
      node->prev = last_;
      last_->next = node;
      last_ = node;
    }
    ++count_;
  }

  // As Append, at the front: lists filled this way hold their elements in
  // reverse order of insertion.
  void Prepend(const T& element) {
    Node* node = new Node(element);
    if (first_ == nullptr) {
      first_ = last_ = cursor_ = node;
    } else {
      node->next = first_;
      first_->prev = node;
      first_ = node;
    }
    ++count_;
  }

  bool First() {
    cursor_ = first_;
    valid_ = true;
    return first_ != nullptr;
  }

  // Running off the end clears `valid` and leaves the cursor on the last node.
  bool Next() {
    if (cursor_ == nullptr) return false;
    if (cursor_->next != nullptr) {
      cursor_ = cursor_->next;
      return true;
    }
    valid_ = false;
    return false;
  }

  // Only after First or Next returned true (or after the first Append).
  T& Current() { return cursor_->data; }
  const T& Current() const { return cursor_->data; }

  int32_t Count() const { return count_; }

  // Unlinks and frees one node of this list. The cursor is left where it is
  // unless it names the freed node: then it becomes null, so a following
  // Next ends the traversal instead of reading freed memory. Callers that
  // want to go on move the cursor first.
  virtual void RemoveNode(Node* node) {
    if (node == nullptr) return;
    if (node == first_) first_ = node->next;
    if (node == last_) last_ = node->prev;
    if (node->prev != nullptr) node->prev->next = node->next;
    if (node->next != nullptr) node->next->prev = node->prev;
    if (node == cursor_) cursor_ = nullptr;
    --count_;
    node->prev = node->next = nullptr;
    delete node;
  }

  // Frees every node from the front. Elements behind pointers stay alive.
  virtual void Clear() {
    if (first_ == nullptr) return;
    for (; count_ > 0; --count_) {
      Node* node = first_;
      if (node->next != nullptr) {
        cursor_ = node->next;
        delete node;
        first_ = cursor_;
        first_->prev = nullptr;
      } else {
        delete node;
        first_ = cursor_ = last_ = nullptr;
      }
    }
  }

  Node* FirstNode() const { return first_; }
  Node* LastNode() const { return last_; }
  Node* CursorNode() const { return cursor_; }
  // Puts the cursor on a node of this list (or null), e.g. to step off a
  // node before removing it.
  void SetCursor(Node* node) { cursor_ = node; }
  bool IsValid() const { return valid_; }

 private:
  int32_t count_ = 0;
  bool valid_ = true;
  Node* cursor_ = nullptr;
  Node* first_ = nullptr;
  Node* last_ = nullptr;
};

// A list with a removal queue: nodes marked during a traversal are unlinked
// and freed together when the list is destroyed, before the rest goes. A
// node freed before then (RemoveNode, Clear) leaves the queue with it, so
// the queue never holds a pointer to freed memory.
template <typename T>
class LinkedList : public LinkedList_Basic<T> {
 public:
  using Node = LinkedListNode<T>;
  using Basic = LinkedList_Basic<T>;

  LinkedList() = default;
  ~LinkedList() override { FlushRemovals(); }

  void RemoveNode(Node* node) override {
    if (node == nullptr) return;
    Unqueue(node);
    Basic::RemoveNode(node);
  }

  void Clear() override {
    removals_.Clear();
    Basic::Clear();
  }

  // Marks a node of this list for removal. A node already marked is not
  // queued twice, so the flush never frees a node twice.
  void QueueRemoval(Node* node) {
    if (node == nullptr) return;
    for (bool more = removals_.First(); more; more = removals_.Next()) {
      if (removals_.Current() == node) return;
    }
    removals_.Append(node);
  }

  int32_t QueuedRemovals() const { return removals_.Count(); }

 private:
  void FlushRemovals() {
    for (bool more = removals_.First(); more; more = removals_.Next()) {
      Basic::RemoveNode(removals_.Current());
    }
    removals_.Clear();
  }

  void Unqueue(Node* node) {
    for (bool more = removals_.First(); more; more = removals_.Next()) {
      if (removals_.Current() == node) {
        removals_.RemoveNode(removals_.CursorNode());
        return;
      }
    }
  }

  LinkedList_Basic<Node*> removals_;
};
