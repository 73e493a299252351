#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>
#include <optional>

#include "about_box.h"
#include "archive_builder.h"
#include "dialog_builder.h"
#include "dialog_templates.h"
#include "entity_app.h"
#include "map_builder.h"
#include "map_picker.h"
#include "messages.h"
#include "modal.h"
#include "qt_entity_dialog.h"
#include "resource.h"
#include "test_files.h"

using kestrum::CEntityDlg;
using kestrum::shell::CAboutBox;
using kestrum::shell::CMapPicker;
using kestrum::shell::CQtEntityDialog;
using kestrum::test::WhenModal;

namespace {

QLineEdit* Edit(QWidget& dialog, const QString& name) {
  return dialog.findChild<QLineEdit*>(name);
}
QLineEdit* KeyBox(QWidget& dialog, int row) {
  return Edit(dialog, QStringLiteral("IDC_KEY%1").arg(row));
}
QLineEdit* ValueBox(QWidget& dialog, int row) {
  return Edit(dialog, QStringLiteral("IDC_VALUE%1").arg(row));
}
QLineEdit* FlagBox(QWidget& dialog, int slot) {
  return Edit(dialog, QStringLiteral("IDC_FLAG%1").arg(slot));
}
QPushButton* Button(QWidget& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(name);
}
QMenu* WindowMenu(QWidget& dialog) {
  return dialog.findChild<QMenu*>(QStringLiteral("windowMenu"));
}
QAction* AboutEntry(QWidget& dialog) {
  return WindowMenu(dialog)->findChild<QAction*>(QStringLiteral("IDM_ABOUT"));
}

/** Compiled maps first, then archives, whose patterns Qt reads from the last parentheses. */
const QStringList kOpenFilters{QStringLiteral("Compiled map BSP bsp(*.bsp)"),
                               QStringLiteral("Map archives (*.pk3;*.pk4;*.zip;*.pak) (*.pk3 *.pk4 *.zip *.pak)")};

/**
 * Chooses path in the next file chooser. What differs from the expected set-up is
 * returned (after the chooser closed), so that a mismatch never leaves it open.
 */
std::shared_ptr<QStringList> ChooseInNextFileDialog(const QString& path, QFileDialog::AcceptMode mode,
                                                    const QString& suffix, const QStringList& filters,
                                                    const QString& initialName) {
  auto mismatches = std::make_shared<QStringList>();
  WhenModal<QFileDialog>([=](QFileDialog* chooser) {
    auto* nameEdit = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (chooser->acceptMode() != mode) *mismatches << "accept mode";
    if (chooser->defaultSuffix() != suffix) *mismatches << "suffix " + chooser->defaultSuffix();
    if (chooser->nameFilters() != filters) *mismatches << "filters " + chooser->nameFilters().join('|');
    if (chooser->selectedNameFilter() != filters.constFirst()) *mismatches << "selected filter";
    if (nameEdit->text() != initialName) *mismatches << "initial name " + nameEdit->text();
    if (mode == QFileDialog::AcceptSave && chooser->testOption(QFileDialog::DontConfirmOverwrite)) {
      *mismatches << "replaces without asking";
    }
    nameEdit->setText(path);
    static_cast<QDialog*>(chooser)->accept();
  });
  return mismatches;
}

/** What the list of an archive's maps showed. */
struct ShownMapList {
  QStringList names;
  int startRow = -1;
  bool ownedByTheDialog = false;
  QString title;
};

/**
 * Picks the map in row of the next list of an archive's maps (nothing: Cancel), double
 * clicking it or pressing OK; says, once it closed, what the list showed.
 */
std::shared_ptr<ShownMapList> PickInNextMapList(QWidget* dialog, std::optional<int> row, bool doubleClick = false) {
  auto shown = std::make_shared<ShownMapList>();
  WhenModal<CMapPicker>([=](CMapPicker* picker) {
    auto* list = picker->findChild<QListWidget*>(QStringLiteral("IDC_MAP_LIST"));
    for (int n = 0; n < list->count(); ++n) shown->names << list->item(n)->text();
    shown->startRow = list->currentRow();
    shown->ownedByTheDialog = picker->parentWidget() == dialog;
    shown->title = picker->windowTitle();
    if (!row) {
      QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("IDCANCEL")), Qt::LeftButton);
    } else if (doubleClick) {
      const QRect item = list->visualItemRect(list->item(*row));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    } else {
      list->setCurrentRow(*row);
      QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
    }
    if (picker->isVisible()) picker->reject();  // a test that fails must not hang
  });
  return shown;
}

