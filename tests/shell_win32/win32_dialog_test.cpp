// The Win32 dialog under the system's dialog manager: the windows it builds from the
// resources, the window menu, the icons, the exchange in Windows-1252, the message boxes
// and the ways the dialog ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "about_box.h"
#include "app_name.h"
#include "archive_builder.h"
#include "dialog_templates.h"
#include "entity_app.h"
#include "file_chooser.h"
#include "headless_dialog.h"
#include "map_builder.h"
#include "messages.h"
#include "modal_driver.h"
#include "resource.h"
#include "test_files.h"
#include "wide_text_win32.h"
#include "win32_entity_dialog.h"
// DROPFILES, the memory block of a drop.
#include <shlobj.h>

namespace kestrum {
namespace {

using res::ControlKind;
using res::ControlTemplate;
using res::DialogTemplate;
using win32::CWin32EntityDialog;

const std::wstring kMainTitle = L"Kestrum";
const std::wstring kAboutTitle = L"A propos de Kestrum";

std::wstring ClassOf(HWND window) {
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, 32);
  return name;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

/** The class and the styles that the resource script gives each kind of control. */
struct KindFacts {
  const wchar_t* className;
  LONG requiredStyles;
};

KindFacts FactsOf(const ControlTemplate& control) {
  const LONG group = (control.styles & res::kStartsGroup) ? WS_GROUP : 0;
  switch (control.kind) {
    case ControlKind::PushButton: return {L"Button", BS_PUSHBUTTON | WS_TABSTOP | group};
    case ControlKind::DefPushButton: return {L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP | group};
    // The dialog manager turns an edit box's WS_BORDER into a sunken edge: checked apart.
    case ControlKind::EditBox: return {L"Edit", ES_AUTOHSCROLL | WS_TABSTOP};
    case ControlKind::Label:
      return {L"Static", SS_LEFT | WS_GROUP | ((control.styles & res::kNoPrefix) ? SS_NOPREFIX : 0)};
    case ControlKind::Icon: return {L"Static", SS_ICON};
    // The list drops WS_VSCROLL while its rows fit: the scroll bar shows only when needed.
    case ControlKind::ListBox: return {L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP};
  }
  return {L"", 0};
}

/** The dialog's windows agree with the template: order, ids, kinds, texts and places. */
void ExpectBuiltFromTemplate(HWND dialog, const DialogTemplate& dialogTemplate) {
  EXPECT_EQ(TextOf(dialog), Widen(dialogTemplate.title));
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(std::wstring(font.lfFaceName), Widen(dialogTemplate.fontName));

  RECT size{0, 0, dialogTemplate.width, dialogTemplate.height};
  ::MapDialogRect(dialog, &size);
  RECT client{};
  ::GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  std::vector<HWND> children;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  ASSERT_EQ(children.size(), dialogTemplate.controls.size());
  for (std::size_t n = 0; n < children.size(); ++n) {
    const ControlTemplate& control = dialogTemplate.controls[n];
    const HWND child = children[n];
    SCOPED_TRACE(std::string(control.name));
    // A plain template keeps 16-bit ids, so -1 reads back as 0xFFFF there.
    EXPECT_EQ(static_cast<WORD>(::GetDlgCtrlID(child)), static_cast<WORD>(control.id));
    const KindFacts facts = FactsOf(control);
    EXPECT_EQ(ClassOf(child), facts.className);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(style & facts.requiredStyles, facts.requiredStyles);
    EXPECT_TRUE(style & WS_VISIBLE);
    if (control.kind == ControlKind::EditBox) {
      EXPECT_TRUE((style & WS_BORDER) || (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    if (control.kind == ControlKind::Icon) {
      EXPECT_NE(::SendMessageW(child, STM_GETICON, 0, 0), 0);
    } else {
      EXPECT_EQ(TextOf(child), Widen(control.caption));
    }
    // The dialog manager converts the position and the size each on its own.
    RECT expected{control.x, control.y, control.width, control.height};
    ::MapDialogRect(dialog, &expected);
    expected.right += expected.left;
    expected.bottom += expected.top;
    RECT actual{};
    ::GetWindowRect(child, &actual);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    if (control.kind != ControlKind::Icon) {  // an icon control takes the icon's own size
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
}

/** Runs the dialog, acting on it once it is up; returns DoModal's result. */
INT_PTR RunDialog(CWin32EntityDialog& dialog, std::function<void(HWND)> act) {
  test::WhenDialogShows(kMainTitle, false, std::move(act));
  const INT_PTR result = dialog.DoModal(nullptr);
  EXPECT_TRUE(test::AllActsRan());
  return result;
}

TEST(Win32Dialog, mainDialogIsBuiltFromTheTemplateWithTheRealFont) {
  CWin32EntityDialog dialog;
  RunDialog(dialog, [](HWND window) {
    ExpectBuiltFromTemplate(window, res::MainDialogTemplate());
    EXPECT_EQ(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDOK);
    ::EndDialog(window, IDCANCEL);
  });
}

TEST(Win32Dialog, aboutBoxIsBuiltFromItsTemplateOverTheMainDialog) {
  CWin32EntityDialog dialog;
  RunDialog(dialog, [](HWND main) {
    test::WhenDialogShows(kAboutTitle, true, [main](HWND about) {
      ExpectBuiltFromTemplate(about, res::AboutDialogTemplate());
      EXPECT_EQ(::GetWindow(about, GW_OWNER), main);
      EXPECT_FALSE(::IsWindowEnabled(main));
      EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDOK);
      ::SendMessageW(about, WM_COMMAND, IDOK, 0);
    });
    ::SendMessageW(main, WM_SYSCOMMAND, IDM_ABOUT, 0);
    EXPECT_TRUE(::IsWindowEnabled(main));
    ::EndDialog(main, IDCANCEL);
  });
}

TEST(Win32Dialog, systemMenuEndsWithASeparatorAndTheAboutEntry) {
  CWin32EntityDialog dialog;
  RunDialog(dialog, [](HWND window) {
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    // The system may add entries of its own; ours follows its separator.
    const int count = ::GetMenuItemCount(menu);
    int about = -1;
    for (int n = 0; n < count; ++n) {
      if (::GetMenuItemID(menu, n) == IDM_ABOUT) about = n;
    }
    ASSERT_GT(about, 0);
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(about), text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"&A propos de Kestrum...");
    EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(about - 1), MF_BYPOSITION) & MF_SEPARATOR);
    ::EndDialog(window, IDCANCEL);
  });
}

TEST(Win32Dialog, systemCommandsSixteenToThirtyOneOpenTheAboutBoxAndChangeNothing) {
  for (const UINT command : {16u, 17u, 31u}) {
    CWin32EntityDialog dialog;
    RunDialog(dialog, [&dialog, command](HWND window) {
      ::SetDlgItemTextW(window, IDC_SEARCH, L"typed");
      test::WhenDialogShows(kAboutTitle, true, [](HWND about) { ::SendMessageW(about, WM_COMMAND, IDCANCEL, 0); });
      ::SendMessageW(window, WM_SYSCOMMAND, command, 0);
      EXPECT_TRUE(test::AllActsRan()) << command;
      wchar_t search[16] = {};
      ::GetDlgItemTextW(window, IDC_SEARCH, search, 16);
      EXPECT_EQ(std::wstring(search), L"typed");
      EXPECT_EQ(dialog.EntityDlg().m_search, "");
      ::EndDialog(window, IDCANCEL);
    });
  }
}

TEST(Win32Dialog, systemCommandsOutsideSixteenToThirtyOneLeaveTheAboutBoxClosed) {
  CWin32EntityDialog dialog;
  RunDialog(dialog, [](HWND window) {
    // One about box is awaited, closed, and told which command was in flight when it
    // showed: the commands that must not open it go first, the about entry last.
    UINT inFlight = 0;
    UINT openedBy = 0;
    test::WhenDialogShows(kAboutTitle, true, [&](HWND about) {
      openedBy = inFlight;
      ::SendMessageW(about, WM_COMMAND, IDCANCEL, 0);
    });
    for (const UINT command : {15u, 32u, UINT{SC_RESTORE}}) {
      inFlight = command;
      ::SendMessageW(window, WM_SYSCOMMAND, command, 0);
      EXPECT_TRUE(::IsWindowVisible(window)) << command;
    }
    if (!test::AllActsRan()) {  // else a second about box would wait for no one
      inFlight = IDM_ABOUT;
      ::SendMessageW(window, WM_SYSCOMMAND, IDM_ABOUT, 0);
    }
    EXPECT_EQ(openedBy, UINT{IDM_ABOUT});
    ::EndDialog(window, IDCANCEL);
  });
}

TEST(Win32Dialog, iconsAreSetBigAndSmallAndGivenAsTheDragIcon) {
  CWin32EntityDialog dialog;
  ASSERT_NE(dialog.Icon(), nullptr);
  RunDialog(dialog, [&dialog](HWND window) {
    const auto icon = reinterpret_cast<LRESULT>(dialog.Icon());
    EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), icon);
    EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), icon);
    EXPECT_EQ(::SendMessageW(window, WM_QUERYDRAGICON, 0, 0), icon);
    ::EndDialog(window, IDCANCEL);
  });
}

