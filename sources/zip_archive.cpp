// Zip archives (.pk3, .pk4, .zip) through libzip.
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <vector>

#include "archive.h"
#include "input_error.h"
#include "system_path.h"

namespace kestrum::sources {
namespace {

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

zip_t* OpenZip(const std::string& path) {
  int code = 0;
  zip_t* const zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!zip && code == ZIP_ER_NOENT && std::filesystem::exists(SystemPath(path))) {
    // libzip says "No such file" when the directory points to a record the archive does
    // not hold, such as a size of 0xFFFFFFFF without its zip64 record: the file is there.
    throw CInputError(path, "damaged zip archive: its directory refers to records the archive does not hold");
  }
  if (!zip) throw CInputError(path, "cannot read the zip archive: " + ZipErrorText(code));
  return zip;
}

/**
 * A zip archive read by libzip, whose handles serve one thread at a time: the handle
 * that read the directory is lent to the readers of members, and a reader that finds it
 * lent opens one more, kept for the readers after it. Maps of one archive are then read
 * in parallel, and the directory is read again only for a worker that reads at the same
 * moment as another.
 */
class CZipArchive final : public CArchive {
 public:
  explicit CZipArchive(const std::string& path) : CArchive(path) {
    zip_t* const zip = OpenZip(path);
    m_idle.push_back(zip);
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
      zip_stat_t status;
      if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &status) != 0 || !(status.valid & ZIP_STAT_NAME) ||
          !(status.valid & ZIP_STAT_SIZE)) {
        continue;  // an entry without a name or size cannot be asked for
      }
      m_members.push_back(ArchiveMember{status.name, status.size, static_cast<std::uint64_t>(index)});
    }
  }
  ~CZipArchive() override {
    for (zip_t* const zip : m_idle) zip_discard(zip);
  }
  CZipArchive(const CZipArchive&) = delete;
  CZipArchive& operator=(const CZipArchive&) = delete;

 protected:
  void ReadBytes(const ArchiveMember& member, CMemberBytes& into) const override {
    const Lent zip(*this);
    ReadMember(zip.handle, member, into);
  }

 private:
  /** A handle for one reader, given back when it is done. */
  struct Lent {
    explicit Lent(const CZipArchive& from) : archive(from), handle(from.Borrow()) {}
    ~Lent() { archive.GiveBack(handle); }
    Lent(const Lent&) = delete;
    Lent& operator=(const Lent&) = delete;

    const CZipArchive& archive;
    zip_t* const handle;
  };

  zip_t* Borrow() const {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      if (!m_idle.empty()) {
        zip_t* const zip = m_idle.back();
        m_idle.pop_back();
        return zip;
      }
    }
    return OpenZip(m_path);
  }

  void GiveBack(zip_t* zip) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_idle.push_back(zip);
  }

  /**
   * Unpacks the member a block at a time, never more than the directory claims, and
   * compares what it gives with what the directory claims.
   */
  void ReadMember(zip_t* zip, const ArchiveMember& member, CMemberBytes& into) const {
    const std::string name = m_path + ":" + member.name;
    zip_file_t* file = zip_fopen_index(zip, member.location, 0);
    if (!file) throw CInputError(name, std::string("cannot read the member: ") + zip_strerror(zip));
    // One block per thread for the whole run: a fresh one per member would cost its pages
    // again for every map.
    thread_local std::vector<char> block(kReadBlock);
    zip_uint64_t done = 0;
    std::string failure;
    while (done < member.size) {
      const zip_uint64_t want = std::min<zip_uint64_t>(member.size - done, block.size());
      const zip_int64_t got = zip_fread(file, block.data(), want);
      if (got < 0) {
        failure = zip_file_strerror(file);
        break;
      }
      if (got == 0) {
        failure = "the member is shorter than the archive's directory says (" + std::to_string(done) + " of " +
                  std::to_string(member.size) + " bytes)";
        break;
      }
      into.Append(block.data(), static_cast<std::size_t>(got));
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
    if (!failure.empty()) throw CInputError(name, "damaged member: " + failure);
  }

  mutable std::mutex m_mutex;
  mutable std::vector<zip_t*> m_idle;  ///< handles no reader holds now
};

}  // namespace

bool ZipArchivesSupported() {
  return true;
}

std::shared_ptr<const CArchive> OpenZipArchive(const std::string& path) {
  return std::make_shared<const CZipArchive>(path);
}

}  // namespace kestrum::sources