/** Chooses an archive in the next open chooser, with the archives' filter selected. */
std::shared_ptr<QStringList> ChooseArchiveInNextFileDialog(const QString& archive) {
  auto mismatches = std::make_shared<QStringList>();
  WhenModal<QFileDialog>([=](QFileDialog* chooser) {
    if (chooser->nameFilters() != kOpenFilters) *mismatches << "filters " + chooser->nameFilters().join('|');
    if (chooser->selectedNameFilter() != kOpenFilters.constFirst()) *mismatches << "selected filter";
    chooser->selectNameFilter(kOpenFilters.at(1));
    chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(archive);
    static_cast<QDialog*>(chooser)->accept();
  });
  return mismatches;
}

/** Names the folder and the name the next save chooser offers, and chooses path in it. */
std::shared_ptr<QStringList> OfferedInNextSaveChooser(const QString& path) {
  auto offered = std::make_shared<QStringList>();
  WhenModal<QFileDialog>([=](QFileDialog* chooser) {
    auto* nameEdit = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    *offered << chooser->directory().absolutePath() << nameEdit->text();
    nameEdit->setText(path);
    static_cast<QDialog*>(chooser)->accept();
  });
  return offered;
}

std::string DemoList() {
  std::string list;
  for (const auto& entity : kestrum::mapgen::DemoEntities()) list += kestrum::mapgen::EntityText(entity) + "\r\n\r\n";
  return list;
}

/** An archive's members: a map without entities, the demo map and a file that is no map. */
kestrum::test::ArchiveContents ArchiveOfMaps() {
  return {{"readme.txt", "not a map"},
          {"maps/dm2.bsp", kestrum::mapgen::DemoMap().bytes},
          {"maps/dm1.bsp", std::string(3000, 'x')}};
}

/** Checks the next message box and presses its OK. */
void ExpectMessage(const QString& text, bool* seen) {
  WhenModal<QMessageBox>([=](QMessageBox* box) {
    *seen = box->text() == text && box->windowTitle() == QCoreApplication::applicationName() &&
            box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1;
    QTest::keyClick(box, Qt::Key_Return);
  });
}

/** One control of the main dialog as its template states it, in template order. */
struct ExpectedControl {
  int id;
  char kind;  ///< 'D' default button, 'B' button, 'E' edit box, 'L' label
  const char* caption;
  int x, y, width, height;  ///< dialog units
};

/** IDD_MAIN, stated here on its own so that a slip in the resource table shows. */
std::vector<ExpectedControl> ExpectedMainControls() {
  std::vector<ExpectedControl> controls{
      {1, 'D', "OK", 470, 7, 50, 14},
      {1000, 'B', "Open BSP", 7, 7, 50, 14},
      {1001, 'B', "Create list", 68, 7, 50, 14},
      {1002, 'B', "Analyse Entity", 149, 7, 50, 14},
      {1003, 'E', "", 202, 7, 123, 14},
      {1005, 'E', "", 7, 37, 93, 13},
      {-1, 'L', "Key", 7, 26, 93, 8},
      {1006, 'E', "", 105, 37, 146, 13},
      {-1, 'L', "Value", 105, 26, 146, 8},
  };
  for (int row = 2; row <= 30; ++row) {  // rows 1-20 on the left, 21-30 on the right
    const bool left = row <= 20;
    const int y = left ? 37 + 15 * (row - 1) : 37 + 15 * (row - 21);
    controls.push_back({1003 + 2 * row, 'E', "", left ? 7 : 275, y, left ? 93 : 100, 13});
    controls.push_back({1004 + 2 * row, 'E', "", left ? 105 : 380, y, left ? 146 : 140, 13});
  }
  const std::vector<ExpectedControl> rest{
      {-1, 'L', "Key", 275, 26, 93, 8},         {-1, 'L', "Value", 380, 26, 140, 8},
      {1066, 'E', "", 275, 201, 40, 14},        {1067, 'E', "", 275, 215, 40, 14},
      {1068, 'E', "", 275, 230, 40, 14},        {1069, 'E', "", 275, 244, 40, 14},
      {1070, 'E', "", 275, 260, 40, 14},        {1071, 'E', "", 275, 276, 40, 14},
      {1072, 'E', "", 275, 290, 40, 14},        {1073, 'E', "", 275, 305, 40, 14},
      {1074, 'E', "", 275, 321, 40, 14},        {-1, 'L', "Spawnflags", 275, 192, 45, 8},
      {-1, 'L', "Difficulty", 380, 192, 95, 8}, {1075, 'E', "", 380, 201, 40, 14},
      {1076, 'E', "", 380, 215, 40, 14},        {1077, 'E', "", 380, 231, 40, 14},
      {-1, 'L', "Easy", 419, 207, 42, 8},       {-1, 'L', "Medium", 420, 222, 46, 8},
      {-1, 'L', "Difficult", 420, 237, 44, 8},
  };
  controls.insert(controls.end(), rest.begin(), rest.end());
  return controls;
}

