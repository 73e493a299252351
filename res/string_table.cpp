#include "string_table.h"

#include "resource.h"

namespace kestrum::res {

std::string LoadString(int id) {
  switch (id) {
    case IDS_ABOUT_MENU: return "&A propos de Kestrum...";
    default: return {};
  }
}

}  // namespace kestrum::res
