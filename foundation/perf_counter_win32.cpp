#include "foundation/perf_counter.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

class Win32TimeSource : public TimeSource {
 public:
  bool CounterFrequency(int64_t& frequency) override {
    LARGE_INTEGER value;
    if (!QueryPerformanceFrequency(&value) || value.QuadPart == 0) return false;
    frequency = value.QuadPart;
    return true;
  }

  int64_t Counter() override {
    LARGE_INTEGER value;
    return QueryPerformanceCounter(&value) ? value.QuadPart : 0;
  }

  uint32_t Milliseconds() override { return timeGetTime(); }
};

}  // namespace

TimeSource* PlatformTimeSource() {
  static Win32TimeSource source;
  return &source;
}