/** Dialog units to pixels as a dialog manager converts them, rounding to the nearest. */
QRect Pixels(const QFont& font, int x, int y, int width, int height) {
  const QFontMetrics metrics(font);
  const int cx =
      (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) + 26) / 52;
  const int cy = metrics.height();
  const auto scale = [](int units, int base, int per) {
    return static_cast<int>(std::lround(units * base / double(per)));
  };
  return {scale(x, cx, 4), scale(y, cy, 8), scale(width, cx, 4), scale(height, cy, 8)};
}

char KindOf(QWidget* widget) {
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->isDefault() ? 'D' : 'B';
  if (qobject_cast<QLineEdit*>(widget)) return 'E';
  if (qobject_cast<QLabel*>(widget)) return 'L';
  return '?';
}

QString CaptionOf(QWidget* widget) {
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  return qobject_cast<QLineEdit*>(widget)->text();
}

QString Describe(const ExpectedControl& control) {
  return QStringLiteral("control %1 (%2)").arg(control.id).arg(QString::fromUtf8(control.caption));
}

}  // namespace

class TestEntityDialog : public QObject {
  Q_OBJECT

 private slots:
  void templateBuildsEveryControlInOrderAtItsPlace();
  void tabOrderFollowsTheTemplateAndSkipsLabels();
  void startsEmptyWithFocusOnOk();
  void exchangeMovesEveryBoxBothWaysByteForByte();
  void boxesShowAndTakeTheWindowsWesternCodePage();
  void bothChoosersOpenWhereTheUserLastChose();
  void wholeSessionThroughTheButtons();
  void opensAMapInsideAPakAndAPk3ThroughTheChooserAndTheList();
  void opensTheMapNamedOnTheCommandLine();
  void opensADroppedMapOrArchive();
  void commandsWithoutAMapShowTheMessage();
  void enterInAnEditBoxPressesOkAndSaves();
  void escapeEndsWithoutAnExchange();
  void enterOnAnotherButtonPressesThatButton();
  void windowMenuHoldsCloseAndTheAboutEntry();
  void aboutEntryOpensTheAboutBoxOverTheDialogEachTime();
  void aboutBoxShowsNameVersionAndCredits();
  void iconsAreSetInBothSizes();
  void initInstanceRunsTheDialogUntilItCloses();
};

void TestEntityDialog::templateBuildsEveryControlInOrderAtItsPlace() {
  CQtEntityDialog dialog;
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Kestrum"));
  QCOMPARE(dialog.size(), Pixels(dialog.font(), 0, 0, 528, 345).size());

  const std::vector<ExpectedControl> expected = ExpectedMainControls();
  QCOMPARE(expected.size(), std::size_t{86});
  const QList<QWidget*> built = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  QVERIFY(built.size() >= 86);  // the window menu comes after the controls
  for (std::size_t n = 0; n < expected.size(); ++n) {
    const ExpectedControl& control = expected[n];
    QWidget* const widget = built.at(static_cast<int>(n));  // created in template order
    const QByteArray what = Describe(control).toUtf8();
    QVERIFY2(widget->property("controlId").toInt() == control.id, what);
    QVERIFY2(KindOf(widget) == control.kind, what);
    QVERIFY2(CaptionOf(widget) == QString::fromUtf8(control.caption), what);
    QVERIFY2(widget->geometry() == Pixels(dialog.font(), control.x, control.y, control.width, control.height), what);
  }
}

void TestEntityDialog::tabOrderFollowsTheTemplateAndSkipsLabels() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QList<int> expected;
  for (const ExpectedControl& control : ExpectedMainControls()) {
    if (control.kind != 'L') expected << control.id;
  }
  QCOMPARE(expected.size(), 77);  // 86 controls, 9 of them labels
  QList<int> visited{QApplication::focusWidget()->property("controlId").toInt()};
  for (int step = 1; step < expected.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->property("controlId").toInt();
  }
  QCOMPARE(visited, expected);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget()->property("controlId").toInt(), 1);  // wraps around to OK
}

void TestEntityDialog::startsEmptyWithFocusOnOk() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QCOMPARE(QApplication::focusWidget(), Button(dialog, "IDOK"));
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) QVERIFY(edit->text().isEmpty());
  QVERIFY(dialog.EntityDlg().m_bspPath.empty());
}

