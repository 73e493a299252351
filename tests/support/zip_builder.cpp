#include <zip.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "archive_builder.h"
#include "test_files.h"

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

void WriteZipOfZeros(const std::string& path, const std::vector<std::string>& names, std::uint64_t size) {
  // calloc's pages of a large block are the system's shared zero page until written: the
  // members' bytes take no memory while libzip deflates them.
  const std::unique_ptr<char, decltype(&std::free)> zeros(static_cast<char*>(std::calloc(size, 1)), &std::free);
  if (!zeros) throw std::runtime_error("no memory for " + path);
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) throw std::runtime_error("cannot create " + path);
  for (const std::string& name : names) {
    zip_source_t* source = zip_source_buffer(zip, zeros.get(), size, 0);
    const zip_int64_t index = source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) throw std::runtime_error("cannot add " + name + " to " + path);
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);  // quick: zeros pack anyway
  }
  if (zip_close(zip) != 0) throw std::runtime_error("cannot write " + path);
}

void ClaimZipMemberSize(const std::string& path, std::uint32_t size) {
  std::string bytes = ReadFile(path);
  const std::size_t entry = bytes.find("PK\x01\x02");  // the first entry of the central directory
  if (entry == std::string::npos) throw std::runtime_error("no central directory in " + path);
  for (int n = 0; n < 4; ++n) bytes[entry + 24 + n] = static_cast<char>((size >> (8 * n)) & 0xFF);
  WriteFile(path, bytes);
}

}  // namespace kestrum::test
