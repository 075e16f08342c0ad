#include "app/win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "app/win32/report_dialog.h"
#include "app/win32/window_test_support.h"
#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/big_container.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"
#include "text/wide_text.h"

namespace brimwald::win32 {
namespace {

using samples::ContainerBuilder;
using test_support::kExtractionMs;
using test_support::Key;
using test_support::MenuEntries;
using test_support::Mouse;
using test_support::PickInNextMenu;
using test_support::RunMessagesUntil;
using test_support::Send;
using test_support::TextOf;

const std::string kMusica = "m\xC3\xBAsica.str";  // música.str
// No OEM code page holds this one (U+1F3B5, a musical note).
const std::string kNote = "\xF0\x9F\x8E\xB5.str";

// Where `control` lies in the client area of `window`.
RECT PlaceOf(HWND window, HWND control) {
  RECT place;
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// A window on a temporary folder, with what it reports recorded instead of
// shown.
class WindowTest : public ::testing::Test {
 protected:
  void Open() {
    window_.emplace(::GetModuleHandleW(nullptr), dir_.path());
    window_->SetErrorReport(
        [this](const std::wstring& error) { errors_.push_back(error); });
    window_->SetBeep([this] { ++beeps_; });
    window_->SetClosed([this] { closed_ = true; });
    window_->SetExtractReport([this](const ExtractReport& report) {
      reports_.push_back(report);
      // A progress dialog left up would stay under the report box.
      if (window_->progress_dialog() != nullptr) ++progress_at_report_;
    });
    window_->SetQuestion([this](const std::wstring& question) {
      questions_.push_back(question);
      return answer_;
    });
  }

  void Choose(int index) {
    HWND list = window_->control(kFile1);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window_->handle(), WM_COMMAND,
                   MAKEWPARAM(kFile1, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
  }
  void ClickRip() { ::SendMessageW(window_->control(kCmdRip), BM_CLICK, 0, 0); }
  // Right-clicks the list's entry `index` with the mouse, then runs the
  // window until the extraction that the menu starts has started.
  bool RightClickEntry(int index) {
    HWND list = window_->control(kFile1);
    ::SetForegroundWindow(window_->handle());
    RECT item;
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
    POINT at = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ClientToScreen(list, &at);
    ::SetCursorPos(at.x, at.y);
    Send({Mouse(MOUSEEVENTF_RIGHTDOWN), Mouse(MOUSEEVENTF_RIGHTUP)});
    return RunUntilBusy();
  }
  // Shift+F10 in the list, which has the focus; then as above.
  bool PressMenuKey() {
    ::SetForegroundWindow(window_->handle());
    ::SetFocus(window_->control(kFile1));
    Send({Key(VK_SHIFT, false), Key(VK_F10, false), Key(VK_F10, true),
          Key(VK_SHIFT, true)});
    return RunUntilBusy();
  }
  // Runs the window until an extraction has started, or has even ended
  // (a broken container ends it at once).
  bool RunUntilBusy() {
    const size_t outcomes = reports_.size() + errors_.size();
    return RunMessagesUntil(
        &*window_,
        [this, outcomes] {
          return Busy() || reports_.size() + errors_.size() > outcomes;
        },
        10000);
  }
  bool WaitForReport() {
    return RunMessagesUntil(&*window_, [this] { return !reports_.empty(); });
  }
  // Big.str (testing/big_container.h), and what each of its entries'
  // files must hold.
  static constexpr int kBigEntries = 30;
  void BigContainer() {
    big_files_ = testing::WriteBigContainer(dir_, kBigEntries);
  }
  // The files below EXT_big, each checked whole; how many there are.
  size_t WholeBigFiles() const {
    std::vector<std::string> wrong;
    size_t whole = testing::WholeFiles(dir_, big_files_, wrong);
    EXPECT_TRUE(wrong.empty()) << wrong.front();
    return whole;
  }
  bool Busy() const {
    return !::IsWindowEnabled(window_->control(kFile1)) &&
           !::IsWindowEnabled(window_->control(kCmdRip));
  }
  std::wstring Text(ControlId id) const { return TextOf(window_->control(id)); }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(PathFromUtf8(dir_.File(name)));
  }

  testing::TempDir dir_;
  std::optional<MainWindow> window_;
  std::vector<std::wstring> errors_;
  int beeps_ = 0;
  bool closed_ = false;
  std::vector<ExtractReport> reports_;
  int progress_at_report_ = 0;
  std::vector<std::wstring> questions_;
  bool answer_ = false;
  std::map<std::string, std::string> big_files_;
};

class MainWindowTest : public WindowTest {
 protected:
  MainWindowTest() {
    auto two = ContainerBuilder::WithEntries(
        {{"sfx/door.wav", "h", "b"}, {"caf\xE9.wav", "", "x"}});
    testing::WriteFile(dir_.File(kMusica), two.bytes());
    testing::WriteFile(dir_.File(kNote), two.bytes());
    testing::WriteFile(dir_.File("bad.str"), "not a container");
    testing::WriteFile(dir_.File("notes.txt"), "");
    Open();
  }
};

TEST_F(MainWindowTest, ControlsStandWhereTheDesignPutsThem) {
  HWND window = window_->handle();
  EXPECT_EQ(TextOf(window), kCaption);
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 572);
  EXPECT_EQ(client.bottom, 265);
  struct Place {
    ControlId id;
    RECT rect;  // left, top, right, bottom; labels: right and bottom unset
  };
  for (const Place& place : std::vector<Place>{{kLabel1, {8, 8, 0, 0}},
                                               {kTxtFileName, {8, 24, 297, 43}},
                                               {kFile1, {8, 48, 297, 219}},
                                               {kCmdRip, {8, 224, 297, 257}},
                                               {kLblInfo, {312, 8, 0, 0}},
                                               {kTxtName, {312, 88, 569, 107}},
                                               {kLine1, {304, 8, 305, 249}}}) {
    RECT rect = PlaceOf(window, window_->control(place.id));
    EXPECT_EQ(rect.left, place.rect.left) << place.id;
    EXPECT_EQ(rect.top, place.rect.top) << place.id;
    if (place.rect.right == 0) continue;
    EXPECT_EQ(rect.right, place.rect.right) << place.id;
    EXPECT_EQ(rect.bottom, place.rect.bottom) << place.id;
  }
  RECT status = PlaceOf(window, window_->control(kLblStatus));
  EXPECT_TRUE(status.left == 312 && status.top == 115 && status.right == 569);
  EXPECT_EQ(Text(kLabel1), L"File Name (*.str):");
  EXPECT_EQ(Text(kCmdRip), L"RIP");
}

TEST_F(MainWindowTest, ChoosingShowsTheNameAndTheInspection) {
  HWND list = window_->control(kFile1);
  ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  std::vector<std::wstring> listed;
  for (int i = 0; i < 3; ++i) {
    wchar_t name[64];
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(name));
    listed.push_back(name);
  }
  EXPECT_EQ(listed, (std::vector<std::wstring>{L"bad.str", L"m\u00FAsica.str",
                                               L"\U0001F3B5.str"}));

