// The policy of CListTarget, the same on every system: what to write to, what to refuse,
// how the replacement is made and put in place. list_target_system.h holds the steps the
// system carries out.
#include "list_target.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "list_target_system.h"
#include "path_parts.h"

namespace kestrum {
namespace {

/** Short whatever the list's name, so that a list with a name of 255 bytes still works. */
std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return JoinPath(folder, ".kestrum-" + std::to_string(list_system::ProcessId()) + "-" + std::to_string(counter++));
}

CFileException CannotCreateIn(const std::string& folder, const std::string& listPath, int error) {
  return CFileException::WithMessage("Cannot create a file in the folder \"" + folder + "\" to write the list \"" +
                                         listPath + "\": " + SystemErrorText(error),
                                     error);
}

/**
 * Creates a file under a temporary name in folder (create makes it), trying other names
 * while the name is taken: another process may use the same one. Returns the name.
 */
template <typename Create>
std::string CreateUnderFreeName(const std::string& folder, const std::string& listPath, Create create) {
  constexpr unsigned kMaxAttempts = 100;
  for (unsigned attempt = 0;; ++attempt) {
    const std::string name = TemporaryNameIn(folder);
    try {
      create(name);
      return name;
    } catch (const CFileException& error) {
      if (!list_system::NameTaken(error.Error()) || attempt == kMaxAttempts) {
        throw CannotCreateIn(folder, listPath, error.Error());
      }
    }
  }
}

bool IsSameFile(const list_system::FileFacts& a, const list_system::FileFacts& b) {
  return a.identity && b.identity && *a.identity == *b.identity;
}

/** Whether the list is one of the files being read, by whatever name: writing it would destroy what is read. */
bool IsBeingRead(const list_system::FileFacts& list, const CFilesRead& filesRead) {
  // Maps and archives are regular files.
  return list.replaceable && list.identity && filesRead.Holds(*list.identity);
}

/**
 * The process's output stream that the list is, by another name (a shell's ">> log.txt"
 * and the list "log.txt"), or -1. Replacing that file would cut off what the shell
 * appends to it; the list is written to the stream instead.
 */
int OutputStreamThatIs(const list_system::FileFacts& list) {
  constexpr std::array<int, 2> kOutputStreams{1, 2};
  for (const int stream : kOutputStreams) {
    const std::optional<list_system::FileFacts> facts = list_system::InspectDescriptor(stream);
    if (facts && IsSameFile(*facts, list)) return stream;
  }
  return -1;
}

}  // namespace

CFilesRead::CFilesRead(const std::vector<std::string>& paths) {
  std::vector<std::string> distinct = paths;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  for (const std::string& path : distinct) {
    const std::optional<list_system::FileFacts> read = list_system::Inspect(path);
    if (read && read->replaceable && read->identity && !Holds(*read->identity)) m_identities.push_back(*read->identity);
  }
}

bool CFilesRead::Holds(const FileIdentity& identity) const {
  return std::find(m_identities.begin(), m_identities.end(), identity) != m_identities.end();
}

CListTarget::CListTarget(CFile& file, const std::string& listPath, const CFilesRead& filesRead)
    : m_file(file), m_listName(listPath) {
  const list_system::Destination destination = list_system::Resolve(listPath);
  const std::optional<list_system::FileFacts> list = destination.descriptor >= 0
                                                         ? list_system::InspectDescriptor(destination.descriptor)
                                                         : list_system::Inspect(destination.path);
  // Before anything is opened: even a stream may be the map (a shell's "1<> map.bsp").
  if (list && IsBeingRead(*list, filesRead)) {
    throw CFileException(listPath,
                         "this is the map being read, or the archive it is read from; choose another "
                         "name for the list");
  }
  const int stream = destination.descriptor >= 0 ? destination.descriptor : list ? OutputStreamThatIs(*list) : -1;
  if (stream >= 0) {
    m_file.OpenDescriptor(stream, listPath);
    return;
  }
  m_listPath = destination.path;
  if (list && !list->replaceable) {  // a FIFO or a device: nothing to replace
    m_file.Open(m_listPath, CFile::Mode::CreateWrite, 0666, listPath);
    return;
  }
  // Replacing a file needs only its folder to be writable; the list itself must be too,
  // or a write-protected list would be overwritten where a shell's ">" refuses.
  if (list) {
    if (const int refusal = list_system::WriteRefusal(m_listPath); refusal != 0) {
      throw CFileException("write", listPath, refusal);
    }
  }
  m_replacing = true;
  m_folder = FolderOf(m_listPath);
  OpenReplacement();
  if (list) list_system::KeepAttributes(m_file, *list);
}

void CListTarget::OpenReplacement() {
  try {
    m_file.Open(m_folder, CFile::Mode::CreateUnnamed, 0666, m_listName);
    m_unnamed = true;
    return;
  } catch (const CFileException& error) {
    if (!list_system::UnnamedFilesUnsupported(error.Error())) throw CannotCreateIn(m_folder, m_listName, error.Error());
  }
  m_temporaryPath = CreateUnderFreeName(m_folder, m_listName, [this](const std::string& name) {
    m_file.Open(name, CFile::Mode::CreateNew, 0666, m_listName);
  });
  m_removal = std::make_unique<CRemovalOnSignal>(m_temporaryPath);
}

CListTarget::~CListTarget() {
  if (m_committed) return;
  m_file.Abort();
  if (!m_temporaryPath.empty()) list_system::Remove(m_temporaryPath);
}

void CListTarget::Commit() {
  if (m_unnamed) {
    m_temporaryPath =
        CreateUnderFreeName(m_folder, m_listName, [this](const std::string& name) { m_file.GiveName(name); });
    m_removal = std::make_unique<CRemovalOnSignal>(m_temporaryPath);
  }
  m_file.Close();
  if (m_replacing) {
    if (const int error = list_system::Replace(m_temporaryPath, m_listPath); error != 0) {
      throw CFileException("replace", m_listPath, error);
    }
  }
  m_temporaryPath.clear();
  m_committed = true;
}

}  // namespace kestrum
