#include <iostream>

#include "cli.h"
#include "progress_line.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

/**
 * Maps are read into memory one after another, a few hundred kilobytes each. By default
 * glibc gives every such block fresh pages from the kernel and returns them on free, so
 * each map costs a round of page faults; keeping freed memory for the next map makes a
 * run over a thousand maps many times faster.
 */
void KeepFreedMemoryForTheNextMaps() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  KeepFreedMemoryForTheNextMaps();
  return kestrum::cli::RunCli(argc, argv, std::cout, std::cerr, kestrum::cli::ErrorStreamIsTerminal());
}