// ctest runs this test a second time under a Cyrillic ANSI code page (1251), where the
// system's own conversion would show 0x80 as "Ђ" and 0xE9 as "й".
TEST(Win32Dialog, exchangeMovesEveryByteThroughTheWindowsWesternCodePage) {
  if (const char* codePage = std::getenv("KESTRUM_TEST_ANSI_CODE_PAGE")) {
    ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(codePage))) << "the system did not take the locale asked for";
  }
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) everyByte.push_back(static_cast<char>(byte));
  CWin32EntityDialog dialog;
  RunDialog(dialog, [&dialog, &everyByte](HWND window) {
    CEntityDlg& record = dialog.EntityDlg();
    record.m_values[30] = everyByte;
    record.m_flags[12] = "\x80 \xe9 \x81\x9f";
    dialog.UpdateData(false);
    // The boxes show the characters those bytes stand for in Windows-1252, whatever
    // the system's ANSI code page; an undefined byte stands for the control of its value.
    wchar_t shown[8] = {};
    ::GetDlgItemTextW(window, IDC_FLAG1 + 11, shown, 8);
    EXPECT_EQ(std::wstring(shown), L"\u20ac \u00e9 \u0081\u0178") << "ANSI code page " << ::GetACP();

    record.m_values[30].clear();
    record.m_flags[12].clear();
    dialog.UpdateData(true);
    EXPECT_EQ(record.m_values[30], everyByte);
    EXPECT_EQ(record.m_flags[12], "\x80 \xe9 \x81\x9f");
    ::EndDialog(window, IDCANCEL);
  });
}

