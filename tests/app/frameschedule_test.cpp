// The frame schedule's tick arithmetic on a counter the test controls.
#include "app/frameschedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Runs idle passes at the given counter values and returns the counts at which a
// frame was drawn, as the frame loop would.
std::vector<int64_t> framesDrawn(FrameSchedule &schedule, const std::vector<int64_t> &passes) {
  std::vector<int64_t> drawn;
  for (int64_t count : passes) {
    if (!frameDue(schedule, count)) continue;
    startFrame(schedule, count);
    finishFrame(schedule, count);
    drawn.push_back(count);
  }
  return drawn;
}

TEST(FrameSchedule, IntervalTruncatesTheCountsPerFrame) {
  struct Case { const char *label; int64_t frequency; uint32_t interval; };
  const Case cases[] = {
      {"10 MHz counter", 10000000, 166666},
      {"ACPI timer", 3579545, 59659},
      {"counter of 60 per second", 60, 1},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(makeFrameSchedule(c.frequency, 0).interval, c.interval) << c.label;
  }
}

TEST(FrameSchedule, FirstIdlePassDrawsAndResynchronises) {
  FrameSchedule schedule = makeFrameSchedule(10000000, 5000000);
  ASSERT_TRUE(frameDue(schedule, 5000001));
  // The first frame's elapsed time covers everything since the start-up sample.
  EXPECT_FLOAT_EQ(startFrame(schedule, 7000000), 0.2f);
  finishFrame(schedule, 7000000);
  // One interval after tick 0 is far behind: the schedule restarts from this frame.
  EXPECT_EQ(schedule.nextTick, 7000000 + 166666);
}

TEST(FrameSchedule, FrameIsDueOnlyStrictlyAfterTheTick) {
  FrameSchedule schedule = makeFrameSchedule(10000000, 0);
  schedule.nextTick = 1000;
  EXPECT_FALSE(frameDue(schedule, 999));
  EXPECT_FALSE(frameDue(schedule, 1000));
  EXPECT_TRUE(frameDue(schedule, 1001));
}

TEST(FrameSchedule, OnTimeFramesKeepThePhase) {
  FrameSchedule schedule = makeFrameSchedule(600, 0);  // interval 10 counts
  schedule.nextTick = 100;
  // Frames that start up to one interval late advance the tick from the tick itself.
  EXPECT_EQ(framesDrawn(schedule, {101, 105, 110, 111, 119, 121, 125, 130, 131}),
            (std::vector<int64_t>{101, 111, 121, 131}));
  EXPECT_EQ(schedule.nextTick, 140);
}

TEST(FrameSchedule, LateFrameDrawsOnceAndRestartsThePhase) {
  FrameSchedule schedule = makeFrameSchedule(600, 0);
  schedule.nextTick = 100;
  schedule.previousFrameCount = 95;
  ASSERT_TRUE(frameDue(schedule, 175));
  // The whole delay is one frame's elapsed time; no catch-up frames follow.
  EXPECT_FLOAT_EQ(startFrame(schedule, 175), 80.0f / 600.0f);
  finishFrame(schedule, 175);
  EXPECT_EQ(schedule.nextTick, 185);
  EXPECT_EQ(framesDrawn(schedule, {176, 180, 185, 186}), (std::vector<int64_t>{186}));
}

TEST(FrameSchedule, ElapsedTimeIsTheMeasuredCounterDifference) {
  FrameSchedule schedule = makeFrameSchedule(1000, 0);
  schedule.nextTick = 10;
  EXPECT_FLOAT_EQ(startFrame(schedule, 17), 0.017f);
  finishFrame(schedule, 17);
  EXPECT_FLOAT_EQ(startFrame(schedule, 43), 0.026f);
}

}  // namespace