void TestEntityDialog::exchangeMovesEveryBoxBothWaysByteForByte() {
  CQtEntityDialog dialog;
  CEntityDlg& record = dialog.EntityDlg();
  std::string bytes;
  for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
  record.m_search = "find me";
  record.m_keys[0] = "never shown";
  record.m_keys[30] = bytes;
  record.m_values[1] = std::string(100'000, 'v');  // no length limit
  record.m_flags[12] = "1024";
  dialog.UpdateData(false);
  QCOMPARE(Edit(dialog, "IDC_SEARCH")->text(), QStringLiteral("find me"));
  QCOMPARE(KeyBox(dialog, 30)->text().size(), 255);
  QCOMPARE(ValueBox(dialog, 1)->text().size(), 100'000);
  QCOMPARE(ValueBox(dialog, 1)->cursorPosition(), 0);  // a long value shows from its start
  QCOMPARE(FlagBox(dialog, 12)->text(), QStringLiteral("1024"));
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) QVERIFY(edit->text() != "never shown");

  QTest::keyClicks(FlagBox(dialog, 3), QStringLiteral("typed "));
  QTest::sendKeyEvent(QTest::Click, FlagBox(dialog, 3), Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
  dialog.UpdateData(true);
  QCOMPARE(record.m_flags[3], std::string("typed \xe9"));
  QCOMPARE(record.m_keys[30], bytes);  // every byte comes back as it went
  QCOMPARE(record.m_values[1].size(), std::size_t{100'000});
  QCOMPARE(record.m_keys[0], std::string("never shown"));
}

void TestEntityDialog::boxesShowAndTakeTheWindowsWesternCodePage() {
  CQtEntityDialog dialog;
  CEntityDlg& record = dialog.EntityDlg();
  // The code page's own characters, where Latin-1 has invisible controls; the five
  // bytes it leaves undefined stand for the controls of the same value.
  record.m_values[2] = "\x80 \x92\x96\x9f \x81\x8d\x8f\x90\x9d";
  dialog.UpdateData(false);
  QCOMPARE(ValueBox(dialog, 2)->text(), QStringLiteral("€ ’–Ÿ \u0081\u008d\u008f\u0090\u009d"));

  // "€" typed is the byte 0x80; a character with no byte is refused as it is typed or pasted.
  QLineEdit* search = Edit(dialog, "IDC_SEARCH");
  QTest::keyClicks(search, QStringLiteral("a"));
  for (const QString& typed : {QStringLiteral("€"), QStringLiteral("Ω"), QStringLiteral("–")}) {
    QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, typed, Qt::NoModifier);
  }
  QCOMPARE(search->text(), QStringLiteral("a€–"));
  search->selectAll();
  search->insert(QStringLiteral("pasted ✓"));
  QCOMPARE(search->text(), QStringLiteral("a€–"));
  search->end(false);
  search->insert(QString(QChar(0x9F)));  // the control U+009F: the byte 0x9F is "Ÿ"
  QCOMPARE(search->text(), QStringLiteral("a€–"));
  dialog.UpdateData(true);
  QCOMPARE(record.m_search, std::string("a\x80\x96"));
  QCOMPARE(record.m_values[2], std::string("\x80 \x92\x96\x9f \x81\x8d\x8f\x90\x9d"));
}

void TestEntityDialog::bothChoosersOpenWhereTheUserLastChose() {
  kestrum::test::TempDir dir;
  const QString maps = QString::fromStdString(dir.File("maps"));
  QVERIFY(QDir().mkpath(maps));
  const QString bspPath = maps + "/demo.bsp";
  // A damaged map: its last entity is cut short by a NUL.
  std::string lump = kestrum::mapgen::EntityLump(kestrum::mapgen::DemoEntities());
  const std::size_t lastEntity = lump.rfind('{');
  lump[lastEntity + 5] = '\0';
  const kestrum::mapgen::BuiltMap map = kestrum::mapgen::BuildMap(lump, 2000, 300);
  kestrum::test::WriteFile(bspPath.toStdString(), map.bytes);

  CQtEntityDialog dialog;
  dialog.show();
  auto folderOfNextChooser = [](const QString& choose) {
    auto folder = std::make_shared<QString>();
    WhenModal<QFileDialog>([=](QFileDialog* chooser) {
      *folder = chooser->directory().absolutePath();
      chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(choose);
      static_cast<QDialog*>(chooser)->accept();
    });
    return folder;
  };
  const auto openedIn = folderOfNextChooser(bspPath);
  QTest::mouseClick(Button(dialog, "IDC_OPEN_BSP"), Qt::LeftButton);
  QCOMPARE(*openedIn, QDir::currentPath());
  const auto savedIn = folderOfNextChooser(QString::fromStdString(dir.File("list.txt")));
  bool cutReported = false;
  const std::string cutMessage =
      kestrum::messages::CutEntityMessage(map.lumpOffset + static_cast<std::int32_t>(lastEntity),
                                          static_cast<int>(kestrum::mapgen::DemoEntities().size()) - 1);
  ExpectMessage(QString::fromStdString(cutMessage), &cutReported);  // after the list is written
  QTest::mouseClick(Button(dialog, "IDC_CREATE_LIST"), Qt::LeftButton);
  QCOMPARE(*savedIn, maps);  // the map's folder, with the default name in it
  QVERIFY(cutReported);
  QVERIFY(QFileInfo(QString::fromStdString(dir.File("list.txt"))).size() > 0);
  const auto reopenedIn = folderOfNextChooser(bspPath);
  QTest::mouseClick(Button(dialog, "IDC_OPEN_BSP"), Qt::LeftButton);
  QCOMPARE(*reopenedIn, QString::fromStdString(dir.Path()));  // where the list went
}

void TestEntityDialog::wholeSessionThroughTheButtons() {
  kestrum::test::TempDir dir;
  const kestrum::mapgen::BuiltMap map = kestrum::mapgen::DemoMap();
  const QString bspPath = QString::fromStdString(dir.File("demo.bsp"));
  const QString listPath = QString::fromStdString(dir.File("demo-entities.txt"));
  kestrum::test::WriteFile(bspPath.toStdString(), map.bytes);

  CQtEntityDialog dialog;
  dialog.show();
  const auto openMismatches = ChooseInNextFileDialog(bspPath, QFileDialog::AcceptOpen, "bsp", kOpenFilters, "*.bsp");
  QTest::mouseClick(Button(dialog, "IDC_OPEN_BSP"), Qt::LeftButton);
  QCOMPARE(*openMismatches, QStringList());
  QCOMPARE(dialog.EntityDlg().m_bspPath, bspPath.toStdString());
  QCOMPARE(dialog.EntityDlg().m_entityOffset, map.lumpOffset);

  QTest::keyClicks(Edit(dialog, "IDC_SEARCH"), QStringLiteral("monster_"));
  QTest::mouseClick(Button(dialog, "IDC_ANALYSE"), Qt::LeftButton);
  QCOMPARE(KeyBox(dialog, 1)->text(), QStringLiteral("classname"));
  QCOMPARE(ValueBox(dialog, 1)->text(), QStringLiteral("monster_army"));
  QCOMPARE(FlagBox(dialog, 10)->text(), QStringLiteral("256"));
  QTest::mouseClick(Button(dialog, "IDC_ANALYSE"), Qt::LeftButton);
  QCOMPARE(ValueBox(dialog, 1)->text(), QStringLiteral("monster_dog"));
  QCOMPARE(FlagBox(dialog, 10)->text(), QStringLiteral("256"));
  QCOMPARE(FlagBox(dialog, 11)->text(), QStringLiteral("512"));
  QCOMPARE(ValueBox(dialog, 4)->text(), QStringLiteral("t2"));
  QCOMPARE(KeyBox(dialog, 5)->text(), QString());
  QCOMPARE(dialog.EntityDlg().m_matchCount, 2);

  const auto saveMismatches =
      ChooseInNextFileDialog(listPath, QFileDialog::AcceptSave, "txt", {"Text file txt(*.txt)"}, "demo.txt");
  QTest::mouseClick(Button(dialog, "IDC_CREATE_LIST"), Qt::LeftButton);
  QCOMPARE(*saveMismatches, QStringList());
  QCOMPARE(kestrum::test::ReadFile(listPath.toStdString()), DemoList());
  QVERIFY(dialog.isVisible());
}

void TestEntityDialog::opensAMapInsideAPakAndAPk3ThroughTheChooserAndTheList() {
  kestrum::test::TempDir dir;
  const QString folder = QString::fromStdString(dir.File("archives"));
  QVERIFY(QDir().mkpath(folder));
  QStringList archives{folder + "/pak0.pak"};
  kestrum::test::WriteFile(archives[0].toStdString(), kestrum::test::PakBytes(ArchiveOfMaps()));
#ifdef KESTRUM_WITH_ZIP
  archives << folder + "/pak1.pk3";
  kestrum::test::WriteZip(archives[1].toStdString(), ArchiveOfMaps());
#endif
  const QStringList maps{QStringLiteral("maps/dm1.bsp"), QStringLiteral("maps/dm2.bsp")};

  CQtEntityDialog dialog;
  dialog.show();
  std::string previous;
  for (const QString& archive : archives) {
    // Cancelling the list is cancelling the chooser: the map chosen before stays.
    const auto cancelMismatches = ChooseArchiveInNextFileDialog(archive);
    const auto cancelled = PickInNextMapList(&dialog, std::nullopt);
    QTest::mouseClick(Button(dialog, "IDC_OPEN_BSP"), Qt::LeftButton);
    QCOMPARE(*cancelMismatches, QStringList());
    QCOMPARE(cancelled->names, maps);
    QCOMPARE(cancelled->startRow, 0);
    QVERIFY(cancelled->ownedByTheDialog);
    QCOMPARE(cancelled->title, QStringLiteral("Maps in the archive"));
    QCOMPARE(dialog.EntityDlg().m_bspPath, previous);

    const auto openMismatches = ChooseArchiveInNextFileDialog(archive);
    const bool doubleClick = archive.endsWith(".pk3");
    const auto picked = PickInNextMapList(&dialog, 1, doubleClick);
    QTest::mouseClick(Button(dialog, "IDC_OPEN_BSP"), Qt::LeftButton);
    QCOMPARE(*openMismatches, QStringList());
    QCOMPARE(picked->names, maps);
    const std::string member = archive.toStdString() + ":maps/dm2.bsp";
    QCOMPARE(dialog.EntityDlg().m_bspPath, member);
    QCOMPARE(dialog.EntityDlg().m_entityOffset, kestrum::mapgen::DemoMap().lumpOffset);

    // The list is offered beside the archive, named after the map.
    const QString listPath = folder + "/dm2-" + QFileInfo(archive).suffix() + ".txt";
    const auto offered = OfferedInNextSaveChooser(listPath);
    QTest::mouseClick(Button(dialog, "IDC_CREATE_LIST"), Qt::LeftButton);
    QCOMPARE(*offered, (QStringList{folder, QStringLiteral("dm2.txt")}));
    QCOMPARE(kestrum::test::ReadFile(listPath.toStdString()), DemoList());
    previous = member;
  }
}

void TestEntityDialog::opensTheMapNamedOnTheCommandLine() {
  kestrum::test::TempDir dir;
  const std::string plain = dir.File("plain.bsp");
  kestrum::test::WriteFile(plain, std::string(5000, 'x'));
  const std::string pak = dir.File("pak0.pak");
  kestrum::test::WriteFile(pak, kestrum::test::PakBytes(ArchiveOfMaps()));

  struct Case {
    std::string argument;
    QString message;  ///< the message shown over the dialog; empty: none
    std::string opened;
  };
  const std::vector<Case> cases{
      {plain,
       QString::fromUtf8(kestrum::messages::kNoEntities.data(),
                         static_cast<int>(kestrum::messages::kNoEntities.size())),
       plain},
      {pak + ":maps/dm2.bsp", QString(), pak + ":maps/dm2.bsp"},
      {dir.File("missing.bsp"), QString(), ""},
  };
  for (const Case& named : cases) {
    kestrum::shell::CEntityApp app;
    app.m_mapToOpen = named.argument;
    bool messageSeen = false;
    if (!named.message.isEmpty()) ExpectMessage(named.message, &messageSeen);
    // A map that cannot be opened says why, as the chooser's would.
    auto failure = std::make_shared<QString>();
    if (named.opened.empty()) {
      WhenModal<QMessageBox>([=](QMessageBox* box) {
        *failure = box->text();
        QTest::keyClick(box, Qt::Key_Return);
      });
    }
    std::string opened = "(the dialog did not show)";
    bool dialogUp = false;
    WhenModal<CQtEntityDialog>([&](CQtEntityDialog* dialog) {
      // The open waits in the event queue, which a busy machine may reach after this
      // timer: it runs here first, whichever came first.
      QCoreApplication::sendPostedEvents(dialog, QEvent::MetaCall);
      opened = dialog->EntityDlg().m_bspPath;
      dialogUp = dialog->isVisible();
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QCOMPARE(app.InitInstance(), false);
    QVERIFY(dialogUp);
    QCOMPARE(opened, named.opened);
    if (!named.message.isEmpty()) QVERIFY(messageSeen);
    if (named.opened.empty()) QVERIFY2(failure->contains(QString::fromStdString(named.argument)), qPrintable(*failure));
  }
}

void TestEntityDialog::opensADroppedMapOrArchive() {
  kestrum::test::TempDir dir;
  const std::string bsp = dir.File("demo.bsp");
  kestrum::test::WriteFile(bsp, kestrum::mapgen::DemoMap().bytes);
  const std::string pak = dir.File("pak0.pak");
  kestrum::test::WriteFile(pak, kestrum::test::PakBytes(ArchiveOfMaps()));

  CQtEntityDialog dialog;
  dialog.show();
  const auto dragAccepted = [&dialog](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    return enter.isAccepted();
  };
  const auto drop = [&dialog](const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // As a drag does: it enters the window before it drops there.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &event);
    return event.isAccepted();
  };
  QVERIFY(!dragAccepted({QUrl(QStringLiteral("https://example.com/maps/demo.bsp"))}));
  QVERIFY(!dragAccepted({}));
  QVERIFY(dragAccepted({QUrl::fromLocalFile(QString::fromStdString(bsp))}));

  QVERIFY(drop(bsp));
  QTRY_COMPARE(dialog.EntityDlg().m_bspPath, bsp);
  QCOMPARE(dialog.EntityDlg().m_entityOffset, kestrum::mapgen::DemoMap().lumpOffset);

  const auto picked = PickInNextMapList(&dialog, 1);
  QVERIFY(drop(pak));
  QTRY_COMPARE(dialog.EntityDlg().m_bspPath, pak + ":maps/dm2.bsp");
  QCOMPARE(picked->names, (QStringList{QStringLiteral("maps/dm1.bsp"), QStringLiteral("maps/dm2.bsp")}));
  QVERIFY(picked->ownedByTheDialog);
}

void TestEntityDialog::commandsWithoutAMapShowTheMessage() {
  CQtEntityDialog dialog;
  dialog.show();
  for (const char* button : {"IDC_ANALYSE", "IDC_CREATE_LIST"}) {
    bool seen = false;
    ExpectMessage(QStringLiteral("No bsp file has been loaded!!"), &seen);
    QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
    QVERIFY2(seen, button);
  }
}

void TestEntityDialog::enterInAnEditBoxPressesOkAndSaves() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QLineEdit* search = Edit(dialog, "IDC_SEARCH");
  search->setFocus();
  QTest::keyClicks(search, QStringLiteral("light"));
  QTest::keyClick(search, Qt::Key_Return);
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int{QDialog::Accepted});
  QCOMPARE(dialog.EntityDlg().m_search, std::string("light"));  // OK ran one save
}

void TestEntityDialog::escapeEndsWithoutAnExchange() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QTest::keyClicks(ValueBox(dialog, 2), QStringLiteral("typed"));
  QTest::keyClick(ValueBox(dialog, 2), Qt::Key_Escape);
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int{QDialog::Rejected});
  QVERIFY(dialog.EntityDlg().m_values[2].empty());
}

void TestEntityDialog::enterOnAnotherButtonPressesThatButton() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  bool seen = false;
  ExpectMessage(QStringLiteral("No bsp file has been loaded!!"), &seen);
  Button(dialog, "IDC_ANALYSE")->setFocus();
  QTest::keyClick(Button(dialog, "IDC_ANALYSE"), Qt::Key_Return);
  QTRY_VERIFY(seen);
  QVERIFY(dialog.isVisible());
}

