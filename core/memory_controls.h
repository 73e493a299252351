// Control texts without widgets, for front ends that have no window.
#pragma once

#include <map>
#include <string>

namespace kestrum {

class CEntityDlg;

/** The text of each control by id; an exchange moves the record's fields to or from them. */
class CMemoryControls {
 public:
  std::string& Text(int controlId) { return m_texts[controlId]; }
  void Exchange(CEntityDlg& dialog, bool saveAndValidate);

 private:
  std::map<int, std::string> m_texts;
};

}  // namespace kestrum