  Choose(1);
  EXPECT_EQ(Text(kTxtFileName), L"m\u00FAsica.str");
  EXPECT_EQ(Text(kLblInfo), L"VFS Start at: 0x20\r\nIncluded Files: 2");
  RECT label1 = PlaceOf(window_->handle(), window_->control(kLabel1));
  RECT info = PlaceOf(window_->handle(), window_->control(kLblInfo));
  EXPECT_GT(info.bottom - info.top, label1.bottom - label1.top);  // two lines
  Choose(0);
  EXPECT_EQ(Text(kTxtFileName), L"bad.str");
  EXPECT_EQ(Text(kLblInfo), L"Invalid File!!!");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, RipWritesTheScriptShowsTheLastNameAndBeeps) {
  Choose(1);
  ClickRip();
  EXPECT_TRUE(errors_.empty()) << errors_.front();
  EXPECT_TRUE(Exists("RIP_m\xC3\xBAsica.bat"));
  EXPECT_EQ(Text(kTxtName), L"caf\u00E9");
  EXPECT_EQ(Text(kLblStatus), L"Wrote RIP_m\u00FAsica.bat");
  EXPECT_EQ(beeps_, 1);
}

TEST_F(MainWindowTest, ErrorsGoToTheReportAndTheWindowStays) {
  ClickRip();  // nothing chosen yet
  Choose(0);
  ClickRip();  // not a container
  Choose(2);   // a name that the script's code page can't hold
  ClickRip();
  ASSERT_EQ(errors_.size(), 3u);
  EXPECT_NE(errors_[0].find(L"no container"), std::wstring::npos);
  EXPECT_NE(errors_[1].find(L"bad.str"), std::wstring::npos);
  EXPECT_NE(errors_[2].find(L"\U0001F3B5.str"), std::wstring::npos);
  EXPECT_NE(errors_[2].find(L"code page"), std::wstring::npos);
  EXPECT_EQ(beeps_, 0);
  EXPECT_EQ(Text(kLblStatus), L"");
  EXPECT_FALSE(Exists("RIP_bad.bat"));
  EXPECT_TRUE(::IsWindow(window_->handle()));
}

// The message box a real error gets, closed as soon as it is up.
std::wstring shown_box_title;
LRESULT CALLBACK CloseMessageBox(int code, WPARAM wparam, LPARAM lparam) {
  wchar_t kind[16] = L"";
  HWND box = reinterpret_cast<HWND>(wparam);
  // Only the box: the main window is activated too, around it.
  if (code == HCBT_ACTIVATE &&
      ::GetClassNameW(box, kind, static_cast<int>(std::size(kind))) > 0 &&
      std::wstring(kind) == L"#32770") {
    shown_box_title = TextOf(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(MainWindowErrorBoxTest, IsTitledWithTheCaption) {
  testing::TempDir dir;
  MainWindow window(::GetModuleHandleW(nullptr), dir.path());
  window.SetClosed([] {});
  HHOOK hook = ::SetWindowsHookExW(WH_CBT, CloseMessageBox, nullptr,
                                   ::GetCurrentThreadId());
  ::SendMessageW(window.control(kCmdRip), BM_CLICK, 0, 0);  // nothing chosen
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(shown_box_title, kCaption);
}

using WindowExtractTest = WindowTest;

// The files below `root`, by their paths relative to it, with what they hold.
std::map<std::string, std::string> FilesBelow(const testing::TempDir& dir,
                                              const std::string& root) {
  std::map<std::string, std::string> files;
  for (const std::string& path : dir.Tree()) {
    if (path.starts_with(root) && path.back() != '/') {
      files[path.substr(root.size())] = testing::ReadFile(dir.File(path));
    }
  }
  return files;
}

TEST_F(WindowExtractTest, ARightClickExtractsTheSameTreeAsTheCommandLine) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"sfx/door.wav", "h", "body"},
                                     {"voice/en/hello", "hh", "bb"},
                                     {"broken", "h", "b"},
                                     {"caf\xE9.wav", "", "x"}});
  builder.Int32(32 + 72 * 2 + 16, 1 << 20);  // entry 2's body: past the end
  builder.WriteTo(dir_.File("music.str"));
  testing::WriteFile(dir_.File("a.str"), "not a container");
  Open();
  PickInNextMenu(1);

