#include "map_inputs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "file.h"
#include "name_matching.h"

namespace kestrum::cli {
namespace {

namespace fs = std::filesystem;

MapSource Problem(const std::string& input, const std::string& message) {
  MapSource source;
  source.name = input;
  source.path = input;
  source.problem = message;
  return source;
}

MapSource MemberSource(const std::string& archivePath, const ArchiveMember& member) {
  MapSource source;
  source.name = archivePath + ":" + member.name;
  source.path = archivePath;
  source.member = member;
  return source;
}

void AddFolder(const std::string& folder, std::vector<MapSource>& sources) {
  std::vector<std::string> maps;
  std::error_code error;
  for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code statusError;
    if (IsMapName(entry->path().filename().string()) && entry->is_regular_file(statusError)) {
      maps.push_back(entry->path().string());
    }
  }
  if (error) {
    sources.push_back(Problem(folder, "\"" + folder + "\": cannot read the folder: " + error.message()));
    return;
  }
  if (maps.empty()) {
    sources.push_back(Problem(folder, "\"" + folder + "\": no maps (*.bsp) in this folder or below it"));
    return;
  }
  std::sort(maps.begin(), maps.end());
  for (const std::string& map : maps) sources.push_back(MapSource{map, map, std::nullopt, {}});
}

void AddArchive(const std::string& path, std::vector<MapSource>& sources) {
  try {
    const std::unique_ptr<CArchive> archive = OpenArchive(path);
    std::vector<ArchiveMember> maps;
    for (const ArchiveMember& member : archive->Members()) {
      if (IsMapName(member.name)) maps.push_back(member);
    }
    if (maps.empty()) {
      sources.push_back(Problem(path, "\"" + path + "\": no maps (*.bsp) in this archive"));
      return;
    }
    std::sort(maps.begin(), maps.end(), [](const ArchiveMember& a, const ArchiveMember& b) { return a.name < b.name; });
    for (const ArchiveMember& member : maps) sources.push_back(MemberSource(path, member));
  } catch (const CFileException& error) {
    sources.push_back(Problem(path, error.what()));
  }
}

/** The archive part of ARCHIVE:MEMBER: the shortest prefix before a ":" that is an archive file. */
std::optional<std::size_t> ArchiveNameEnd(const std::string& input) {
  for (std::size_t colon = input.find(':'); colon != std::string::npos; colon = input.find(':', colon + 1)) {
    const std::string prefix = input.substr(0, colon);
    std::error_code error;
    if (IsArchiveName(prefix) && fs::is_regular_file(prefix, error)) return colon;
  }
  return std::nullopt;
}

void AddMember(const std::string& input, std::size_t colon, std::vector<MapSource>& sources) {
  const std::string path = input.substr(0, colon);
  const std::string name = input.substr(colon + 1);
  try {
    const std::unique_ptr<CArchive> archive = OpenArchive(path);
    const std::vector<ArchiveMember>& members = archive->Members();
    const auto found =
        std::find_if(members.begin(), members.end(), [&](const ArchiveMember& member) { return member.name == name; });
    if (found == members.end()) {
      sources.push_back(Problem(input, "\"" + input + "\": the archive has no member \"" + name + "\""));
      return;
    }
    sources.push_back(MemberSource(path, *found));
  } catch (const CFileException& error) {
    sources.push_back(Problem(input, error.what()));
  }
}

}  // namespace

std::vector<MapSource> ExpandInputs(const std::vector<std::string>& inputs) {
  std::vector<MapSource> sources;
  for (const std::string& input : inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(input, error);
    if (fs::is_directory(status)) {
      AddFolder(input, sources);
    } else if (fs::exists(status) && IsArchiveName(input)) {
      AddArchive(input, sources);
    } else if (const std::optional<std::size_t> colon = fs::exists(status) ? std::nullopt : ArchiveNameEnd(input)) {
      AddMember(input, *colon, sources);
    } else {
      sources.push_back(MapSource{input, input, std::nullopt, {}});
    }
  }
  return sources;
}

bool LooksLikeMapInput(const std::string& argument) {
  std::error_code error;
  return IsMapName(argument) || IsArchiveName(argument) || fs::is_directory(argument, error) ||
         ArchiveNameEnd(argument).has_value();
}

}  // namespace kestrum::cli
