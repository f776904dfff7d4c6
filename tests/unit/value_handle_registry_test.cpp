#include "core/value_handle_registry.h"

#include <gtest/gtest.h>

using nativescope::ValueHandleRegistry;

namespace {

TEST(ValueHandleRegistry, EnginesShareOneCounterAndLookupsCopyTheEntry) {
    ValueHandleRegistry r;
    EXPECT_EQ(r.Register(100, "T0F0V0"), 1);
    EXPECT_EQ(r.Register(200, "T0F0V1"), 2);
    EXPECT_EQ(r.Register(100, "T0F0V2"), 3);
    auto entry = r.Lookup(2);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->engine, 200);
    EXPECT_EQ(entry->variableId, "T0F0V1");
    EXPECT_FALSE(r.Lookup(4).has_value());
}

TEST(ValueHandleRegistry, NumberingRestartsOnlyWhenEverythingIsReleased) {
    ValueHandleRegistry r;
    r.Register(100, "a");
    r.Register(200, "b");
    r.Release(1);
    EXPECT_EQ(r.Register(100, "c"), 3) << "a live handle keeps the counter going";
    r.ReleaseEngine(100);
    EXPECT_EQ(r.Size(), 1u);
    r.Release(2);
    EXPECT_EQ(r.Size(), 0u);
    EXPECT_EQ(r.Register(300, "d"), 1);
}

TEST(ValueHandleRegistry, ReleasingUnknownHandlesOrEnginesChangesNothing) {
    ValueHandleRegistry r;
    r.Register(100, "a");
    r.Register(100, "b");
    r.Release(42);
    r.Release(0);
    r.Release(-1);
    r.ReleaseEngine(999);
    EXPECT_EQ(r.Size(), 2u);
    EXPECT_EQ(r.Register(100, "c"), 3);
}

TEST(ValueHandleRegistry, ReleaseEngineDropsOnlyItsHandles) {
    ValueHandleRegistry r;
    r.Register(100, "a");
    r.Register(200, "b");
    r.Register(100, "c");
    r.ReleaseEngine(100);
    EXPECT_FALSE(r.Lookup(1).has_value());
    EXPECT_FALSE(r.Lookup(3).has_value());
    EXPECT_TRUE(r.Lookup(2).has_value());
}

}  // namespace