  ASSERT_TRUE(RightClickEntry(1));
  EXPECT_EQ(MenuEntries(),
            (std::vector<std::wstring>{L"Extract", L"Entries\u2026",
                                       L"&Update from EXT_\u2026",
                                       L"Entries of all containers\u2026"}));
  EXPECT_EQ(Text(kTxtFileName), L"music.str");  // the right click chose it
  ASSERT_TRUE(WaitForReport());
  EXPECT_FALSE(Busy());

  testing::TempDir by_cli;
  testing::CommandResult cli = testing::RunProgram(
      CLI_PATH,
      {"extract", "--quiet", "-C", by_cli.path(), dir_.File("music.str")});
  EXPECT_EQ(cli.status, 1) << cli.err;
  std::map<std::string, std::string> files = FilesBelow(dir_, "EXT_music/");
  EXPECT_EQ(files.size(), 3u);
  EXPECT_TRUE(files == FilesBelow(by_cli, "EXT_music/"));
  EXPECT_EQ(files["sfx/door.qvstr"], builder.bytes().substr(32, 72) + "hbody");

  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(reports_[0].warning);
  EXPECT_EQ(reports_[0].summary, "3 files written; 1 entry failed.");
  EXPECT_NE(reports_[0].details.find("': entry 2 'broken': body: "),
            std::string::npos)
      << reports_[0].details;
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

TEST_F(WindowExtractTest, TheMenuKeyExtractsTheChoiceOrReportsWhyNot) {
  ContainerBuilder::WithEntries({{"a", "h", "b"}})
      .WriteTo(dir_.File("music.str"));
  testing::WriteFile(dir_.File("bad.str"), "not a container");
  Open();
  Choose(1);
  PickInNextMenu(1);
  ASSERT_TRUE(PressMenuKey());
  EXPECT_EQ(MenuEntries(),
            (std::vector<std::wstring>{L"Extract", L"Entries\u2026",
                                       L"&Update from EXT_\u2026",
                                       L"Entries of all containers\u2026"}));
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(reports_[0].summary, "1 file written.");
  EXPECT_FALSE(reports_[0].warning);

  Choose(0);
  PickInNextMenu(1);
  ASSERT_TRUE(PressMenuKey());
  ASSERT_TRUE(RunMessagesUntil(&*window_, [this] { return !Busy(); }));
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find(L"bad.str"), std::wstring::npos) << errors_[0];
  EXPECT_EQ(reports_.size(), 1u);
  EXPECT_FALSE(Exists("EXT_bad"));
}

