// meshgen DIRECTORY: writes the eight catalogue mesh files into DIRECTORY.
#include <cstdio>

#include "tools/catalogue.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: meshgen DIRECTORY\n");
    return 2;
  }
  if (!catalogue::writeCatalogue(argv[1])) {
    std::fprintf(stderr, "meshgen: cannot write the catalogue into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
