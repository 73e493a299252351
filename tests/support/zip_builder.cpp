#include <zip.h>

#include <stdexcept>

#include "archive_builder.h"

namespace kestrum::test {

void WriteZip(const std::string& path, const ArchiveContents& members, bool store) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) throw std::runtime_error("cannot create " + path);
  for (const auto& [name, bytes] : members) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (!source || index < 0) throw std::runtime_error("cannot add " + name + " to " + path);
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
  }
  // The buffers are read when the archive is written, here.
  if (zip_close(zip) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace kestrum::test
