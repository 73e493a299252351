#include "map_inputs.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <system_error>

#include "block_cache.h"
#include "default_list_name.h"
#include "map_size.h"
#include "name_matching.h"
#include "system_path.h"

namespace kestrum::sources {
namespace {

namespace fs = std::filesystem;

/** The archives of one expansion, each opened once, by path. */
class COpenedArchives {
 public:
  std::shared_ptr<const CArchive> Open(const std::string& path) {
    std::shared_ptr<const CArchive>& archive = m_byPath[path];
    if (!archive) archive = OpenArchive(path);
    return archive;
  }

 private:
  std::map<std::string, std::shared_ptr<const CArchive>> m_byPath;
};

MapSource Problem(const std::string& input, const std::string& message) {
  MapSource source;
  source.name = input;
  source.path = input;
  source.problem = message;
  return source;
}

MapSource MemberSource(const std::shared_ptr<const CArchive>& archive, const ArchiveMember& member) {
  MapSource source;
  source.name = MemberName(archive->Path(), member.name);
  source.path = archive->Path();
  source.archive = archive;
  source.member = member;
  return source;
}

/**
 * Every *.bsp below folder (links to files followed, links to folders not), sorted by
 * path, with a problem in its place for each folder below it that cannot be read: the
 * maps of the folders that can be read are all there.
 */
void AddFolder(const std::string& folder, std::vector<MapSource>& sources) {
  std::vector<MapSource> found;
  std::vector<fs::path> pending{SystemPath(folder)};
  while (!pending.empty()) {
    const fs::path current = std::move(pending.back());
    pending.pop_back();
    std::error_code error;
    for (fs::directory_iterator entry(current, error), end; !error && entry != end; entry.increment(error)) {
      std::error_code statusError;
      if (entry->is_directory(statusError) && !entry->is_symlink(statusError)) {
        pending.push_back(entry->path());
      } else if (IsMapName(Utf8Path(entry->path().filename())) && entry->is_regular_file(statusError)) {
        const std::string map = Utf8Path(entry->path());
        found.push_back(MapSource{map, map, nullptr, std::nullopt, {}});
      }
    }
    if (error) {
      const std::string name = Utf8Path(current);
      found.push_back(Problem(name, "\"" + name + "\": cannot read the folder: " + error.message()));
    }
  }
  if (found.empty()) {
    sources.push_back(Problem(folder, "\"" + folder + "\": no maps (*.bsp) in this folder or below it"));
    return;
  }
  std::sort(found.begin(), found.end(), [](const MapSource& a, const MapSource& b) { return a.name < b.name; });
  sources.insert(sources.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
}

std::vector<ArchiveMember> MapMembers(const CArchive& archive) {
  std::vector<ArchiveMember> maps;
  for (const ArchiveMember& member : archive.Members()) {
    if (IsMapName(member.name)) maps.push_back(member);
  }
  std::sort(maps.begin(), maps.end(), [](const ArchiveMember& a, const ArchiveMember& b) { return a.name < b.name; });
  return maps;
}

void AddArchive(const std::string& path, COpenedArchives& archives, std::vector<MapSource>& sources) {
  try {
    const std::shared_ptr<const CArchive> archive = archives.Open(path);
    const std::vector<ArchiveMember> maps = MapMembers(*archive);
    if (maps.empty()) {
      sources.push_back(Problem(path, NoMapsInArchive(path)));
      return;
    }
    for (const ArchiveMember& member : maps) sources.push_back(MemberSource(archive, member));
  } catch (const CInputError& error) {
    sources.push_back(Problem(path, error.what()));
  }
}

/** The archive part of ARCHIVE:MEMBER: the shortest prefix before a ":" that is an archive file. */
std::optional<std::size_t> ArchiveNameEnd(const std::string& input) {
  for (std::size_t colon = input.find(':'); colon != std::string::npos; colon = input.find(':', colon + 1)) {
    const std::string prefix = input.substr(0, colon);
    std::error_code error;
    if (IsArchiveName(prefix) && fs::is_regular_file(SystemPath(prefix), error)) return colon;
  }
  return std::nullopt;
}

/**
 * Whether the member name the user gave is the archive's: archives separate folders with
 * "/", and on Windows, where paths take "\", a member may be named with either.
 */
bool IsMemberName(const std::string& given, const std::string& member) {
#ifdef _WIN32
  const auto sameCharacter = [](char a, char b) {
    return a == b || (a == '\\' && b == '/') || (a == '/' && b == '\\');
  };
  return std::equal(given.begin(), given.end(), member.begin(), member.end(), sameCharacter);
#else
  return given == member;
#endif
}

MapSource MemberOf(const std::string& input, std::size_t colon, COpenedArchives& archives) {
  const std::string path = input.substr(0, colon);
  const std::string name = input.substr(colon + 1);
  try {
    const std::shared_ptr<const CArchive> archive = archives.Open(path);
    const std::vector<ArchiveMember>& members = archive->Members();
    const auto found = std::find_if(members.begin(), members.end(),
                                    [&](const ArchiveMember& member) { return IsMemberName(name, member.name); });
    if (found == members.end()) {
      return Problem(input, "\"" + input + "\": the archive has no member \"" + name + "\"");
    }
    return MemberSource(archive, *found);
  } catch (const CInputError& error) {
    return Problem(input, error.what());
  }
}

/** A name that is no folder and no whole archive: ARCHIVE:MEMBER, or a map file. */
MapSource SingleMap(const std::string& input, bool exists, COpenedArchives& archives) {
  if (const std::optional<std::size_t> colon = exists ? std::nullopt : ArchiveNameEnd(input)) {
    return MemberOf(input, *colon, archives);
  }
  return MapSource{input, input, nullptr, std::nullopt, {}};
}

}  // namespace

std::vector<MapSource> ExpandInputs(const std::vector<std::string>& inputs) {
  std::vector<MapSource> sources;
  COpenedArchives archives;
  for (const std::string& input : inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(SystemPath(input), error);
    if (fs::is_directory(status)) {
      AddFolder(input, sources);
    } else if (fs::exists(status) && IsArchiveName(input)) {
      AddArchive(input, archives, sources);
    } else {
      sources.push_back(SingleMap(input, fs::exists(status), archives));
    }
  }
  return sources;
}

MapSource FindMap(const std::string& name) {
  std::error_code error;
  COpenedArchives archives;
  return SingleMap(name, fs::exists(SystemPath(name), error), archives);
}

std::vector<std::string> MapsInArchive(const std::string& archivePath) {
  std::vector<std::string> names;
  for (const ArchiveMember& member : MapMembers(*OpenArchive(archivePath))) names.push_back(member.name);
  return names;
}

std::string MemberName(const std::string& archivePath, const std::string& member) {
  return archivePath + ":" + member;
}

std::string NoMapsInArchive(const std::string& archivePath) {
  return "\"" + archivePath + "\": no maps (*.bsp) in this archive";
}

std::string ListNameOf(const MapSource& source) {
  return DefaultListName(source.member ? source.member->name : source.path);
}

std::shared_ptr<const IByteSource> OpenMap(const MapSource& source) {
  if (!source.problem.empty()) throw CInputError(source.problem);
  if (source.member) {
    return source.archive->ReadMap(*source.member);
  }
  auto file = std::make_shared<const CCachedMapFile>(source.path);
  CheckedMapSize(static_cast<std::uint64_t>(file->Size()), source.path, "file");
  return file;
}

bool NamesOneMap(const std::string& argument) {
  std::error_code error;
  const fs::file_status status = fs::status(SystemPath(argument), error);
  if (fs::is_directory(status)) return false;
  if (fs::exists(status)) return !IsArchiveName(argument);
  return ArchiveNameEnd(argument).has_value() || IsMapName(argument);
}

bool LooksLikeMapInput(const std::string& argument) {
  std::error_code error;
  return IsMapName(argument) || IsArchiveName(argument) || fs::is_directory(SystemPath(argument), error) ||
         ArchiveNameEnd(argument).has_value();
}

}  // namespace kestrum::sources
