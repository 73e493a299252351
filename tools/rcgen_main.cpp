// kestrum-rcgen RES_FOLDER: rewrites RES_FOLDER/kestrum.rc, RES_FOLDER/kestrum-cli.rc and
// RES_FOLDER/icons/kestrum.ico from the resources as data and the XPM icons, for the
// Windows build.
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "icon_file.h"
#include "resource_script.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kestrum-rcgen RES_FOLDER\n";
    return 2;
  }
  const std::string res = argv[1];
  try {
    WriteBytes(res + "/kestrum.rc", kestrum::res::ResourceScript());
    WriteBytes(res + "/kestrum-cli.rc", kestrum::res::CliResourceScript());
    WriteBytes(res + "/icons/kestrum.ico", kestrum::res::IconFileFromXpm({ReadText(res + "/icons/kestrum-32.xpm"),
                                                                          ReadText(res + "/icons/kestrum-16.xpm")}));
  } catch (const std::exception& error) {
    std::cerr << "kestrum-rcgen: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
