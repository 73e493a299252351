// Writes the seed corpora: tiny maps, the worked examples, entities in unusual layouts.
#include <filesystem>
#include <iostream>

#include "format_map_builder.h"
#include "map_builder.h"
#include "test_files.h"

int main(int argc, char** argv) {
  using namespace kestrum;
  if (argc != 2) {
    std::cerr << "Usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const char* target : {"locator", "export", "search", "rewrite"})
    std::filesystem::create_directories(folder / target);
  auto seed = [&](const char* target, const std::string& name, const std::string& bytes) {
    test::WriteFile((folder / target / name).string(), bytes);
  };

  std::string workedExample(400, 'x');
  workedExample[200] = '{';
  workedExample.replace(215, 10, "worldspawn");
  const std::string entityA = "{\n\"classname\" \"worldspawn\"\n}";
  const std::string entityB = "{\n\"classname\" \"light\"\n}";
  const std::string steppingExample = std::string(40, '\1') + entityA + "\n" + entityB + "\n" + std::string(1, '\0');
  const std::string crlf = "{\r\n\"classname\" \"worldspawn\"\r\n\"spawnflags\" \"778\"\r\n}\r\n";
  std::string hidden = std::string(120, 'x') + "worldspawn" + std::string(60, 'y');
  hidden[119] = '\0';
  const mapgen::BuiltMap tiny =
      mapgen::BuildMap(mapgen::EntityLump({mapgen::DemoEntities()[0], mapgen::DemoEntities()[5]}), 200, 40, 3);

  for (const char* target : {"locator", "export"}) {
    seed(target, "worked-400", workedExample);
    seed(target, "no-key-1000", std::string(1000, 'x'));
    seed(target, "stepping", steppingExample);
    seed(target, "crlf", crlf);
    seed(target, "hidden-by-nul", hidden);
    seed(target, "tiny-map", tiny.bytes);
  }
  seed("search", "two-pairs", std::string(1, '\0') + "{\n\"origin\" \"1 2 3\"\n\"spawnflags\" \"778\"\n}\n");
  seed("search", "text-light", std::string(1, '\5') + "light" + "{\n\"classname\" \"light\"\n}\n{ }\n");
  seed("search", "crlf", std::string(1, '\0') + crlf);
  seed("search", "spawnflags-chain", std::string(1, '\0') + "{\n\"a\" \"spawnflags\"\n\"7x\" \"b\"\n}\n");
  // The rewrite's first byte is the new lump's length in threes; each layout once.
  for (const mapgen::HeaderKind& kind : mapgen::SupportedHeaders()) {
    const std::string lump = mapgen::EntityText(mapgen::DemoEntities()[0]) + '\0';
    seed("rewrite", kind.name,
         std::string(1, '\x20') + mapgen::BuildFormatMap(kind, lump, mapgen::LumpPosition::Middle, 8).bytes);
  }
  return 0;
}
