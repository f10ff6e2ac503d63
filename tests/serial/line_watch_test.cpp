#include "serial/line_watch.h"

#include <gtest/gtest.h>

namespace korvane::serial {
namespace {

TEST(LineWatch, CounterMovesBecomeEventsAndErrors) {
    struct TCase {
        const char* name;
        int TLineCounters::*counter;
        std::uint32_t mask;
        std::uint32_t errors;
    };
    const TCase cases[] = {
        {"cts", &TLineCounters::cts, kEventCts, 0},
        {"dsr", &TLineCounters::dsr, kEventDsr, 0},
        {"ring", &TLineCounters::ring, kEventRing, 0},
        {"dcd", &TLineCounters::rlsd, kEventRlsd, 0},
        {"frame", &TLineCounters::frame, kEventErr, kErrorFrame},
        {"overrun", &TLineCounters::overrun, kEventErr, kErrorOverrun},
        {"parity", &TLineCounters::parity, kEventErr, kErrorParity},
        {"break", &TLineCounters::brk, kEventErr, kErrorBreak},
        {"buffer overrun", &TLineCounters::bufferOverrun, kEventErr, kErrorRxOver},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        TLineCounters before;
        before.*test.counter = 41;
        TLineCounters after = before;
        TDeviceEvent unchanged;
        AddCounterChanges(before, after, unchanged);
        EXPECT_EQ(unchanged.mask, 0u);
        after.*test.counter = 42;
        TDeviceEvent event;
        AddCounterChanges(before, after, event);
        EXPECT_EQ(event.mask, test.mask);
        EXPECT_EQ(event.errors, test.errors);
    }
}

TEST(LineWatch, SeveralErrorsAtOnceCombine) {
    TLineCounters before;
    TLineCounters after;
    after.parity = 1;
    after.frame = 3;
    TDeviceEvent event;
    AddCounterChanges(before, after, event);
    EXPECT_EQ(event.errors, kErrorParity | kErrorFrame);
}

TEST(LineWatch, LevelChangesMarkOnlyTheLinesThatMoved) {
    TDeviceEvent event;
    AddLevelChanges(kModemCts | kModemRing, kModemRing | kModemDsr | kModemRlsd, event);
    EXPECT_EQ(event.mask, kEventCts | kEventDsr | kEventRlsd);
}

}  // namespace
}  // namespace korvane::serial