TEST_F(WindowExtractTest, CancelStopsBetweenTwoEntriesAndLeavesOnlyWholeFiles) {
  BigContainer();
  Open();
  PickInNextMenu(1);
  ASSERT_TRUE(RightClickEntry(0));
  HWND progress = window_->progress_dialog();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(TextOf(progress), kCaption);
  EXPECT_EQ(TextOf(::GetDlgItem(progress, ProgressDialog::kText)),
            L"Extracting big.str...");

  // Cancel once the first entry's progress has come.
  HWND bar = ::GetDlgItem(progress, ProgressDialog::kBar);
  ASSERT_TRUE(RunMessagesUntil(
      &*window_, [bar] { return ::SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }));
  ::SendMessageW(::GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(progress));
  ASSERT_TRUE(WaitForReport());
  EXPECT_TRUE(reports_[0].summary.starts_with("Stopped. "))
      << reports_[0].summary;
  // No other file, no temporary one, and every one whole.
  size_t whole = WholeBigFiles();
  EXPECT_GE(whole, 1u);
  EXPECT_LT(whole, static_cast<size_t>(kBigEntries));
  EXPECT_EQ(window_->progress_dialog(), nullptr);
  EXPECT_EQ(progress_at_report_, 0);
  EXPECT_FALSE(Busy());
}

TEST_F(WindowExtractTest, ClosingDuringAnExtractionAsksToStopItFirst) {
  BigContainer();
  Open();
  PickInNextMenu(1);
  ASSERT_TRUE(RightClickEntry(0));

  answer_ = false;
  ::SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find(L"big.str"), std::wstring::npos)
      << questions_[0];
  EXPECT_TRUE(::IsWindow(window_->handle()));
  EXPECT_TRUE(Busy());

  answer_ = true;
  ::SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(questions_.size(), 2u);
  ASSERT_TRUE(RunMessagesUntil(&*window_, [this] { return closed_; }));
  // Closed without a report, once the files written were whole.
  EXPECT_TRUE(reports_.empty());
  EXPECT_LT(WholeBigFiles(), static_cast<size_t>(kBigEntries));
}

TEST_F(WindowExtractTest, ClosingWhenIdleAsksNothing) {
  Open();
  ::SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(closed_);
  EXPECT_TRUE(questions_.empty());
}

TEST_F(WindowExtractTest, TheListsTooltipShowsTheFolder) {
  Open();
  wchar_t text[1024] = L"";
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_->handle();
  tool.uId = reinterpret_cast<UINT_PTR>(window_->control(kFile1));
  tool.lpszText = text;
  ::SendMessageW(window_->folder_tip(), TTM_GETTEXTW, std::size(text),
                 reinterpret_cast<LPARAM>(&tool));
  std::filesystem::path shown(text);
  EXPECT_TRUE(shown.is_absolute()) << text;
  EXPECT_TRUE(std::filesystem::equivalent(shown, PathFromUtf8(dir_.path())))
      << text;
}