/** Puts text on the clipboard, as a copy in another program would. */
void PutOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(owner));
  ::EmptyClipboard();
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns the memory from here
  ::CloseClipboard();
}

TEST(Win32Dialog, boxesRefuseACharacterTheCodePageCannotWriteAsItIsTypedOrPasted) {
  CWin32EntityDialog dialog;
  RunDialog(dialog, [&dialog](HWND window) {
    const HWND search = ::GetDlgItem(window, IDC_SEARCH);
    // "quickmāp": the macron has no byte; nor has either half of a character beyond the first plane.
    for (const wchar_t typed : std::wstring(L"quickm\u0101p \u20ac\u2013\U0001d11e\u009f!")) {
      ::SendMessageW(search, WM_CHAR, typed, 0);
    }
    EXPECT_EQ(TextOf(search), L"quickmp \u20ac\u2013!");

    ::SendMessageW(search, EM_SETSEL, 0, -1);
    PutOnClipboard(window, L"\u30de\u30c3\u30d7");  // "map" in Japanese
    ::SendMessageW(search, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(search), L"quickmp \u20ac\u2013!");
    PutOnClipboard(window, L"caf\u00e9 \u0152");
    ::SendMessageW(search, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(search), L"caf\u00e9 \u0152");

    // Every box of the dialog, keys, values and flags alike.
    for (const int box : {IDC_KEY1, IDC_VALUE1 + 58, IDC_FLAG1 + 11}) {
      ::SendMessageW(::GetDlgItem(window, box), WM_CHAR, L'\u0101', 0);
      ::SendMessageW(::GetDlgItem(window, box), WM_CHAR, L'\u00e9', 0);
      EXPECT_EQ(TextOf(::GetDlgItem(window, box)), L"\u00e9") << box;
    }
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.EntityDlg().m_search, "caf\xe9 \x8c");
    ::EndDialog(window, IDCANCEL);
  });
}

