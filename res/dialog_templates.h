// The dialog templates as data: every control with its id, kind, caption and rectangle
// in dialog units, in template (and tab) order. Any front end builds its dialogs from
// these, so the layout lives in one place.
#pragma once

#include <string_view>
#include <vector>

namespace kestrum::res {

enum class ControlKind {
  PushButton,
  DefPushButton,  ///< the dialog's default button
  EditBox,        ///< one line, scrolls sideways, no length limit
  Label,          ///< static text, never changed, no tab stop
  Icon,           ///< the application icon, at its own size
  ListBox,        ///< a list of texts to choose one from; double-clicking one is OK
};

/** Styles beyond those of the control's kind, for front ends that have them. */
enum ControlStyle : unsigned {
  kStartsGroup = 1,  ///< a button that begins a group of controls for the arrow keys
  kNoPrefix = 2,     ///< a label that shows "&" as itself, not as a mnemonic
};

struct ControlTemplate {
  int id;  ///< -1 for controls the program never addresses
  ControlKind kind;
  std::string_view caption;
  int x, y, width, height;  ///< dialog units
  std::string_view name;    ///< a name the program's tests and tools address it by
  unsigned styles = 0;      ///< ControlStyle bits
};

struct DialogTemplate {
  int id;
  std::string_view title;
  std::string_view fontName;
  int pointSize;
  int width, height;  ///< dialog units
  std::vector<ControlTemplate> controls;
};

/**
 * The caption over a flag slot's box in IDD_MAIN: "Spawnflags" for slots 1 to 9 and the
 * difficulty of slots 10 to 12 ("Easy", "Medium", "Difficult"). Front ends that show
 * flags without the dialog (the command line) name them the same way.
 */
std::string_view FlagSlotCaption(int slot);

const DialogTemplate& MainDialogTemplate();     ///< IDD_MAIN
const DialogTemplate& AboutDialogTemplate();    ///< IDD_ABOUT
const DialogTemplate& PickMapDialogTemplate();  ///< IDD_PICK_MAP: the maps of an archive, to open one

}  // namespace kestrum::res
