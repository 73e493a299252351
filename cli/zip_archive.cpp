// Zip archives (.pk3, .pk4, .zip) through libzip.
#include <zip.h>

#include "archive.h"
#include "file.h"

namespace kestrum::cli {
namespace {

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

class CZipArchive final : public CArchive {
 public:
  explicit CZipArchive(const std::string& path) : CArchive(path) {
    int code = 0;
    m_zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!m_zip) throw CFileException(path, "cannot read the zip archive: " + ZipErrorText(code));
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
      zip_stat_t status;
      if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &status) != 0 || !(status.valid & ZIP_STAT_NAME) ||
          !(status.valid & ZIP_STAT_SIZE)) {
        continue;  // an entry without a name or size cannot be asked for
      }
      m_members.push_back(ArchiveMember{status.name, status.size, static_cast<std::uint64_t>(index)});
    }
  }
  ~CZipArchive() override { zip_discard(m_zip); }
  CZipArchive(const CZipArchive&) = delete;
  CZipArchive& operator=(const CZipArchive&) = delete;

 protected:
  std::string ReadBytes(const ArchiveMember& member) override {
    const std::string name = m_path + ":" + member.name;
    zip_file_t* file = zip_fopen_index(m_zip, member.location, 0);
    if (!file) throw CFileException(name, std::string("cannot read the member: ") + zip_strerror(m_zip));
    std::string bytes(member.size, '\0');
    zip_uint64_t done = 0;
    std::string failure;
    while (done < member.size) {
      const zip_int64_t got = zip_fread(file, bytes.data() + done, member.size - done);
      if (got < 0) {
        failure = zip_file_strerror(file);
        break;
      }
      if (got == 0) {
        failure = "the member is shorter than the archive's directory says";
        break;
      }
      done += static_cast<zip_uint64_t>(got);
    }
    // libzip compares the checksum when a read meets the member's end.
    char beyond = 0;
    if (failure.empty()) {
      const zip_int64_t extra = zip_fread(file, &beyond, 1);
      if (extra < 0) failure = zip_file_strerror(file);
      if (extra > 0) failure = "the member is longer than the archive's directory says";
    }
    const int closed = zip_fclose(file);
    if (failure.empty() && closed != 0) failure = ZipErrorText(closed);
    if (!failure.empty()) throw CFileException(name, "damaged member: " + failure);
    return bytes;
  }

 private:
  zip_t* m_zip = nullptr;
};

}  // namespace

bool ZipArchivesSupported() {
  return true;
}

std::unique_ptr<CArchive> OpenZipArchive(const std::string& path) {
  return std::make_unique<CZipArchive>(path);
}

}  // namespace kestrum::cli
