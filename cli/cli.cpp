#include "cli.h"

#include "headless_dialog.h"
#include "int_conversion.h"
#include "list_name.h"
#include "output.h"
#include "version.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace kestrum::cli {
namespace {

int ExitCodeOf(CommandOutcome outcome) {
  switch (outcome) {
    case CommandOutcome::Done: return kExitSuccess;
    case CommandOutcome::NothingFound: return kExitNothingFound;
    case CommandOutcome::FileError: return kExitFileError;
    case CommandOutcome::ListCutShort: return kExitListCutShort;
    case CommandOutcome::Cancelled:
    case CommandOutcome::NoBspLoaded: break;  // no chooser is cancelled here, and a map is always opened
  }
  return kExitUsage;
}

/** The dialog's commands without a window; their messages go to the error stream. */
class CCliDialog : public CHeadlessDialog {
 public:
  explicit CCliDialog(std::ostream& err) {
    services.logEvents = false;
    services.onMessage = [&err](const std::string& text) { err << "kestrum-cli: " << text << '\n'; };
  }
};

int Locate(const std::string& bspPath, std::ostream& out, std::ostream& err) {
  CCliDialog session(err);
  const CommandOutcome outcome = session.Open(bspPath);
  if (outcome != CommandOutcome::FileError) out << session.dialog.m_entityOffset << '\n';
  return ExitCodeOf(outcome);
}

int List(const std::string& bspPath, const std::string& listPath, std::ostream& err) {
  CCliDialog session(err);
  const CommandOutcome opened = session.Open(bspPath);
  if (opened == CommandOutcome::FileError) return kExitFileError;
  // Like the dialog, a map without entities still gets its (empty) list.
  const CommandOutcome listed = session.CreateList(listPath.empty() ? DefaultListName(bspPath) : listPath);
  return listed == CommandOutcome::Done ? ExitCodeOf(opened) : ExitCodeOf(listed);
}

struct SearchOptions {
  std::string bspPath;
  std::string text;
  int presses = 1;
  bool all = false;
  bool json = false;
};

int Search(const SearchOptions& options, std::ostream& out, std::ostream& err) {
  CCliDialog session(err);
  const CommandOutcome opened = session.Open(options.bspPath);
  if (opened == CommandOutcome::FileError) return kExitFileError;
  bool anyMatch = false;
  for (int press = 1; options.all || press <= options.presses; ++press) {
    const CommandOutcome outcome = session.Search(options.text);
    if (outcome == CommandOutcome::FileError) return kExitFileError;
    const bool matched = outcome == CommandOutcome::Done;
    anyMatch = anyMatch || matched;
    if (options.json) {
      WriteJsonPress(out, press, session.dialog);
    } else if (matched) {
      WriteFoundEntity(out, press, session.dialog);
    }
    // Without a match the search has reached the end of the entities.
    if (options.all && !matched) break;
  }
  if (!anyMatch && !options.json) err << "kestrum-cli: no entity contains \"" << options.text << "\"\n";
  return anyMatch ? kExitSuccess : kExitNothingFound;
}

int Flags(const std::string& value, std::ostream& out, std::ostream& err) {
  CCliDialog session(err);
  session.dialog.ShowSpawnflags(AtoiSaturating(value));
  WriteFlagSlots(out, session.dialog);
  return kExitSuccess;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Find, list and search the entities of compiled BSP maps.", "kestrum-cli"};
  app.set_version_flag("--version", version::kVersionLine);
  app.require_subcommand(1);
  app.fallthrough(false);

  std::string bspPath;
  auto* locate = app.add_subcommand("locate", "Print the offset of the map's first entity (0: none found).");
  locate->add_option("BSP", bspPath, "The compiled map")->required();

  std::string listPath;
  auto* list = app.add_subcommand("list", "Write every entity of the map to a text file.");
  list->add_option("BSP", bspPath, "The compiled map")->required();
  list->add_option("OUT", listPath, "The list file (default: the map's name with .txt, in this folder)");

  SearchOptions search;
  auto* searchCommand = app.add_subcommand(
      "search", "Press Analyse Entity with TEXT: show the next entity containing it, its pairs and flags.");
  searchCommand->add_option("BSP", search.bspPath, "The compiled map")->required();
  searchCommand->add_option("TEXT", search.text, "The text to look for, exactly, case-sensitive")->required();
  auto* presses = searchCommand->add_option("--presses,-n", search.presses, "Number of presses (default 1)")
                      ->check(CLI::PositiveNumber);
  searchCommand->add_flag("--all,-a", search.all, "Press until the search has gone once through the entities")
      ->excludes(presses);
  searchCommand->add_flag("--json", search.json, "One JSON object per press and per line");

  std::string flagValue;
  auto* flags = app.add_subcommand("flags", "Decode a spawnflags value into the dialog's twelve flag slots.");
  flags->add_option("VALUE", flagValue, "The value, read as the search reads it")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == 0 ? kExitSuccess : kExitUsage;
  }

  if (locate->parsed()) return Locate(bspPath, out, err);
  if (list->parsed()) return List(bspPath, listPath, err);
  if (searchCommand->parsed()) return Search(search, out, err);
  return Flags(flagValue, out, err);
}

}  // namespace kestrum::cli
