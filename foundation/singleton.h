// Process-wide single instances: TSingleton<T>::Instance() creates the one
// T on first use and keeps it in a process-wide pointer until Destroy().
// T derives from TSingleton<T> and needs a constructor Instance can call.
//
// Creation is guarded, so a first use racing between two threads still
// makes one object. Destroy must not race with users of the instance.
#pragma once

#include <atomic>
#include <mutex>

template <typename T>
class TSingleton {
 public:
  virtual ~TSingleton() = default;

  static T* Instance() {
    T* object = instance_.load(std::memory_order_acquire);
    if (object != nullptr) return object;
    std::lock_guard<std::mutex> hold(creation_);
    object = instance_.load(std::memory_order_relaxed);
    if (object == nullptr) {
      object = new T;
      instance_.store(object, std::memory_order_release);
    }
    return object;
  }

  // Deletes the instance; the next Instance() makes a new one.
  // Deleted outside the guard: its destructor may run callbacks that
  // reach Instance() again.
  static void Destroy() {
    T* object;
    {
      std::lock_guard<std::mutex> hold(creation_);
      object = instance_.exchange(nullptr);
    }
    delete object;
  }

  // The instance if one exists, without creating it.
  static T* Existing() { return instance_.load(std::memory_order_acquire); }

 private:
  static inline std::atomic<T*> instance_{nullptr};
  static inline std::mutex creation_;
};