void TestEntityDialog::windowMenuHoldsCloseAndTheAboutEntry() {
  CQtEntityDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QMenu* const menu = WindowMenu(dialog);
  QVERIFY(menu != nullptr);
  const QList<QAction*> actions = menu->actions();
  QCOMPARE(actions.size(), 3);
  QCOMPARE(actions[0]->text(), QStringLiteral("&Close"));
  QVERIFY(actions[1]->isSeparator());
  QCOMPARE(actions[2]->text(), QStringLiteral("&A propos de Kestrum..."));
  QCOMPARE(actions[2], AboutEntry(dialog));

  QTest::keyClick(&dialog, Qt::Key_Space, Qt::AltModifier);
  QTRY_VERIFY(menu->isVisible());
  menu->hide();

  // A right click on the background opens it too.
  const QPoint background(dialog.width() - 5, dialog.height() - 5);
  QVERIFY(dialog.childAt(background) == nullptr);
  QContextMenuEvent onBackground(QContextMenuEvent::Mouse, background, dialog.mapToGlobal(background));
  QApplication::sendEvent(&dialog, &onBackground);
  QTRY_VERIFY(menu->isVisible());
  menu->hide();

  // So does one on a label, which is background too; an edit box keeps its own menu.
  for (const char* name : {"label_key_left", "IDC_KEY1"}) {
    const QWidget* under = dialog.findChild<QWidget*>(name);
    const QPoint at = under->geometry().center();
    QCOMPARE(dialog.childAt(at), under);
    QContextMenuEvent onControl(QContextMenuEvent::Mouse, at, dialog.mapToGlobal(at));
    QApplication::sendEvent(&dialog, &onControl);
    QCOMPARE(menu->isVisible(), qobject_cast<const QLabel*>(under) != nullptr);
    menu->hide();
  }

  actions[0]->trigger();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int{QDialog::Rejected});
}

