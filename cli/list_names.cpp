#include "list_names.h"

#include <filesystem>
#include <map>
#include <set>

#include "default_list_name.h"
#include "system_path.h"

namespace kestrum::cli {
namespace {

namespace fs = std::filesystem;

std::string OwnName(const MapSource& source) {
  return DefaultListName(source.member ? source.member->name : source.path);
}

/** The archive's file name without its extension, or the map file's folder name. */
std::string ContainerName(const MapSource& source) {
  const fs::path path = SystemPath(source.path);
  const fs::path container = source.member ? path : path.parent_path();
  const std::string name = Utf8Path(source.member ? container.stem() : container.filename());
  return name.empty() || name == "." ? std::string() : name;
}

std::map<std::string, int> Counts(const std::vector<std::string>& names) {
  std::map<std::string, int> counts;
  for (const std::string& name : names) ++counts[name];
  return counts;
}

}  // namespace

std::vector<std::string> ListPathsFor(const std::vector<MapSource>& sources, const std::string& folder) {
  std::vector<std::string> names;
  for (const MapSource& source : sources) names.push_back(OwnName(source));
  const std::map<std::string, int> ownCounts = Counts(names);
  for (std::size_t n = 0; n < sources.size(); ++n) {
    const std::string container = ContainerName(sources[n]);
    if (ownCounts.at(names[n]) > 1 && !container.empty()) names[n] = container + "-" + names[n];
  }
  // A name still shared is numbered from its second map on, past every name another map
  // holds already: "a-x-2.txt" may be a map's own name.
  const std::map<std::string, int> counts = Counts(names);
  std::set<std::string> taken;
  for (const std::string& name : names) {
    if (counts.at(name) == 1) taken.insert(name);
  }
  std::vector<std::string> paths;
  for (std::string& name : names) {
    if (counts.at(name) > 1 && !taken.insert(name).second) {
      const std::string stem = name.substr(0, name.size() - 4);
      for (int number = 2;; ++number) {
        const std::string numbered = stem + "-" + std::to_string(number) + ".txt";
        if (taken.insert(numbered).second) {
          name = numbered;
          break;
        }
      }
    }
    paths.push_back(folder.empty() ? name : Utf8Path(SystemPath(folder) / SystemPath(name)));
  }
  return paths;
}

}  // namespace kestrum::cli
