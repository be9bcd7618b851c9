#include "graphics/monitors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

DisplayAdapter Attached(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height,
                        bool primary = false) {
  DisplayAdapter adapter;
  adapter.adapterName = name;
  adapter.monitorName = name + " monitor";
  adapter.attached = true;
  adapter.primary = primary;
  adapter.x = x;
  adapter.y = y;
  adapter.width = width;
  adapter.height = height;
  return adapter;
}

// Serves a fixed adapter list and hands out a distinct fake monitor handle
// per rectangle that lies on one of the given desktop areas.
class FakeSystem {
 public:
  explicit FakeSystem(std::vector<DisplayAdapter> adapters) : adapters_(std::move(adapters)) {}

  void Build(MonitorTable& table) {
    BuildMonitorTable(
        table,
        [this](int32_t index, DisplayAdapter& adapter) {
          ++queries;
          if (index < 0 || index >= static_cast<int32_t>(adapters_.size())) return false;
          adapter = adapters_[static_cast<size_t>(index)];
          return true;
        },
        [this](const Rect& rect) -> void* {
          lookups.push_back(rect);
          if (rect.left >= offDesktop) return nullptr;
          return &handles_[lookups.size() % 16];
        });
  }

  // No monitor lies at or right of this x.
  static constexpr int32_t offDesktop = 100000;
  int queries = 0;
  std::vector<Rect> lookups;

 private:
  std::vector<DisplayAdapter> adapters_;
  char handles_[16] = {};
};

void ExpectRect(const Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

TEST(MonitorTable, SingleMonitorGivesOnePrimaryRecordAndNoBlanking) {
  FakeSystem system({Attached("Adapter A", 0, 0, 1024, 768, true)});
  MonitorTable table;
  std::memset(static_cast<void*>(&table), 0x5a, sizeof(table));  // whatever was there before
  system.Build(table);

  ASSERT_EQ(table.count, 1);
  const MonitorRecord& record = table.records[0];
  EXPECT_STREQ(record.adapterName, "Adapter A");
  EXPECT_STREQ(record.monitorName, "Adapter A monitor");
  EXPECT_TRUE(record.isPrimary);
  ExpectRect(record.rect, 0, 0, 1024, 768);
  EXPECT_NE(record.monitor, nullptr);
  EXPECT_EQ(record.window, nullptr);
  EXPECT_EQ(record.reserved, -1);
  EXPECT_FALSE(NeedsBlankingWindow(record));
  // Unused records are zero.
  EXPECT_EQ(table.records[1].adapterName[0], '\0');
  EXPECT_EQ(table.records[1].monitor, nullptr);
  EXPECT_EQ(table.records[1].reserved, 0);
}

TEST(MonitorTable, SecondaryKeepsItsPositionAndPrimaryIsMovedToTheOrigin) {
  FakeSystem system({Attached("Left", -800, 0, 800, 600), Attached("Main", 100, 50, 1280, 1024, true)});
  MonitorTable table{};
  system.Build(table);

  ASSERT_EQ(table.count, 2);
  EXPECT_FALSE(table.records[0].isPrimary);
  ExpectRect(table.records[0].rect, -800, 0, 0, 600);
  EXPECT_TRUE(NeedsBlankingWindow(table.records[0]));
  EXPECT_TRUE(table.records[1].isPrimary);
  ExpectRect(table.records[1].rect, 0, 0, 1280, 1024);
  // The monitor is looked up under the final rectangle.
  ASSERT_EQ(system.lookups.size(), 2u);
  ExpectRect(system.lookups[1], 0, 0, 1280, 1024);
}

TEST(MonitorTable, MirroringDriversNeverOccupyARecord) {
  DisplayAdapter mirror = Attached("Mirror", 0, 0, 1024, 768);
  mirror.mirroring = true;
  FakeSystem system({mirror, Attached("Main", 0, 0, 1024, 768, true), mirror,
                     Attached("Right", 1024, 0, 800, 600)});
  MonitorTable table{};
  system.Build(table);

  ASSERT_EQ(table.count, 2);
  EXPECT_STREQ(table.records[0].adapterName, "Main");
  EXPECT_STREQ(table.records[1].adapterName, "Right");
  EXPECT_EQ(system.lookups.size(), 2u);
}

TEST(MonitorTable, UnattachedAdapterStaysWithoutMonitorOrRectangle) {
  DisplayAdapter spare = Attached("Spare", 1024, 0, 800, 600, true);
  spare.attached = false;
  FakeSystem system({Attached("Main", 0, 0, 1024, 768, true), spare});
  MonitorTable table{};
  system.Build(table);

  ASSERT_EQ(table.count, 2);
  const MonitorRecord& record = table.records[1];
  EXPECT_STREQ(record.adapterName, "Spare");
  EXPECT_EQ(record.monitor, nullptr);
  ExpectRect(record.rect, 0, 0, 0, 0);
  EXPECT_FALSE(record.isPrimary);
  EXPECT_EQ(record.reserved, -1);
  EXPECT_FALSE(NeedsBlankingWindow(record));
  EXPECT_EQ(system.lookups.size(), 1u);  // only the attached one is looked up
}

TEST(MonitorTable, NoMonitorUnderTheRectangleLeavesItNull) {
  FakeSystem system({Attached("Main", 0, 0, 1024, 768, true),
                     Attached("Far", FakeSystem::offDesktop, 0, 800, 600)});
  MonitorTable table{};
  system.Build(table);
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.records[1].monitor, nullptr);
  ExpectRect(table.records[1].rect, FakeSystem::offDesktop, 0, FakeSystem::offDesktop + 800, 600);
  EXPECT_FALSE(NeedsBlankingWindow(table.records[1]));
}

