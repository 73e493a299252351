#include "default_list_name.h"

namespace kestrum {

std::string DefaultListName(const std::string& bspPath) {
  // The last four characters go whatever they are: "D:\maps\start" gives "s.txt".
  const std::string stem = bspPath.size() > 4 ? bspPath.substr(0, bspPath.size() - 4) : std::string();
  const std::size_t separator = stem.find_last_of("\\/");
  const std::string name = separator == std::string::npos ? stem : stem.substr(separator + 1);
  return name + ".txt";
}

}  // namespace kestrum
