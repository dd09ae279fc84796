// The process entry of a Win32 program on this host: main() hands WinMain the
// program's module handle, no previous instance, the command line after the
// program name (arguments joined by blanks, quoted where they hold blanks) and
// SW_SHOWDEFAULT, and returns WinMain's result as the exit code.
#include "layer_support.h"

#include <string>

int main(int argc, char **argv) {
  static std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i > 1) commandLine += ' ';
    if (arg.empty() || arg.find_first_of(" \t") != std::string::npos)
      commandLine += '"' + arg + '"';
    else
      commandLine += arg;
  }
  return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
