// kestrum-mapgen: writes the sample map.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "map_builder.h"

namespace {

void PrintUsage(std::FILE* to, const char* program) {
  std::fprintf(to, "Usage: %s OUTPUT.bsp\nWrites the sample map.\n", program);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout, argv[0]);
    return 0;
  }
  // A name that starts with "-" is an option this program does not have: writing a map
  // under it would leave a file that is hard to remove.
  if (argc != 2 || argv[1][0] == '-') {
    PrintUsage(stderr, argv[0]);
    return 2;
  }
  const kestrum::mapgen::BuiltMap map = kestrum::mapgen::DemoMap();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(map.bytes.data(), static_cast<std::streamsize>(map.bytes.size()));
  out.close();
  if (!out) {
    std::perror(argv[1]);
    return 3;
  }
  return 0;
}