// Some drivers report a secondary adapter as attached with a 0x0 mode; the
// system's lookup would still name a monitor for that empty rectangle.
TEST(MonitorTable, EmptyCurrentModeGetsNoMonitor) {
  FakeSystem system({Attached("Main", 0, 0, 1024, 768, true), Attached("Blank", 0, 0, 0, 0),
                     Attached("Thin", 1024, 0, 800, 0)});
  MonitorTable table{};
  system.Build(table);
  ASSERT_EQ(table.count, 3);
  EXPECT_EQ(table.records[1].monitor, nullptr);
  EXPECT_EQ(table.records[2].monitor, nullptr);
  EXPECT_FALSE(NeedsBlankingWindow(table.records[1]));
  EXPECT_EQ(system.lookups.size(), 1u);
}

TEST(MonitorTable, TwelveAdaptersGiveNineRecordsAndNoFurtherQueries) {
  std::vector<DisplayAdapter> adapters;
  adapters.push_back(Attached("Adapter 0", 0, 0, 640, 480, true));
  for (int i = 1; i < 12; ++i) adapters.push_back(Attached("Adapter " + std::to_string(i), 640 * i, 0, 640, 480));
  FakeSystem system(adapters);
  MonitorTable table{};
  system.Build(table);

  ASSERT_EQ(table.count, MonitorTable::kMaxRecords);
  EXPECT_STREQ(table.records[8].adapterName, "Adapter 8");
  ExpectRect(table.records[8].rect, 5120, 0, 5760, 480);
  EXPECT_EQ(system.queries, 9);
}

TEST(MonitorTable, LongDescriptionsAreCutAndTerminated) {
  DisplayAdapter adapter = Attached(std::string(300, 'a'), 0, 0, 640, 480, true);
  adapter.monitorName = std::string(127, 'm');
  FakeSystem system({adapter});
  MonitorTable table{};
  system.Build(table);
  EXPECT_EQ(std::strlen(table.records[0].adapterName), 127u);
  EXPECT_EQ(std::string(table.records[0].monitorName), std::string(127, 'm'));
}

}  // namespace
