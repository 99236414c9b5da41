// Shell change notifications reach the observers of this process.
#include <gtest/gtest.h>

#include <vector>

#include "platform/shell/shell_notify.h"

namespace {

TEST(ShellNotify, ObserversSeeEveryNotificationUntilTheyAreRemoved) {
  std::vector<ShellChange> seen;
  {
    ShellChangeSubscription subscription([&](const ShellChange& change) { seen.push_back(change); });
    int marker = 0;
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    SHChangeNotify(0x2000, 0x1000, &marker, nullptr);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].eventId, SHCNE_ASSOCCHANGED);
    EXPECT_EQ(seen[0].flags, SHCNF_IDLIST);
    EXPECT_EQ(seen[0].item1, nullptr);
    EXPECT_EQ(seen[1].item1, &marker);
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
  EXPECT_EQ(seen.size(), 2u);
}

TEST(ShellNotify, AThrowingOrSelfRemovingObserverDoesNotStopTheOthers) {
  int later = 0;
  int selfRemoving = 0;
  int selfId = 0;
  ShellChangeSubscription thrower([](const ShellChange&) { throw 42; });
  selfId = AddShellChangeObserver([&](const ShellChange&) {
    ++selfRemoving;
    RemoveShellChangeObserver(selfId);
  });
  int removedByOther = 0;
  int otherId = 0;
  ShellChangeSubscription remover([&](const ShellChange&) { RemoveShellChangeObserver(otherId); });
  otherId = AddShellChangeObserver([&](const ShellChange&) { ++removedByOther; });
  ShellChangeSubscription counter([&](const ShellChange&) { ++later; });

  SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
  SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
  EXPECT_EQ(selfRemoving, 1);
  EXPECT_EQ(removedByOther, 0);  // removed earlier in the same round
  EXPECT_EQ(later, 2);
}

}  // namespace
