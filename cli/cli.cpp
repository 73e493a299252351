#include "cli.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "archive.h"
#include "default_list_name.h"
#include "int_conversion.h"
#include "list_names.h"
#include "map_commands.h"
#include "map_run.h"
#include "output.h"
#include "output_folder.h"
#include "round_trip.h"
#include "spawnflags.h"
#include "system_path.h"
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
      "written (the others are still processed), 4 a map's entities are damaged: a list or a search stops at an "
      "entity cut short, or entities skips an entity it cannot read.\n";
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

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(SystemPath(path), error);
}

struct ListArguments {
  std::vector<std::string> positionals;  ///< INPUT... [OUT]
  std::string outputDir;
};

/** A list's name made an export's: "e1m1.txt" gives "e1m1.ent". */
std::string EntityFileName(std::string listName) {
  return listName.replace(listName.size() - 4, 4, ".ent");
}

}  // namespace

namespace {

int RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal,
               std::istream& in) {
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
  const std::map<std::string, MapEncoding> encodings{{"windows-1252", MapEncoding::Windows1252},
                                                     {"latin-1", MapEncoding::Latin1}};
  const std::string encodingHelp =
      "How map bytes are read as text: windows-1252 (the default, as the dialog shows them: 0x80 is the euro sign) "
      "or latin-1 (each byte the code point of its value)";
  searchCommand->add_option("--encoding", search.encoding, encodingHelp)
      ->transform(CLI::CheckedTransformer(encodings, CLI::ignore_case).description(""))
      ->type_name("ENCODING");

  auto* entities =
      app.add_subcommand("entities",
                         "Print every entity of each map, read as the engines read it, as one JSON object per line: "
                         "{\"map\": ..., \"offset\": N, \"index\": i, \"pairs\": [[key, value], ...]}.");
  entities->add_option("INPUT", inputs, "Maps, folders, archives, ARCHIVE:MEMBER")->required()->type_name("");
  MapEncoding entitiesEncoding = MapEncoding::Windows1252;
  entities->add_option("--encoding", entitiesEncoding, encodingHelp)
      ->transform(CLI::CheckedTransformer(encodings, CLI::ignore_case).description(""))
      ->type_name("ENCODING");

  ListArguments exportArguments;
  auto* exportCommand = app.add_subcommand(
      "export", "Write each map's entity lump as it is, up to its first NUL, as engines load external .ent files.");
  exportCommand
      ->add_option("INPUT... [OUT]", exportArguments.positionals,
                   "Maps, folders, archives, ARCHIVE:MEMBER; then, for one map, OUT: the entity file (\"-\": standard "
                   "output; default: the map's name with .ent, in this folder)")
      ->required()
      ->type_name("");
  exportCommand->add_option("--output-dir,-d", exportArguments.outputDir,
                            "Where the files of several maps go, each under its map's name with .ent (default: this "
                            "folder)");

  ImportOptions import;
  auto* importCommand = app.add_subcommand(
      "import",
      "Replace MAP's entity lump with the entities in IN, checked as the engines read them, written beside MAP, "
      "read back and compared before it replaces anything. Exit status 0: written; 3: refused or failed, with "
      "nothing changed on disk.");
  importCommand->add_option("MAP", import.mapPath, "The compiled map (a file)")->required()->type_name("");
  importCommand
      ->add_option("IN", import.inPath,
                   "The entities (\"-\": standard input): entity text (a .ent, an export, a list) or the JSON Lines of "
                   "`entities`, told apart by content")
      ->required()
      ->type_name("");
  importCommand->add_option("--output,-o", import.outPath, "Write the new map here instead of replacing MAP");
  bool noBackup = false;
  importCommand->add_flag("--no-backup", noBackup, "In place: do not keep the old map as MAP.bak");
  importCommand->add_flag("--force", import.force, "Allow a first entity that is not worldspawn");
  const std::map<std::string, ImportInput> inputKinds{{"text", ImportInput::Text}, {"jsonl", ImportInput::JsonLines}};
  importCommand->add_option("--from", import.input, "How to read IN: text or jsonl (default: by its content)")
      ->transform(CLI::CheckedTransformer(inputKinds, CLI::ignore_case).description(""))
      ->type_name("FORMAT");
  importCommand
      ->add_option(
          "--encoding", import.encoding,
          "The code page JSON Lines text goes back through: " + encodingHelp.substr(encodingHelp.find("windows-1252")))
      ->transform(CLI::CheckedTransformer(encodings, CLI::ignore_case).description(""))
      ->type_name("ENCODING");

  std::string flagValue;
  auto* flags = app.add_subcommand("flags", "Decode a spawnflags value into the dialog's twelve flag slots.");
  flags->add_option("VALUE", flagValue, "The value, read as the search reads it")->required();
  flags->footer(std::string());  // it reads no maps: the inputs' text that subcommands inherit says nothing here

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == 0 ? kExitSuccess : kExitUsage;
  }
  std::string typedText;  ///< the search text as the user typed it, for messages
  if (searchCommand->parsed()) {
    typedText = searchArguments.back();
    searchArguments.pop_back();
    inputs = searchArguments;
    // The search looks for the bytes the map would hold: the text's characters in the
    // encoding, as the dialog's search box takes them.
    const std::optional<std::string> bytes = MapBytesOfUtf8(typedText, search.encoding);
    if (!bytes) {
      err << "kestrum-cli: the search text \"" << EscapeName(typedText)
          << "\" holds a character that no byte of the map's encoding stands for\n";
      return kExitUsage;
    }
    search.text = *bytes;
  }
  if (searchCommand->parsed() && search.presses < 1) {
    err << "kestrum-cli: --presses must be at least 1\n";
    return kExitUsage;
  }
  if (flags->parsed()) {
    std::ostringstream slots;
    Flags(flagValue, slots);
    if (const std::optional<std::string> failure = WriteChecked(out, slots.str())) {
      err << *failure;
      return kExitFileError;
    }
    return kExitSuccess;
  }

  if (importCommand->parsed()) {
    if (import.outPath == kStandardOutput) {
      err << "kestrum-cli: the new map must go to a file, where it can be read back before it is used\n";
      return kExitUsage;
    }
    import.backup = !noBackup;
    return ImportMap(import, in, out, err);
  }

  std::string listPath;
  if (list->parsed() || exportCommand->parsed()) {
    ListArguments& arguments = list->parsed() ? listArguments : exportArguments;
    inputs = arguments.positionals;
    if (inputs.size() > 1 && !sources::LooksLikeMapInput(inputs.back())) {
      listPath = inputs.back();
      inputs.pop_back();
    } else if (inputs.size() == 2 && arguments.outputDir.empty() && IsFolder(inputs.back()) &&
               sources::NamesOneMap(inputs.front())) {
      // One map and a folder: the file goes into the folder, as cp puts a file there.
      arguments.outputDir = inputs.back();
      inputs.pop_back();
    }
  }
  const std::vector<MapSource> maps = sources::ExpandInputs(inputs);
  MapNaming naming;
  naming.severalMaps = maps.size() > 1;

  MapWork work;
  std::vector<std::string> listPaths;
  CFilesRead filesRead;  ///< no list may be any of them: maps are read while lists are written
  if (locate->parsed()) {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput&) { return LocateMap(source, naming); };
  } else if (list->parsed() || exportCommand->parsed()) {
    const std::string& outputDir = list->parsed() ? listArguments.outputDir : exportArguments.outputDir;
    if (!listPath.empty() && (maps.size() != 1 || !outputDir.empty())) {
      err << "kestrum-cli: OUT names the file of one map; for several maps give --output-dir DIR\n";
      return kExitUsage;
    }
    if (!listPath.empty()) {
      listPaths = {listPath == kStandardOutput ? std::string("/dev/stdout") : listPath};
    } else if (maps.size() == 1 && outputDir.empty()) {
      listPaths = {DefaultListName(maps[0].member ? maps[0].member->name : maps[0].path)};
    } else {
      listPaths = ListPathsFor(maps, outputDir);
    }
    if (exportCommand->parsed() && listPath.empty()) {
      for (std::string& path : listPaths) path = EntityFileName(path);
    }
    if (!outputDir.empty()) {
      if (const std::optional<std::string> problem = CreateOutputFolder(outputDir)) {
        err << "kestrum-cli: " << *problem << '\n';
        return kExitFileError;
      }
    }
    std::vector<std::string> pathsRead;
    for (const MapSource& source : maps) pathsRead.push_back(source.path);
    filesRead = CFilesRead(pathsRead);
    if (list->parsed()) {
      work = [&](std::size_t index, const MapSource& source, const EarlyOutput&) {
        return ListMap(source, listPaths[index], filesRead, naming);
      };
    } else {
      work = [&](std::size_t index, const MapSource& source, const EarlyOutput&) {
        return ExportMap(source, listPaths[index], filesRead, naming);
      };
    }
  } else if (searchCommand->parsed()) {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput& early) {
      return SearchMap(source, search, naming, early);
    };
  } else {
    work = [&](std::size_t, const MapSource& source, const EarlyOutput& early) {
      return MapEntities(source, naming, entitiesEncoding, early);
    };
  }

  const RunSummary summary = RunOverMaps(maps, work, out, err, errIsTerminal);
  if (searchCommand->parsed() && summary.found == 0 && summary.failed == 0 && !summary.outputFailed && !search.json) {
    err << "kestrum-cli: no entity contains \"" << EscapeName(typedText) << "\"\n";
  }
  return ExitStatusOf(summary);
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal,
           std::istream& in) {
  try {
    return RunCommand(argc, argv, out, err, errIsTerminal, in);
  } catch (const std::exception& error) {
    // Whatever the cause (memory, a stream that throws), the script learns that the run failed.
    err << "kestrum-cli: " << error.what() << '\n';
  } catch (...) {
    err << "kestrum-cli: an unknown error ended the run\n";
  }
  return kExitFileError;
}

}  // namespace kestrum::cli
