// The fixed 60-per-second frame schedule on the performance counter. A frame is
// due when the counter is strictly past the next tick; after a frame the next tick
// moves one interval on from the previous tick (no drift), or, when that is already
// behind the counter, one interval on from the count the frame was started at (no
// catch-up frames after a stall).
#pragma once

#include <cstdint>

struct FrameSchedule {
  double secondsPerCount;
  uint32_t interval;  // counts per frame: frequency / 60, truncated, low 32 bits
  int64_t previousFrameCount;
  int64_t nextTick;
};

inline FrameSchedule makeFrameSchedule(int64_t frequency, int64_t startCount) {
  FrameSchedule schedule;
  schedule.secondsPerCount = 1.0 / static_cast<double>(frequency);
  schedule.interval = static_cast<uint32_t>(frequency / 60);
  schedule.previousFrameCount = startCount;
  schedule.nextTick = 0;  // the first idle pass always draws
  return schedule;
}

inline bool frameDue(const FrameSchedule &schedule, int64_t currentCount) {
  return currentCount > schedule.nextTick;
}

// Starts the frame due at currentCount: returns the seconds since the previous frame.
inline float startFrame(FrameSchedule &schedule, int64_t currentCount) {
  const int64_t elapsedCounts = currentCount - schedule.previousFrameCount;
  schedule.previousFrameCount = currentCount;
  return static_cast<float>(static_cast<double>(elapsedCounts) * schedule.secondsPerCount);
}

// Ends the frame started at currentCount by scheduling the next one.
inline void finishFrame(FrameSchedule &schedule, int64_t currentCount) {
  schedule.nextTick += static_cast<int64_t>(schedule.interval);
  if (schedule.nextTick < currentCount) {
    schedule.nextTick = currentCount + static_cast<int64_t>(schedule.interval);
  }
}
