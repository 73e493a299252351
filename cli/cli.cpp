#include "cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "archive.h"
#include "default_list_name.h"
#include "int_conversion.h"
#include "list_names.h"
#include "map_commands.h"
#include "map_run.h"
#include "output.h"
#include "output_folder.h"
#include "spawnflags.h"
#include "version.h"

namespace kestrum::cli {
namespace {

constexpr const char* kStandardOutput = "-";

std::string InputsHelp() {
  std::string help =
      "Each INPUT is a map file, a folder (every *.bsp below it, in sorted order), an archive (.pk3, .pk4, .zip: "
      "every *.bsp member; .pak: Quake's PACK files) or one map inside an archive as ARCHIVE:MEMBER, e.g. "
      "pak0.pk3:maps/q3dm1.bsp. Maps are processed in parallel; results come in input order, each prefixed with "
      "its map's name (text) or carrying \"map\" (JSON) when there are several maps.\n"
      "Exit status: 0 success, 1 nothing found, 2 wrong usage, 3 a map, archive or file could not be read or "
      "written (the others are still processed), 4 a list stops at an entity cut short.\n";
  if (!sources::ZipArchivesSupported())
    help += "\nThis build reads no zip archives (.pk3, .pk4, .zip); PACK files only.\n";
  return help;
}

int Flags(const std::string& value, std::ostream& out) {
  FlagSlots flags;
  DecodeSpawnflags(AtoiSaturating(value), flags);
  WriteFlagSlots(out, flags);
  return kExitSuccess;
}

struct ListArguments {
  std::vector<std::string> positionals;  ///< INPUT... [OUT]
  std::string outputDir;
};

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  CLI::App app{"Find, list and search the entities of compiled BSP maps.", "kestrum-cli"};
  app.set_version_flag("--version", version::kVersionLine);
  app.require_subcommand(1);
  app.fallthrough(false);
  app.allow_windows_style_options(false);  // "/maps/e1m1.bsp" is a path on Windows too, not an option
  app.footer(InputsHelp());

  std::vector<std::string> inputs;
  auto* locate = app.add_subcommand("locate", "Print the offset of each map's first entity (0: none found).");
  locate->add_option("INPUT", inputs, "Maps, folders, archives, ARCHIVE:MEMBER")->required()->type_name("");

  ListArguments listArguments;
  auto* list = app.add_subcommand("list", "Write every entity of each map to a text file.");
  list->add_option("INPUT... [OUT]", listArguments.positionals,
                   "Maps, folders, archives, ARCHIVE:MEMBER; then, for one map, OUT: the list file (\"-\": standard "
                   "output; default: the map's name with .txt, in this folder)")
      ->required()
      ->type_name("");
  list->add_option("--output-dir,-d", listArguments.outputDir,
                   "Where the lists of several maps go, each under its map's name (default: this folder)");

  SearchOptions search;
  auto* searchCommand = app.add_subcommand(
      "search", "Show the next entity of each map containing TEXT, with its pairs and flags, once per press.");
  // One list of positionals, TEXT last: CLI11 gives a list option every positional after it.
  std::vector<std::string> searchArguments;
  searchCommand
      ->add_option("INPUT... TEXT", searchArguments,
                   "Maps, folders, archives, ARCHIVE:MEMBER; then the text to look for, exactly, case-sensitive")
      ->required()
      ->type_name("")
      ->expected(2, CLI::detail::expected_max_vector_size);
  auto* presses = searchCommand->add_option("--presses,-n", search.presses, "Number of presses per map (default 1)");
  searchCommand->add_flag("--all,-a", search.all, "Press until the search has gone once through the entities")
      ->excludes(presses);
  searchCommand->add_flag("--json", search.json, "One JSON object per press and per line");

  auto* entities =
      app.add_subcommand("entities",
                         "Print every entity of each map, read as the engines read it, as one JSON object per line: "
                         "{\"map\": ..., \"offset\": N, \"index\": i, \"pairs\": [[key, value], ...]}.");
  entities->add_option("INPUT", inputs, "Maps, folders, archives, ARCHIVE:MEMBER")->required()->type_name("");

  std::string flagValue;
  auto* flags = app.add_subcommand("flags", "Decode a spawnflags value into the dialog's twelve flag slots.");
  flags->add_option("VALUE", flagValue, "The value, read as the search reads it")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == 0 ? kExitSuccess : kExitUsage;
  }
  if (searchCommand->parsed()) {
    search.text = searchArguments.back();
    searchArguments.pop_back();
    inputs = searchArguments;
  }
  if (searchCommand->parsed() && search.presses < 1) {
    err << "kestrum-cli: --presses must be at least 1\n";
    return kExitUsage;
  }
  if (flags->parsed()) {
    Flags(flagValue, out);
    out.flush();
    if (!out) {
      err << "kestrum-cli: cannot write the results to standard output\n";
      return kExitFileError;
    }
    return kExitSuccess;
  }

  std::string listPath;
  if (list->parsed()) {
    inputs = listArguments.positionals;
    if (inputs.size() > 1 && !sources::LooksLikeMapInput(inputs.back())) {
      listPath = inputs.back();
      inputs.pop_back();
    }
  }
  const std::vector<MapSource> maps = sources::ExpandInputs(inputs);
  MapNaming naming;
  naming.severalMaps = maps.size() > 1;

  MapWork work;
  std::vector<std::string> listPaths;
  std::vector<std::string> pathsRead;  ///< no list may be any of them: maps are read while lists are written
  if (locate->parsed()) {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput&) { return LocateMap(source, naming); };
  } else if (list->parsed()) {
    if (!listPath.empty() && (maps.size() != 1 || !listArguments.outputDir.empty())) {
      err << "kestrum-cli: OUT names the list of one map; for several maps give --output-dir DIR\n";
      return kExitUsage;
    }
    if (!listPath.empty()) {
      listPaths = {listPath == kStandardOutput ? std::string("/dev/stdout") : listPath};
    } else if (maps.size() == 1 && listArguments.outputDir.empty()) {
      listPaths = {DefaultListName(maps[0].member ? maps[0].member->name : maps[0].path)};
    } else {
      listPaths = ListPathsFor(maps, listArguments.outputDir);
    }
    if (!listArguments.outputDir.empty()) {
      if (const std::optional<std::string> problem = CreateOutputFolder(listArguments.outputDir)) {
        err << "kestrum-cli: " << *problem << '\n';
        return kExitFileError;
      }
    }
    for (const MapSource& source : maps) pathsRead.push_back(source.path);
    work = [&](std::size_t index, const MapSource& source, const EarlyOutput&) {
      return ListMap(source, listPaths[index], pathsRead, naming);
    };
  } else if (searchCommand->parsed()) {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput& early) {
      return SearchMap(source, search, naming, early);
    };
  } else {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput&) { return MapEntities(source, naming); };
  }

  const RunSummary summary = RunOverMaps(maps, work, out, err, errIsTerminal);
  if (searchCommand->parsed() && summary.found == 0 && summary.failed == 0 && !summary.outputFailed && !search.json) {
    err << "kestrum-cli: no entity contains \"" << EscapeControls(search.text) << "\"\n";
  }
  return ExitStatusOf(summary);
}

}  // namespace kestrum::cli
