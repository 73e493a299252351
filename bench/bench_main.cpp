// Runs every benchmark and prints each ratio to its baseline against its target.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kestrum::bench::CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("Open BSP, no key", "OpenBsp/without_key", "ReadAndMemmem/without_key", 1.5);
  reporter.PrintRatio("Open BSP, key in the last tenth", "OpenBsp/with_key", "ReadAndMemmem/with_key", 1.5);
  reporter.PrintRatio("Create list, 100,000 entities", "CreateList", "CopyLump", 3.0);
  reporter.PrintRatio("search over a zip of 500 maps", "CliSearchZipOf500Maps/real_time", "UnzipAllMaps/real_time",
                      1.0);
  reporter.PrintRatio("search over 1,000 map files", "CliSearch1000Maps/real_time", "GrepCount1000Maps/real_time", 1.0);
  reporter.PrintRatio("entities over 1,000 map files", "CliEntities1000Maps/real_time", "CliList1000Maps/real_time",
                      2.0);
  for (const std::string flags : {"all_flags", "few_flags"}) {
    const std::string searchAll = "CliSearchAllAgainstList100000Entities/" + flags + "/";
    const std::string what = "search --all, 100,000 entities (" + flags + "), ";
    reporter.PrintCounterRatio(what + "text, to list", searchAll, "text_ms", "list_ms", 2.0);
    reporter.PrintCounterRatio(what + "JSON, to list", searchAll, "json_ms", "list_ms", 2.0);
  }
  reporter.PrintCounterRatio("import into a 10 MB map (-o), to cp", "ImportAgainstCopy", "import_ms", "cp_ms", 3.0);
  reporter.PrintCounterRatio("import in place with .bak, 10 MB map, to cp", "ImportAgainstCopy", "in_place_ms", "cp_ms",
                             3.0);
  reporter.PrintLimit("search, three 1 MiB entities of \"a\" for \"a\" x 100,000 + \"b\"", "SearchAlmostMatching", 0.2);
  benchmark::Shutdown();
  return 0;
}
