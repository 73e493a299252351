// The archive a worker thread has open, kept for the members that follow.
#pragma once

#include <memory>
#include <string>

#include "archive.h"

namespace kestrum::cli {

/**
 * Keeps the archive last opened: the maps of one archive come one after another, so a
 * worker opens each archive's directory about once. One per thread, as archives are.
 */
class CArchiveCache {
 public:
  CArchive& Open(const std::string& path) {
    if (!m_archive || m_archive->Path() != path) {
      m_archive.reset();
      m_archive = OpenArchive(path);
    }
    return *m_archive;
  }

 private:
  std::unique_ptr<CArchive> m_archive;
};

}  // namespace kestrum::cli