// The report box as the window shows it, read and closed once it is up.
struct ShownBox {
  std::wstring summary;
  std::wstring folder;
  LONG folder_style = 0;
  std::wstring details;
  bool has_details = false;
  bool details_scroll = false;
  HICON icon = nullptr;
  std::wstring title;
};
ShownBox shown_box;
LRESULT CALLBACK ReadReportBox(int code, WPARAM wparam, LPARAM lparam) {
  HWND box = reinterpret_cast<HWND>(wparam);
  if (code == HCBT_ACTIVATE && ::GetDlgItem(box, kReportSummary) != nullptr) {
    shown_box.title = TextOf(box);
    shown_box.summary = TextOf(::GetDlgItem(box, kReportSummary));
    HWND folder = ::GetDlgItem(box, kReportFolder);
    shown_box.folder = TextOf(folder);
    shown_box.folder_style = ::GetWindowLongW(folder, GWL_STYLE);
    HWND details = ::GetDlgItem(box, kReportDetails);
    shown_box.has_details = details != nullptr;
    if (details != nullptr) {
      std::wstring text(
          static_cast<size_t>(::GetWindowTextLengthW(details)) + 1, L'\0');
      text.resize(static_cast<size_t>(::GetWindowTextW(
          details, text.data(), static_cast<int>(text.size()))));
      shown_box.details = text;
      shown_box.details_scroll =
          (::GetWindowLongW(details, GWL_STYLE) & WS_VSCROLL) != 0;
    }
    shown_box.icon = reinterpret_cast<HICON>(
        ::SendDlgItemMessageW(box, kReportIcon, STM_GETICON, 0, 0));
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

ShownBox Show(const ExtractReport& report) {
  shown_box = {};
  testing::TempDir dir;
  MainWindow window(::GetModuleHandleW(nullptr), dir.path());
  window.SetClosed([] {});
  HHOOK hook = ::SetWindowsHookExW(WH_CBT, ReadReportBox, nullptr,
                                   ::GetCurrentThreadId());
  ShowExtractReport(window.handle(), kCaption, report);
  ::UnhookWindowsHookEx(hook);
  return shown_box;
}

TEST(ReportBoxTest, WarnsAndListsEveryFailureInAScrollingArea) {
  ExtractReport report{true, "0 files written; 300 entries failed.", "EXT_a",
                       ""};
  for (int i = 0; i < 300; ++i) {
    if (i > 0) report.details += '\n';
    report.details += "entry " + std::to_string(i) + " 'caf\xC3\xA9': why";
  }
  ShownBox box = Show(report);
  EXPECT_EQ(box.title, kCaption);
  EXPECT_EQ(box.summary, L"0 files written; 300 entries failed.");
  ASSERT_TRUE(box.has_details);
  EXPECT_TRUE(box.details_scroll);
  EXPECT_EQ(std::count(box.details.begin(), box.details.end(), L'\n'), 299);
  EXPECT_TRUE(box.details.starts_with(L"entry 0 'caf\u00E9': why\r\n"));
  EXPECT_TRUE(box.details.ends_with(L"entry 299 'caf\u00E9': why"));
  EXPECT_EQ(box.icon, ::LoadIconW(nullptr, IDI_WARNING));
}

TEST(ReportBoxTest, WithoutFailuresInformsAndHasNoDetails) {
  const std::string folder = "C:\\" + std::string(300, 'd') + "\\EXT_a";
  ShownBox box = Show({false, "3 files written.", folder, ""});
  EXPECT_EQ(box.summary, L"3 files written.");
  EXPECT_EQ(box.folder, L"Folder: " + Widen(folder));
  // One line, never broken, its middle elided when it doesn't fit.
  EXPECT_EQ(box.folder_style & (SS_TYPEMASK | SS_PATHELLIPSIS),
            SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS);
  EXPECT_FALSE(box.has_details);
  EXPECT_EQ(box.icon, ::LoadIconW(nullptr, IDI_INFORMATION));
}

}  // namespace
}  // namespace brimwald::win32
