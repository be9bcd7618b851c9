// The monitor table: the machine's display adapters with the desktop
// rectangle of each attached one, so the saver can cover every monitor but
// the primary with a black window of its own.
//
// The table is built here from what the system reports about each adapter,
// without a Windows header; monitors_win32.h asks the system (adapters,
// monitor handles) and manages the blanking windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/rect.h"

struct MonitorRecord {
  char adapterName[128];  // the adapter's description
  char monitorName[128];  // description of the adapter's first monitor
  void* monitor;          // HMONITOR under rect; null when not attached or none lies there
  Rect rect;              // desktop rectangle; zero when not attached
  int32_t reserved;       // always -1
  void* window;           // HWND of the blanking window; null when none
  bool isPrimary;
};

struct MonitorTable {
  static constexpr int32_t kMaxRecords = 9;
  MonitorRecord records[kMaxRecords];
  int32_t count;
};

// What the system says about one display adapter.
struct DisplayAdapter {
  std::string adapterName;
  std::string monitorName;
  bool attached = false;   // part of the desktop, with readable current settings
  bool primary = false;
  bool mirroring = false;  // a mirroring driver, not a monitor of its own
  int32_t x = 0;           // position and size of the current mode
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Fills `adapter` with the adapter of this index; false when there is none.
using AdapterSource = std::function<bool(int32_t index, DisplayAdapter& adapter)>;
// The monitor handle under a rectangle, or null (no default substituted).
using MonitorLookup = std::function<void*(const Rect& rect)>;

// Zero-fills the table, then takes adapters 0, 1, 2, ... until the source
// has no more or nine records are in use. Mirroring drivers are skipped; an
// attached primary is placed at (0, 0) whatever its settings say; an
// attached adapter whose current mode is empty gets no monitor.
void BuildMonitorTable(MonitorTable& table, const AdapterSource& adapters,
                       const MonitorLookup& monitorAt);

// The records that get a blanking window: not primary, and on a monitor.
bool NeedsBlankingWindow(const MonitorRecord& record);