void TestEntityDialog::aboutEntryOpensTheAboutBoxOverTheDialogEachTime() {
  CQtEntityDialog dialog;
  dialog.show();
  for (int opening = 1; opening <= 3; ++opening) {
    bool opened = false;
    WhenModal<CAboutBox>([&](CAboutBox* about) {
      opened = about->parentWidget() == &dialog && dialog.isVisible();
      QTest::keyClick(about, Qt::Key_Escape);
    });
    AboutEntry(dialog)->trigger();
    QVERIFY2(opened, qPrintable(QString::number(opening)));
    QVERIFY(QApplication::activeModalWidget() == nullptr);  // Escape closed the about box alone
    QVERIFY(dialog.isVisible());
  }
}

void TestEntityDialog::aboutBoxShowsNameVersionAndCredits() {
  CQtEntityDialog dialog;
  dialog.show();
  dialog.EntityDlg().m_keys[3] = "kept";
  dialog.UpdateData(false);
  KeyBox(dialog, 4)->setText(QStringLiteral("typed"));
  for (int opening = 0; opening < 2; ++opening) {
    QString title, version, focus;
    int credits = 0;
    bool hasIcon = false;
    QSize iconSize;
    WhenModal<CAboutBox>([&](CAboutBox* about) {
      title = about->windowTitle();
      version = about->findChild<QLabel*>("about_version")->text();
      for (const char* name : {"about_credit1", "about_credit2", "about_credit3"}) {
        credits += !about->findChild<QLabel*>(name)->text().isEmpty();
      }
      hasIcon = !about->findChild<QLabel*>("about_icon")->pixmap().isNull();
      iconSize = about->findChild<QLabel*>("about_icon")->size();
      // The box may be shown a moment before the system gives it the focus.
      QTest::qWaitFor([about] { return about->isAncestorOf(QApplication::focusWidget()); }, 2000);
      focus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
      QTest::mouseClick(about->findChild<QPushButton*>("IDOK"), Qt::LeftButton);
    });
    AboutEntry(dialog)->trigger();
    QCOMPARE(title, QStringLiteral("A propos de Kestrum"));
    QCOMPARE(version, QStringLiteral("Kestrum version 1.0"));
    QCOMPARE(credits, 3);
    QVERIFY(hasIcon);
    QCOMPARE(iconSize, QSize(32, 32));  // the icon at its own size, whatever the font
    QCOMPARE(focus, QStringLiteral("IDOK"));
  }
  QCOMPARE(KeyBox(dialog, 3)->text(), QStringLiteral("kept"));
  QCOMPARE(KeyBox(dialog, 4)->text(), QStringLiteral("typed"));
  QVERIFY(dialog.EntityDlg().m_keys[4].empty());
  QVERIFY(dialog.isVisible());
}

