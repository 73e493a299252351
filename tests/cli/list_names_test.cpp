#include "list_names.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrum {
namespace {

/** A map file, or with a ":" a member of an archive. */
sources::MapSource Source(const std::string& name) {
  sources::MapSource source;
  source.name = name;
  const std::size_t colon = name.find(':');
  source.path = name.substr(0, colon);
  if (colon != std::string::npos) source.member = sources::ArchiveMember{name.substr(colon + 1), 0, 0};
  return source;
}

TEST(ListNames, eachMapGetsItsOwnListAndSharedNamesAreToldApartInInputOrder) {
  struct Case {
    std::vector<std::string> maps;
    std::vector<std::string> lists;
  };
  const std::vector<Case> cases{
      {{"e1m1.bsp", "maps/e1m2.bsp", "pak0.pk3:maps/dm3.bsp"}, {"e1m1.txt", "e1m2.txt", "dm3.txt"}},
      // The same name in two archives, or in two folders: the container's name in front.
      {{"pak0.pk3:maps/e1m1.bsp", "id1/other.pak:maps/e1m1.bsp"}, {"pak0-e1m1.txt", "other-e1m1.txt"}},
      {{"a/e1m1.bsp", "b/e1m1.bsp", "b/e1m2.bsp"}, {"a-e1m1.txt", "b-e1m1.txt", "e1m2.txt"}},
      // Still shared: the first keeps its name, the others are numbered from 2.
      {{"a/pak0.pk3:maps/e1m1.bsp", "b/pak0.pk3:maps/e1m1.bsp", "c/pak0.pk3:maps/e1m1.bsp"},
       {"pak0-e1m1.txt", "pak0-e1m1-2.txt", "pak0-e1m1-3.txt"}},
      {{"e1m1.bsp", "./e1m1.bsp"}, {"e1m1.txt", "e1m1-2.txt"}},  // no folder name to put in front
      // A number never lands on another map's own name, before or after it.
      {{"a/x.bsp", "b/a/x.bsp", "c/a-x-2.bsp"}, {"a-x.txt", "a-x-3.txt", "a-x-2.txt"}},
      {{"c/a-x-2.bsp", "a/x.bsp", "b/a/x.bsp"}, {"a-x-2.txt", "a-x.txt", "a-x-3.txt"}},
  };
  for (const Case& c : cases) {
    std::vector<sources::MapSource> sources;
    for (const std::string& map : c.maps) sources.push_back(Source(map));
    EXPECT_EQ(cli::ListPathsFor(sources, ""), c.lists) << c.maps.front();
    std::vector<std::string> inFolder;
    for (const std::string& list : c.lists) inFolder.push_back((std::filesystem::path("lists") / list).string());
    EXPECT_EQ(cli::ListPathsFor(sources, "lists"), inFolder) << c.maps.front();
  }
}

}  // namespace
}  // namespace kestrum
