// Which Win32 the public-API tests run on: the layer (Linux build), Windows, or
// Wine (the Windows build under tests/wine). Cases where Wine is known to differ
// from Windows are skipped under Wine, with the reason.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../../host/test_host.h"

// The checks of one test that Wine is known to get wrong: under Wine they are
// left out and the test ends in a skip naming each reason, once every other
// check has run.
class WineShortfalls {
 public:
  // Whether to make the check; under Wine, a check with a reason is noted instead.
  bool check(const char *reasonUnderWine) {
    if (!reasonUnderWine || !test_host::underWine()) return true;
    if (!reasons_.empty()) reasons_ += "; ";
    reasons_ += reasonUnderWine;
    return false;
  }
  bool any() const { return !reasons_.empty(); }
  const std::string &reasons() const { return reasons_; }

 private:
  std::string reasons_;
};

// Ends the test in a skip when some of its checks were left out under Wine.
#define SKIP_WINE_SHORTFALLS(shortfalls) \
  if ((shortfalls).any()) GTEST_SKIP() << "under Wine: " << (shortfalls).reasons()
