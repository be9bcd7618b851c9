#include "graphics/monitors.h"

#include <cstring>

namespace {

// Copies a description, cut to fit, always terminated.
void CopyName(char (&target)[128], const std::string& source) {
  const size_t length = source.size() < sizeof(target) - 1 ? source.size() : sizeof(target) - 1;
  std::memcpy(target, source.data(), length);
  target[length] = '\0';
}

void FillRecord(MonitorRecord& record, const DisplayAdapter& adapter,
                const MonitorLookup& monitorAt) {
  record = MonitorRecord{};
  CopyName(record.adapterName, adapter.adapterName);
  CopyName(record.monitorName, adapter.monitorName);
  record.reserved = -1;
  if (!adapter.attached) return;

  // The primary monitor's origin is the desktop's origin by definition.
  const int32_t x = adapter.primary ? 0 : adapter.x;
  const int32_t y = adapter.primary ? 0 : adapter.y;
  record.isPrimary = adapter.primary;
  record.rect = Rect{x, y, x + adapter.width, y + adapter.height};
  // A mode without pixels covers no monitor. The system would answer with
  // the monitor nearest to the empty rectangle's corner (often the primary),
  // and a blanking window moved onto it would hide the saver.
  if (adapter.width <= 0 || adapter.height <= 0) return;
  record.monitor = monitorAt(record.rect);
}

}  // namespace

void BuildMonitorTable(MonitorTable& table, const AdapterSource& adapters,
                       const MonitorLookup& monitorAt) {
  table = MonitorTable{};
  DisplayAdapter adapter;
  for (int32_t index = 0; table.count < MonitorTable::kMaxRecords; ++index) {
    adapter = DisplayAdapter{};
    if (!adapters(index, adapter)) break;
    if (adapter.mirroring) continue;
    FillRecord(table.records[table.count], adapter, monitorAt);
    ++table.count;
  }
}

bool NeedsBlankingWindow(const MonitorRecord& record) {
  return !record.isPrimary && record.monitor != nullptr;
}
