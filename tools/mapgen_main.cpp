// kestrum-mapgen: writes the sample map.
#include <cstdio>
#include <fstream>

#include "map_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s OUTPUT.bsp\nWrites the sample map.\n", argv[0]);
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
