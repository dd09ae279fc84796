// The reader's documented process exits, made catchable in the fuzzing build:
// plyfile.cpp compiled with GLINTWORK_PLY_FUZZ calls ply_fuzz_exit instead of
// exit(), and the harness turns that into an exception it expects.
#ifndef GLINTWORK_TESTS_FUZZ_EXIT_H
#define GLINTWORK_TESTS_FUZZ_EXIT_H

struct PlyExit {
  int code;
};

[[noreturn]] void ply_fuzz_exit(int code) { throw PlyExit{code}; }

#endif
