// The Win32 window's wiring of putting streams back, its confirmation
// answered with Enter: each action once, end to end, against what the
// command line writes from the same tree. What the actions decide is tested
// in the session.

#include "app/win32/write_back_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "app/win32/window_test_support.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald::win32 {
namespace {

using test_support::RunMessagesUntil;
using testing::ReadFile;
using testing::TempDir;

// m.str of six sample entries extracted beside itself, in the window's
// folder and in one for the command line.
class WriteBackWindowTest : public ::testing::Test {
 protected:
  WriteBackWindowTest() {
    for (const TempDir* dir : {&dir_, &cli_}) {
      Selection chosen = testing::WriteChosen(
          samples::ContainerBuilder::WithEntries(samples::SampleEntries(6)),
          dir->path(), "m.str");
      testing::QuietListener quiet;
      Extract(chosen, "", quiet);
    }
    window_.emplace(::GetModuleHandleW(nullptr), dir_.path());
    window_->SetErrorReport(
        [this](const std::wstring& error) { errors_.push_back(error); });
    window_->SetExtractReport(
        [this](const ExtractReport& report) { reports_.push_back(report); });
    HWND list = window_->control(kFile1);
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SendMessageW(window_->handle(), WM_COMMAND,
                   MAKEWPARAM(kFile1, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
  }
  // Runs the command line with `args` on the second folder's m.str.
  void Cli(std::vector<std::string> args) {
    args.insert(args.begin() + 1, cli_.File("m.str"));
    ASSERT_EQ(testing::RunProgram(CLI_PATH, args).status, 0);
  }
  bool WaitForReport() {
    return RunMessagesUntil(&*window_, [this] { return !reports_.empty(); });
  }
  std::wstring Caption(const std::wstring& title) const {
    return std::wstring(kCaption) + L" - " + title;
  }

  TempDir dir_;
  TempDir cli_;
  std::optional<MainWindow> window_;
  std::vector<std::wstring> errors_;
  std::vector<ExtractReport> reports_;
};

TEST_F(WriteBackWindowTest, UpdateFromTheMenuWritesWhatTheCommandWrites) {
  for (const TempDir* dir : {&dir_, &cli_}) {
    const std::string file = dir->File("EXT_m/music/track1.qvstr");
    testing::WriteFile(file, testing::EditedQvstr(ReadFile(file), "", "new"));
  }
  const std::string before = ReadFile(dir_.File("m.str"));
  test_support::PickInNextMenu(3);
  test_support::PressEnterInNextDialog(Caption(L"Update m.str"));
  ::SetForegroundWindow(window_->handle());
  ::SetFocus(window_->control(kFile1));
  test_support::Send(
      {test_support::Key(VK_SHIFT, false), test_support::Key(VK_F10, false),
       test_support::Key(VK_F10, true), test_support::Key(VK_SHIFT, true)});
  ASSERT_TRUE(WaitForReport()) << (errors_.empty() ? L"" : errors_.front());
  EXPECT_EQ(test_support::MenuEntries().at(2), L"&Update from EXT_\u2026");
  EXPECT_TRUE(reports_.front().summary.ends_with(": 1 entry replaced"))
      << reports_.front().summary;
  Cli({"update", "--backup"});
  EXPECT_EQ(ReadFile(dir_.File("m.str")), ReadFile(cli_.File("m.str")));
  EXPECT_EQ(ReadFile(dir_.File("m.str~")), before);
}

// A .qvstr dropped on a row offers Replace... for that entry; a .str
// dropped on the window opens its folder and chooses it.
TEST_F(WriteBackWindowTest, DropsReplaceAnEntryAndOpenAContainer) {
  const std::string file = cli_.File("new.qvstr");
  testing::WriteFile(
      file, testing::EditedQvstr(ReadFile(cli_.File("EXT_m/sfx/track4.qvstr")),
                                 "header", "body"));
  window_->OpenEntries();
  ASSERT_NE(window_->entries_dialog(), nullptr);
  HWND dialog = window_->entries_dialog()->handle();
  HWND table = window_->entries_dialog()->control(EntriesDialog::kTable);
  RECT row = {LVIR_BOUNDS, 0, 0, 0};
  ::SendMessageW(table, LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
  POINT at = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  ::MapWindowPoints(table, dialog, &at, 1);
  test_support::PressEnterInNextDialog(Caption(L"Replace an entry of m.str"));
  test_support::DropFiles(dialog, at, {file});
  ASSERT_TRUE(WaitForReport()) << (errors_.empty() ? L"" : errors_.front());
  EXPECT_EQ(reports_.front().summary, "m.str: entry 4 'sfx\\track4' replaced");
  Cli({"replace", "4", file});
  EXPECT_EQ(ReadFile(dir_.File("m.str")), ReadFile(cli_.File("m.str")));
  wchar_t body[16] = L"";
  LVITEMW cell = {};
  cell.iSubItem = 3;
  cell.pszText = body;
  cell.cchTextMax = 16;
  ::SendMessageW(table, LVM_GETITEMTEXTW, 4, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(std::wstring(body), L"4");

  test_support::DropFiles(window_->handle(), {10, 10}, {cli_.File("m.str")});
  EXPECT_EQ(test_support::TextOf(window_->control(kTxtFileName)), L"m.str");
  EXPECT_EQ(test_support::TextOf(window_->control(kLblInfo)).rfind(L"VFS", 0),
            0u);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
}  // namespace brimwald::win32
