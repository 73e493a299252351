#include "memory_controls.h"

#include "entity_dlg.h"

namespace kestrum {
namespace {

class CMemoryExchange final : public CDataExchange {
 public:
  CMemoryExchange(CMemoryControls& controls, bool saveAndValidate)
      : CDataExchange(saveAndValidate), m_controls(controls) {}

  void Text(int controlId, std::string& field) override {
    if (m_bSaveAndValidate) {
      field = m_controls.Text(controlId);
    } else {
      m_controls.Text(controlId) = field;
    }
  }

 private:
  CMemoryControls& m_controls;
};

}  // namespace

void CMemoryControls::Exchange(CEntityDlg& dialog, bool saveAndValidate) {
  CMemoryExchange exchange(*this, saveAndValidate);
  dialog.DoDataExchange(exchange);
}

}  // namespace kestrum
