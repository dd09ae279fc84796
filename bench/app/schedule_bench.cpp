// Start-up time and frame schedule of the real program: runs glintwork (offscreen,
// with the layer's call trace on) and timestamps every Present as its trace line
// arrives. Reports the time from process start to the first Present, then, after one
// second of warm-up (the first frames compile the GL driver's shader variants), the
// frames drawn and the mean and 99th-percentile interval over 10 s of running.
//   cd build/bin && ./glintwork_schedule_bench [./glintwork] [seconds]
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char **argv) {
  const char *program = argc > 1 ? argv[1] : "./glintwork";
  const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
  setenv("GLINTWORK_TRACE", "1", 1);
  if (getenv("DISPLAY") == nullptr) setenv("SDL_VIDEODRIVER", "offscreen", 0);

  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return 1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  pid_t child;
  char *childArgv[] = {const_cast<char *>(program), nullptr};
  const Clock::time_point started = Clock::now();
  if (posix_spawn(&child, program, &actions, nullptr, childArgv, environ) != 0) {
    std::perror("schedule bench: posix_spawn");
    return 1;
  }
  close(pipeEnds[1]);
  FILE *trace = fdopen(pipeEnds[0], "r");

  const auto warmUp = std::chrono::seconds(1);
  Clock::time_point firstPresent;
  std::vector<Clock::time_point> presents;  // those after the warm-up
  char line[4096];
  while (std::fgets(line, sizeof line, trace) != nullptr) {
    if (std::strstr(line, "d3d9: Present") == nullptr) continue;
    const Clock::time_point now = Clock::now();
    if (firstPresent == Clock::time_point()) firstPresent = now;
    if (now - firstPresent < warmUp) continue;
    presents.push_back(now);
    if (presents.back() - presents.front() >= std::chrono::duration<double>(seconds)) break;
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  if (presents.size() < 2) {
    std::fprintf(stderr, "schedule bench: the program presented %zu frames\n", presents.size());
    return 1;
  }

  std::vector<double> intervals;
  for (size_t i = 1; i < presents.size(); ++i) intervals.push_back(milliseconds(presents[i] - presents[i - 1]));
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  double sum = 0;
  for (double interval : intervals) sum += interval;
  const size_t frames = presents.size() - 1;  // frames drawn after the window's first, within it
  std::printf("time from process start to the first Present: %.1f ms\n", milliseconds(firstPresent - started));
  std::printf("frames drawn in %.1f s after one second of warm-up: %zu (%.2f per second)\n", seconds, frames,
              static_cast<double>(frames) / seconds);
  std::printf("frame interval: mean %.3f ms, 99th percentile %.3f ms, max %.3f ms\n",
              sum / static_cast<double>(intervals.size()), sorted[sorted.size() * 99 / 100], sorted.back());
  return 0;
}