void TestEntityDialog::iconsAreSetInBothSizes() {
  CQtEntityDialog dialog;
  const QIcon icon = dialog.windowIcon();
  const QList<QSize> sizes = icon.availableSizes();
  QVERIFY(sizes.contains(QSize(32, 32)));
  QVERIFY(sizes.contains(QSize(16, 16)));
  // Each size is the application's own image of that size, not one scaled from the other.
  for (const int side : {32, 16}) {
    const QImage expected = QImage(QStringLiteral(":/icons/kestrum-%1.xpm").arg(side));
    QCOMPARE(expected.size(), QSize(side, side));
    QCOMPARE(icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
  }
}

void TestEntityDialog::initInstanceRunsTheDialogUntilItCloses() {
  const auto runningDialogs = [] {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) count += qobject_cast<CQtEntityDialog*>(window) != nullptr;
    return count;
  };
  QCOMPARE(runningDialogs(), 0);
  kestrum::shell::CEntityApp app;
  bool ranAsMainWindow = false;
  WhenModal<CQtEntityDialog>([&](CQtEntityDialog* dialog) {
    ranAsMainWindow = dialog->isWindow() && dialog->parentWidget() == nullptr && runningDialogs() == 1;
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  QCOMPARE(app.InitInstance(), false);
  QVERIFY(ranAsMainWindow);
  QCOMPARE(runningDialogs(), 0);  // the dialog is gone with its end
}

QTEST_MAIN(TestEntityDialog)
#include "tst_entity_dialog.moc"
