#include "round_trip.h"

#include <filesystem>
#include <istream>
#include <iterator>
#include <ostream>

#include "bsp_formats.h"
#include "cli.h"
#include "entity_text_check.h"
#include "file.h"
#include "json_lines.h"
#include "list_target.h"
#include "lump_rewrite.h"
#include "output.h"

namespace kestrum::cli {
namespace {

constexpr std::size_t kCopyBlockSize = std::size_t{1} << 20;

std::string ReadInput(const std::string& path, std::istream& in) {
  if (path == "-") {
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw CInputError("Cannot read the standard input");
    return bytes;
  }
  CFile file;
  file.Open(path, CFile::Mode::Read);
  AbortOnExit closing(file);
  return ReadLump(file, LumpPlace{0, file.GetLength()});
}

/** The entity text an import writes, from what the user gave. */
std::string EntityTextOf(const std::string& input, const ImportOptions& options) {
  const bool json =
      options.input == ImportInput::JsonLines || (options.input == ImportInput::Detect && LooksLikeJsonLines(input));
  return json ? EntityTextOfJsonLines(input, options.encoding) : input;
}

/** Whether out names the map itself, also through a link: then the import is in place. */
bool NamesTheMap(const std::string& out, const std::string& map) {
  std::error_code error;
  return std::filesystem::equivalent(out, map, error);
}

/** Keeps the map as it is now in backupPath, replaced as a list is. */
void WriteBackup(const IByteSource& map, const std::string& backupPath) {
  CFile file;
  CListTarget backup(file, backupPath, {});
  std::string block;
  for (std::int64_t at = 0; at < map.Size(); at += static_cast<std::int64_t>(block.size())) {
    block.resize(static_cast<std::size_t>(std::min<std::int64_t>(kCopyBlockSize, map.Size() - at)));
    if (map.ReadAt(at, block.data(), block.size()) != block.size()) {
      throw CInputError(map.Name(), "the file ended while it was copied to its backup");
    }
    file.Write(block.data(), block.size());
  }
  backup.Commit();
}

}  // namespace

MapReport ExportMap(const MapSource& source, const std::string& outPath, const CFilesRead& filesRead,
                    const MapNaming& naming) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  try {
    const std::shared_ptr<const IByteSource> map = sources::OpenMap(source);
    report.bytesRead += static_cast<std::uint64_t>(map->Size());
    const BspLayout layout = ReadBspLayout(*map);
    const std::string lump = ReadLump(*map, layout.EntityLump());
    map->ThrowIfChanged();
    const std::string_view text = EntityTextOfLump(lump);
    CFile file;
    CListTarget target(file, outPath, filesRead);
    file.Write(text.data(), text.size());
    target.Commit();
    report.result = MapResult::Found;
  } catch (const CInputError& error) {
    AddFailure(report, prefix, source, error);
  }
  return report;
}

int ImportMap(const ImportOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const bool inPlace = options.outPath.empty() || NamesTheMap(options.outPath, options.mapPath);
  const std::string target = options.outPath.empty() ? options.mapPath : options.outPath;
  try {
    const std::string input = ReadInput(options.inPath, in);
    std::string text;
    try {
      text = EntityTextOf(input, options);
      CheckEntityText(text, options.force);
    } catch (const CInputError& error) {
      // The reasons of a malformed input name no file; the input is the one to blame.
      throw CInputError(options.inPath == "-" ? "standard input" : options.inPath, error.what());
    }
    CFile map;
    map.Open(options.mapPath, CFile::Mode::Read);
    AbortOnExit closingMap(map);
    const BspLayout layout = ReadBspLayout(map);
    const std::string lump = EntityLumpOfText(text, ReadLump(map, layout.EntityLump()));
    const EntityLumpPlan plan = PlanEntityLump(layout, map.Size(), static_cast<std::int64_t>(lump.size()));

    CFile written;
    CListTarget replacement(written, target, {});
    RewriteMap(map, layout, plan, lump,
               [&written](std::string_view block) { written.Write(block.data(), block.size()); });
    written.Flush();
    CheckRewrittenMap(written, map, layout, plan, lump);
    map.ThrowIfChanged();
    const bool backup = inPlace && options.backup;
    if (backup) WriteBackup(map, options.mapPath + ".bak");
    // Windows replaces no file that is open, not even one opened to be shared that way.
    map.Close();
    replacement.Commit();

    out << "kestrum-cli: \"" << EscapeName(target) << "\": " << layout.format->name << ", entity lump of "
        << plan.newPlace.length << " bytes at offset " << plan.newPlace.offset
        << (plan.newPlace.offset == layout.EntityLump().offset ? " (in its old place)" : " (moved to the end)")
        << (backup ? "; the old map is \"" + EscapeName(options.mapPath) + ".bak\"" : std::string()) << '\n';
    return kExitSuccess;
  } catch (const CInputError& error) {
    err << "kestrum-cli: " << error.what() << '\n';
    return kExitFileError;
  }
}

}  // namespace kestrum::cli