TEST(Win32Dialog, okAndEnterSaveTheBoxesEscapeDoesNot) {
  struct Case {
    const char* how;
    std::function<void(HWND)> end;
    INT_PTR result;
    std::string search;
  };
  const std::vector<Case> cases{
      {"OK button", [](HWND w) { ::SendMessageW(::GetDlgItem(w, IDOK), BM_CLICK, 0, 0); }, IDOK, "typed"},
      {"Enter in the search box",
       [](HWND w) {
         ::SetFocus(::GetDlgItem(w, IDC_SEARCH));
         ::PostMessageW(::GetDlgItem(w, IDC_SEARCH), WM_KEYDOWN, VK_RETURN, 0);
       },
       IDOK, "typed"},
      {"Escape", [](HWND w) { ::PostMessageW(::GetDlgItem(w, IDC_SEARCH), WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL, ""},
      {"close box", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL, ""},
  };
  for (const Case& ending : cases) {
    CWin32EntityDialog dialog;
    const INT_PTR result = RunDialog(dialog, [&ending](HWND window) {
      ::SetDlgItemTextW(window, IDC_SEARCH, L"typed");
      ending.end(window);
    });
    EXPECT_EQ(result, ending.result) << ending.how;
    EXPECT_EQ(dialog.EntityDlg().m_search, ending.search) << ending.how;
  }
}

TEST(Win32Dialog, messagesHaveTheApplicationsNameAsCaptionAndOneOkButton) {
  CWin32EntityDialog dialog;
  std::wstring shownText;
  bool hasCancel = true;
  RunDialog(dialog, [&](HWND window) {
    test::WhenDialogShows(Widen(win32::ApplicationName()), true, [&](HWND box) {
      shownText = TextOf(::GetDlgItem(box, 0xFFFF));
      hasCancel = ::GetDlgItem(box, IDCANCEL) != nullptr;
      ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    ::SendMessageW(::GetDlgItem(window, IDC_CREATE_LIST), BM_CLICK, 0, 0);
    ::EndDialog(window, IDCANCEL);
  });
  EXPECT_EQ(shownText, Widen(messages::kNoBspLoaded));
  EXPECT_FALSE(hasCancel);
}

TEST(Win32Dialog, choosersGetTheCommandsOptionsAndTheSaveChooserMayNameANewFile) {
  // The options as the commands ask for them.
  const test::TempDir dir;
  const std::string map = dir.File("level.bsp");
  test::WriteFile(map, "no entities here");
  CHeadlessDialog ui;
  ui.services.openAnswers.push_back(std::nullopt);
  ui.dialog.OnOpenBsp();
  ui.dialog.m_bspPath = map;
  ui.services.saveAnswers.push_back(std::nullopt);
  ui.dialog.OnCreateList();
  ASSERT_EQ(ui.services.openRequests.size(), 1u);
  ASSERT_EQ(ui.services.saveRequests.size(), 1u);

  EXPECT_EQ(win32::ChooserFlags(ui.services.openRequests[0], win32::ChooserKind::Open),
            DWORD{OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY});
  EXPECT_EQ(win32::ChooserFlags(ui.services.saveRequests[0], win32::ChooserKind::Save),
            DWORD{OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY});
  // Each entry's description and pattern, with the empty string that ends the list.
  using namespace std::string_literals;
  EXPECT_EQ(win32::ChooserFilter(ui.services.openRequests[0]),
            L"Compiled map BSP bsp(*.bsp)\0*.bsp\0Map archives (*.pk3;*.pk4;*.zip;*.pak)\0*.pk3;*.pk4;*.zip;*.pak\0"s);
  EXPECT_EQ(win32::ChooserFilter(ui.services.saveRequests[0]), L"Text file txt(*.txt)\0*.txt\0"s);
}

const std::wstring kPickMapTitle = L"Maps in the archive";

/** The block a drop of these files hands the window, as the system's file manager makes it. */
HDROP DropOf(const std::vector<std::string>& files) {
  std::wstring names;
  for (const std::string& file : files) names += Widen(file) + L'\0';
  names += L'\0';
  const std::size_t nameBytes = names.size() * sizeof(wchar_t);
  const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + nameBytes);
  auto* const drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), nameBytes);
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

/** The maps the list shows, in order. */
std::vector<std::wstring> ListedMaps(HWND picker) {
  const HWND list = ::GetDlgItem(picker, IDC_MAP_LIST);
  std::vector<std::wstring> maps;
  const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
    maps.push_back(text);
  }
  return maps;
}

/** A PACK file with a map without entities and the demo map, and a file that is no map. */
std::string PakOfMaps() {
  return test::PakBytes(
      {{"maps/dm2.bsp", mapgen::DemoMap().bytes}, {"maps/dm1.bsp", std::string(3000, 'x')}, {"progs.dat", "x"}});
}

TEST(Win32Dialog, aDroppedMapOpensAndADroppedArchiveOffersItsMapsOverTheDialog) {
  const test::TempDir dir;
  const std::string bsp = dir.File("demo.bsp");
  test::WriteFile(bsp, mapgen::DemoMap().bytes);
  const std::string pak = dir.File("pak0.pak");
  test::WriteFile(pak, PakOfMaps());

  CWin32EntityDialog dialog;
  CEntityDlg& record = dialog.EntityDlg();
  RunDialog(dialog, [&](HWND main) {
    EXPECT_TRUE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    ::SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({bsp})), 0);
    EXPECT_EQ(record.m_bspPath, bsp);
    EXPECT_EQ(record.m_entityOffset, mapgen::DemoMap().lumpOffset);

    // Of several files, the first opens; the list starts on the first map.
    std::vector<std::wstring> listed;
    test::WhenDialogShows(kPickMapTitle, true, [&](HWND picker) {
      ExpectBuiltFromTemplate(picker, res::PickMapDialogTemplate());
      EXPECT_EQ(::GetWindow(picker, GW_OWNER), main);
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(picker, IDC_MAP_LIST));
      EXPECT_EQ(::SendDlgItemMessageW(picker, IDC_MAP_LIST, LB_GETCURSEL, 0, 0), 0);
      listed = ListedMaps(picker);
      ::SendDlgItemMessageW(picker, IDC_MAP_LIST, LB_SETCURSEL, 1, 0);
      ::SendMessageW(::GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
    });
    ::SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({pak, bsp})), 0);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"maps/dm1.bsp", L"maps/dm2.bsp"}));
    EXPECT_EQ(record.m_bspPath, pak + ":maps/dm2.bsp");
    EXPECT_EQ(record.m_entityOffset, mapgen::DemoMap().lumpOffset);

    // Cancelling the list keeps the map chosen before.
    test::WhenDialogShows(kPickMapTitle, true, [](HWND picker) { ::SendMessageW(picker, WM_COMMAND, IDCANCEL, 0); });
    ::SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({pak})), 0);
    EXPECT_EQ(record.m_bspPath, pak + ":maps/dm2.bsp");

    // A double click chooses; a map without entities says so over the dialog.
    std::wstring message;
    test::WhenDialogShows(kPickMapTitle, true, [](HWND picker) {
      const HWND list = ::GetDlgItem(picker, IDC_MAP_LIST);
      ::SendMessageW(list, LB_SETCURSEL, 0, 0);
      ::SendMessageW(picker, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    });
    test::WhenDialogShows(Widen(win32::ApplicationName()), true, [&](HWND box) {
      message = TextOf(::GetDlgItem(box, 0xFFFF));
      ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    ::SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({pak})), 0);
    EXPECT_EQ(message, Widen(messages::kNoEntities));
    EXPECT_EQ(record.m_bspPath, pak + ":maps/dm1.bsp");
    ::EndDialog(main, IDCANCEL);
  });
}

