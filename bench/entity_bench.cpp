// Benchmarks of Open BSP and Create list against the plain I/O they cannot beat:
// reading the scanned range once with a memmem over it, and copying the entity bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "bench_support.h"
#include "headless_dialog.h"
#include "locator.h"
#include "map_builder.h"
#include "test_files.h"

namespace {

using kestrum::bench::Folder;
using kestrum::bench::LumpMap;
using kestrum::bench::MapOf100000Entities;

constexpr std::size_t kMapSize = std::size_t{1} << 30;
constexpr std::size_t kLastTenth = kMapSize * 9 / 10;
constexpr std::size_t kBlock = 1u << 20;

/** Binary-looking bytes without the key: NUL-rich, so the NUL logic is exercised too. */
void WriteBinaryMap(const std::string& path, std::size_t size, std::int64_t keyAt) {
  std::vector<char> block(kBlock);
  std::uint32_t state = 12345;
  for (char& byte : block) {
    state = state * 1664525u + 1013904223u;
    const unsigned value = state >> 24;
    byte = value < 128 ? '\0' : static_cast<char>("worldspan{}\" x"[value % 14]);
  }
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (std::size_t written = 0; written < size; written += block.size()) {
    if (::write(out, block.data(), block.size()) != static_cast<ssize_t>(block.size())) std::abort();
  }
  if (keyAt >= 0) {
    const std::string entity = "{\n\"classname\" \"worldspawn\"\n}\n";
    if (::pwrite(out, entity.data(), entity.size(), keyAt) != static_cast<ssize_t>(entity.size())) std::abort();
  }
  // Written out and read once, so that no benchmark competes with the write-back or
  // is the first to fault the file into the page cache.
  ::fsync(out);
  ::close(out);
  const int in = ::open(path.c_str(), O_RDONLY);
  for (off_t offset = 0; ::pread(in, block.data(), block.size(), offset) > 0;
       offset += static_cast<off_t>(block.size())) {
  }
  ::close(in);
}

const std::string& MapWithoutKey() {
  static const std::string path = [] {
    const std::string file = Folder().File("nokey.bsp");
    WriteBinaryMap(file, kMapSize, -1);
    return file;
  }();
  return path;
}

const std::string& MapWithKey() {
  static const std::string path = [] {
    const std::string file = Folder().File("key.bsp");
    WriteBinaryMap(file, kMapSize, static_cast<std::int64_t>(kMapSize) * 97 / 100);
    return file;
  }();
  return path;
}

/** Bytes the locator reads: the last tenth, and the whole file again when that has no key. */
std::size_t ScannedBytes(const std::string& path) {
  return path == MapWithKey() ? kMapSize - kLastTenth : kMapSize + (kMapSize - kLastTenth);
}

void OpenBsp(benchmark::State& state, const std::string& path) {
  const bool hasKey = path == MapWithKey();  // makes that map now, not while timing
  for (auto _ : state) {
    kestrum::CHeadlessDialog session;
    const kestrum::CommandOutcome outcome = session.Open(path);
    benchmark::DoNotOptimize(outcome);
    if ((outcome == kestrum::CommandOutcome::Done) != hasKey) state.SkipWithError("wrong outcome");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ScannedBytes(path)));
}

/**
 * One sequential read from `from` to the end with a memmem for the key: the floor. A map
 * without the key is read whole, since the locator then scans the whole file too.
 */
void ReadAndMemmem(benchmark::State& state, const std::string& path, std::size_t from) {
  std::vector<char> block(kBlock);
  for (auto _ : state) {
    const int in = ::open(path.c_str(), O_RDONLY);
    off_t offset = static_cast<off_t>(from);
    const void* found = nullptr;
    for (ssize_t got; (got = ::pread(in, block.data(), block.size(), offset)) > 0; offset += got) {
      found = memmem(block.data(), static_cast<std::size_t>(got), "worldspawn", 10);
      if (found) break;
    }
    benchmark::DoNotOptimize(found);
    ::close(in);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (kMapSize - from)));
}

BENCHMARK_CAPTURE(OpenBsp, without_key, MapWithoutKey())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadAndMemmem, without_key, MapWithoutKey(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenBsp, with_key, MapWithKey())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadAndMemmem, with_key, MapWithKey(), kLastTenth)->Unit(benchmark::kMillisecond);

void CreateList(benchmark::State& state) {
  const LumpMap& map = MapOf100000Entities();
  std::ostringstream messages;
  kestrum::CHeadlessDialog session;
  session.services.onMessage = [&messages](const std::string& text) { messages << text << '\n'; };
  if (session.Open(map.path) != kestrum::CommandOutcome::Done) state.SkipWithError("no entities found");
  const std::string list = Folder().File("list.txt");
  for (auto _ : state) {
    if (session.CreateList(list) != kestrum::CommandOutcome::Done) state.SkipWithError(messages.str().c_str());
  }
  if (!messages.str().empty()) {
    state.SkipWithError(messages.str().c_str());
  } else if (kestrum::test::ReadFile(list).size() != map.lumpSize - 1 + 3 * 100'000) {
    state.SkipWithError("wrong list size");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * map.lumpSize));
}

/** Copying the lump's bytes to a file: read and write in large blocks. */
void CopyLump(benchmark::State& state) {
  const LumpMap& map = MapOf100000Entities();
  const std::string copy = Folder().File("copy.txt");
  std::vector<char> block(kBlock);
  for (auto _ : state) {
    const int in = ::open(map.path.c_str(), O_RDONLY);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t done = 0;
    while (done < map.lumpSize) {
      const std::size_t want = std::min(block.size(), map.lumpSize - done);
      const ssize_t got = ::pread(in, block.data(), want, map.lumpOffset + static_cast<off_t>(done));
      if (got <= 0 || ::write(out, block.data(), static_cast<std::size_t>(got)) != got) std::abort();
      done += static_cast<std::size_t>(got);
    }
    ::close(out);
    ::close(in);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * map.lumpSize));
}

BENCHMARK(CreateList)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyLump)->Unit(benchmark::kMillisecond);

}  // namespace