TEST(Win32Dialog, theMapNamedOnTheCommandLineOpensOnceTheDialogIsUp) {
  const test::TempDir dir;
  const std::string pak = dir.File("pak0.pak");
  test::WriteFile(pak, PakOfMaps());
  struct Case {
    std::string argument;
    std::wstring message;  ///< shown over the dialog; empty: none
  };
  for (const Case& named :
       {Case{pak + ":maps/dm2.bsp", L""}, Case{pak + ":maps/dm1.bsp", Widen(messages::kNoEntities)}}) {
    win32::CEntityApp app;
    app.m_mapToOpen = named.argument;
    std::wstring message;
    if (!named.message.empty()) {
      test::WhenDialogShows(Widen(win32::ApplicationName()), true, [&](HWND box) {
        message = TextOf(::GetDlgItem(box, 0xFFFF));
        ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      });
    }
    std::string opened = "(the dialog did not show)";
    test::WhenDialogShows(kMainTitle, false, [&](HWND main) {
      opened = app.m_pMainWnd->EntityDlg().m_bspPath;
      ::EndDialog(main, IDCANCEL);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(test::AllActsRan());
    EXPECT_EQ(opened, named.argument);
    EXPECT_EQ(message, named.message);
  }
}

TEST(Win32Dialog, applicationNameIsTheExecutablesNameWithoutFolderOrExtension) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"C:\\Program Files\\Kestrum\\Kestrum.exe", "Kestrum"},
      {"Z:/work/build/Kestrum.EXE", "Kestrum"},
      {"C:\\tools\\kestrum.v2.exe", "kestrum.v2"},
      {"C:\\tools\\noextension", "noextension"},
      {"C:\\tools.d\\run", "run"},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(win32::ApplicationNameOf(path), name) << path;
}

}  // namespace
}  // namespace kestrum
