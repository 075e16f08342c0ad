#include "app/win32/entries_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "app/win32/window_test_support.h"
#include "container/inspection.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald::win32 {
namespace {

using samples::ContainerBuilder;
using test_support::ClickAt;
using test_support::Key;
using test_support::MenuEntries;
using test_support::PickInNextMenu;
using test_support::RunMessagesUntil;
using test_support::Send;
using test_support::TextOf;

// A window on a temporary folder whose Entries dialog the tests open from
// the list's menu, with what it reports recorded instead of shown.
class EntriesDialogTest : public ::testing::Test {
 protected:
  void Open() {
    window_.emplace(::GetModuleHandleW(nullptr), dir_.path());
    window_->SetErrorReport(
        [this](const std::wstring& error) { errors_.push_back(error); });
    window_->SetClosed([] {});
    window_->SetExtractReport(
        [this](const ExtractReport& report) { reports_.push_back(report); });
    window_->SetQuestion([this](const std::wstring& question) {
      questions_.push_back(question);
      return false;
    });
  }

  // Chooses the list's entry `index`, then picks Entries... (or the menu's
  // entry at `position`) in the list's menu, opened with Shift+F10; the
  // dialog, or null when it didn't open.
  EntriesDialog* OpenEntries(int index, int position = 2) {
    HWND list = window_->control(kFile1);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window_->handle(), WM_COMMAND,
                   MAKEWPARAM(kFile1, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    ::SetForegroundWindow(window_->handle());
    ::SetFocus(list);
    const size_t errors = errors_.size();
    const HWND before = Dialog() != nullptr ? Dialog()->handle() : nullptr;
    PickInNextMenu(position);
    Send({Key(VK_SHIFT, false), Key(VK_F10, false), Key(VK_F10, true),
          Key(VK_SHIFT, true)});
    RunMessagesUntil(
        &*window_,
        [&] {
          return (Dialog() != nullptr && Dialog()->handle() != before) ||
                 errors_.size() > errors;
        },
        10000);
    return Dialog();
  }
  EntriesDialog* Dialog() const { return window_->entries_dialog(); }
  HWND Control(EntriesDialog::ControlId id) const {
    return Dialog()->control(id);
  }
  HWND Table() const { return Control(EntriesDialog::kTable); }
  int Rows() const {
    return static_cast<int>(::SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0));
  }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(Table(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> cells;
    for (int row = 0; row < Rows(); ++row) cells.push_back(Cell(row, column));
    return cells;
  }
  std::wstring Status() const {
    return TextOf(Control(EntriesDialog::kStatus));
  }
  bool Enabled(EntriesDialog::ControlId id) const {
    return ::IsWindowEnabled(Control(id)) != FALSE;
  }
  void Click(EntriesDialog::ControlId id) {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
  }
  // Types `text` into the filter box, a key at a time, as a user would.
  void Type(const std::wstring& text) {
    HWND filter = Control(EntriesDialog::kFilter);
    ::SetForegroundWindow(Dialog()->handle());
    ::SetFocus(filter);
    const std::wstring before = TextOf(filter);
    std::vector<INPUT> keys;
    for (wchar_t c : text) {
      for (bool up : {false, true}) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        keys.push_back(input);
      }
    }
    Send(keys);
    EXPECT_TRUE(RunMessagesUntil(
        &*window_, [&] { return TextOf(filter) == before + text; }, 10000))
        << TextOf(filter);
  }
  // Ctrl+A in the table, as a user would.
  void SelectAll() {
    ::SetForegroundWindow(Dialog()->handle());
    ::SetFocus(Table());
    Send({Key(VK_CONTROL, false), Key('A', false), Key('A', true),
          Key(VK_CONTROL, true)});
    EXPECT_TRUE(RunMessagesUntil(
        &*window_,
        [&] {
          return ::SendMessageW(Table(), LVM_GETSELECTEDCOUNT, 0, 0) == Rows();
        },
        10000));
  }
  void Select(int row) {
    LVITEMW item = {};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    ::SendMessageW(Table(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
  }
  // Clicks the heading of `column` with the mouse.
  void ClickHeading(int column) {
    auto header =
        reinterpret_cast<HWND>(::SendMessageW(Table(), LVM_GETHEADER, 0, 0));
    RECT place;
    ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&place));
    POINT at = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    ::ClientToScreen(header, &at);
    ::SetForegroundWindow(Dialog()->handle());
    const std::vector<std::wstring> before = Column(0);
    // Two clicks within the double-click time are a double click, which
    // sorts nothing.
    ::Sleep(::GetDoubleClickTime() + 50);
    ClickAt(at);
    RunMessagesUntil(
        &*window_, [&] { return Column(0) != before; }, 5000);
  }
  int SortArrow(int column) const {
    auto header =
        reinterpret_cast<HWND>(::SendMessageW(Table(), LVM_GETHEADER, 0, 0));
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  bool WaitForReport() {
    return RunMessagesUntil(&*window_, [this] { return !reports_.empty(); });
  }
  // What extracting the entries of music.str that `choice` takes leaves
  // below EXT_music, by the core alone.
  std::map<std::string, std::string> ChosenFiles(const EntryChoice& choice) {
    return testing::ExtractedFiles(testing::Chosen(dir_.path(), "music.str"),
                                   choice);
  }
  // As the command line's extract --include PATTERN does.
  std::map<std::string, std::string> IncludedFiles(const std::string& pattern) {
    EntryChoice choice;
    choice.Include(pattern);
    return ChosenFiles(choice);
  }
  void Sample(int count) {
    ContainerBuilder::WithEntries(samples::SampleEntries(count))
        .WriteTo(dir_.File("music.str"));
  }

  testing::TempDir dir_;
  std::optional<MainWindow> window_;
  std::vector<std::wstring> errors_;
  std::vector<std::wstring> questions_;
  std::vector<ExtractReport> reports_;
};

TEST_F(EntriesDialogTest, ShowsEveryEntryOfTheChosenContainer) {
  ContainerBuilder::WithEntries({{"sfx/door.wav", "hh", "body"},
                                 {"caf\xE9", "h", "b"},
                                 {"SFX/Door", "", "x"}})
      .WriteTo(dir_.File("music.str"));
  Open();
  // At the screen's corner, where a dialog centred over it would stick out.
  RECT work, place, both;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(window_->handle(), nullptr, work.left, work.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_NE(OpenEntries(0), nullptr);
  ::GetWindowRect(Dialog()->handle(), &place);
  ::IntersectRect(&both, &place, &work);
  EXPECT_TRUE(::EqualRect(&both, &place));
  EXPECT_EQ(MenuEntries(),
            (std::vector<std::wstring>{L"Extract", L"Entries\u2026",
                                       L"&Update from EXT_\u2026",
                                       L"Entries of all containers\u2026"}));
  EXPECT_EQ(TextOf(Dialog()->handle()), L"Entries of music.str");
  EXPECT_TRUE(::IsWindowVisible(Dialog()->handle()));
  EXPECT_NE(::GetWindowLongW(Table(), GWL_STYLE) & LVS_OWNERDATA, 0);

  // Each heading fits beside the header's margins and its sort arrow.
  std::vector<std::wstring> headings;
  for (int column = 0; column < kEntryColumns; ++column) {
    wchar_t text[64] = L"";
    LVCOLUMNW entry = {};
    entry.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    entry.pszText = text;
    entry.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(Table(), LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&entry));
    headings.push_back(text);
    EXPECT_LE(::SendMessageW(Table(), LVM_GETSTRINGWIDTHW, 0,
                             reinterpret_cast<LPARAM>(text)) +
                  6 * ::GetSystemMetrics(SM_CXEDGE) + 16,
              entry.cx);
    EXPECT_EQ(entry.fmt & LVCFMT_JUSTIFYMASK,
              column == 1 || column == 4 ? LVCFMT_LEFT : LVCFMT_RIGHT);
  }
  EXPECT_EQ(headings,
            (std::vector<std::wstring>{L"Index", L"Name", L"Header size",
                                       L"Body size", L"Problems"}));
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0", L"1", L"2"}));
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"sfx\\door", L"caf\u00E9",
                                                  L"SFX\\Door"}));
  EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"2", L"1", L"0"}));
  EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"4", L"1", L"1"}));
  EXPECT_EQ(Column(4),
            (std::vector<std::wstring>{
                L"", L"", L"same path as entry 0, which it replaces"}));
  EXPECT_EQ(Status(), L"3 entries");
  Type(L"door");
  EXPECT_EQ(Status(), L"2 of 3 entries show: names containing 'door'");
  EXPECT_FALSE(Enabled(EntriesDialog::kExtractSelected));
  EXPECT_TRUE(Enabled(EntriesDialog::kExtractAll));
  EXPECT_TRUE(errors_.empty()) << errors_.front();
  // The main window goes on as it was.
  EXPECT_TRUE(::IsWindowEnabled(window_->control(kFile1)));
}

TEST_F(EntriesDialogTest,
       FilteredAndSelectedEntriesExtractAsTheirPatternWould) {
  Sample(40);
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  Type(L"SFX/*[13]*");
  EXPECT_EQ(Status(), L"4 of 40 entries show: names matching 'SFX/*[13]*'");
  EXPECT_EQ(Column(1),
            (std::vector<std::wstring>{L"sfx\\track12", L"sfx\\track16",
                                       L"sfx\\track32", L"sfx\\track36"}));
  SelectAll();
  EXPECT_TRUE(Enabled(EntriesDialog::kExtractSelected));
  Click(EntriesDialog::kExtractSelected);
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(reports_[0].summary, "4 files written.");
  std::map<std::string, std::string> files = dir_.FilesBelow("EXT_music/");
  EXPECT_EQ(files.size(), 4u);
  EXPECT_TRUE(files == IncludedFiles("SFX/*[13]*"));
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

TEST_F(EntriesDialogTest, ExtractSelectedTakesExactlyTheRowsSelected) {
  Sample(12);
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  EXPECT_EQ(SortArrow(0), HDF_SORTUP);
  ClickHeading(0);  // the index, descending: row r shows entry 11 - r
  EXPECT_EQ(SortArrow(0), HDF_SORTDOWN);
  EXPECT_EQ(Cell(0, 0), L"11");
  for (int row : {1, 4, 5}) Select(row);
  Click(EntriesDialog::kExtractSelected);
  ASSERT_TRUE(WaitForReport());
  EntryChoice chosen;
  chosen.AddIndexes("6-7,10");
  EXPECT_EQ(dir_.FilesBelow("EXT_music/").size(), 3u);
  EXPECT_TRUE(dir_.FilesBelow("EXT_music/") == ChosenFiles(chosen));
}

TEST_F(EntriesDialogTest, AllContainersExtractEachIntoItsOwnFolder) {
  ContainerBuilder::WithEntries(samples::SampleEntries(20))
      .WriteTo(dir_.File("a.str"));
  ContainerBuilder::WithEntries({{"voice/x", "h", "b"}})
      .WriteTo(dir_.File("b.str"));
  ContainerBuilder::WithEntries(samples::SampleEntries(12))
      .WriteTo(dir_.File("c.str"));
  Open();
  ASSERT_NE(OpenEntries(1, 4), nullptr);
  EXPECT_EQ(TextOf(Dialog()->handle()), L"Entries of all containers");
  EXPECT_EQ(Status(), L"33 entries in 3 containers");
  EXPECT_EQ(SortArrow(0), HDF_SORTUP);
  Type(L"sfx\\*");
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"a.str", L"a.str", L"a.str",
                                                  L"a.str", L"a.str", L"c.str",
                                                  L"c.str", L"c.str"}));
  SelectAll();
  Click(EntriesDialog::kExtractSelected);
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(reports_[0].summary, "8 files written into 2 EXT_ folders.");
  EntryChoice choice;
  choice.Include("sfx\\*");
  for (const std::string name : {"a", "c"}) {
    EXPECT_TRUE(dir_.FilesBelow("EXT_" + name + "/") ==
                testing::ExtractedFiles(
                    testing::Chosen(dir_.path(), name + ".str"), choice))
        << name;
  }
  EXPECT_EQ(dir_.FilesBelow("EXT_c/").size(), 3u);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"EXT_a", "EXT_c", "a.str",
                                                    "b.str", "c.str"}));
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

TEST_F(EntriesDialogTest, HeadingsSortTheirColumnEachWayInTurn) {
  ContainerBuilder::WithEntries(
      {{"b", "hh", "b"}, {"C", "h", "bbb"}, {"a", "hhh", "bb"}})
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  ClickHeading(1);
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"a", L"b", L"C"}));
  ClickHeading(1);
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"C", L"b", L"a"}));
  EXPECT_EQ(SortArrow(1), HDF_SORTDOWN);
  EXPECT_EQ(SortArrow(0), 0);
  ClickHeading(3);
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0", L"2", L"1"}));
  ClickHeading(2);
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"1", L"0", L"2"}));
}

TEST_F(EntriesDialogTest, APatternThatCantBeReadShowsWhyAndNoRow) {
  Sample(5);
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  Select(0);
  EXPECT_TRUE(Enabled(EntriesDialog::kExtractSelected));
  Type(L"sfx\\[tr");
  EXPECT_EQ(Rows(), 0);
  EXPECT_NE(Status().find(L"without a \"]\""), std::wstring::npos) << Status();
  EXPECT_FALSE(Enabled(EntriesDialog::kExtractSelected));
  Type(L"]*");
  EXPECT_EQ(Column(1),
            (std::vector<std::wstring>{L"sfx\\track0", L"sfx\\track4"}));
  Type(L"x");
  EXPECT_EQ(Status(), L"No entry shows: names matching 'sfx\\[tr]*x'");
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

TEST_F(EntriesDialogTest, ExtractAllTakesEveryEntryWhateverTheFilterShows) {
  Sample(9);
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  Type(L"nothing");
  Click(EntriesDialog::kExtractAll);
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(dir_.FilesBelow("EXT_music/").size(), 9u);
  EXPECT_TRUE(dir_.FilesBelow("EXT_music/") == IncludedFiles("*"));
}

TEST_F(EntriesDialogTest, ItsButtonsWaitWhileAnExtractionRunsAndClosingAsks) {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 30; ++i) {
    entries.push_back(
        {"big" + std::to_string(i), "h", std::string(size_t{4} << 20, 'b')});
  }
  ContainerBuilder::WithEntries(entries).WriteTo(dir_.File("big.str"));
  Open();
  ASSERT_NE(OpenEntries(0), nullptr);
  Select(0);
  Click(EntriesDialog::kExtractAll);
  EXPECT_FALSE(Enabled(EntriesDialog::kExtractAll));
  EXPECT_FALSE(Enabled(EntriesDialog::kExtractSelected));
  EXPECT_FALSE(::IsWindowEnabled(window_->control(kFile1)));
  ::SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find(L"big.str"), std::wstring::npos)
      << questions_[0];
  ASSERT_TRUE(WaitForReport());
  EXPECT_TRUE(Enabled(EntriesDialog::kExtractAll));
  EXPECT_TRUE(::IsWindowEnabled(window_->control(kFile1)));
  EXPECT_TRUE(reports_[0].summary.starts_with("30 files written"))
      << reports_[0].summary;
}

TEST_F(EntriesDialogTest, WithoutAValidChoiceTheErrorIsReported) {
  testing::WriteFile(dir_.File("broken.str"), "not a container");
  Open();
  EXPECT_EQ(OpenEntries(0), nullptr);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find(L"broken.str"), std::wstring::npos) << errors_[0];
}

TEST_F(EntriesDialogTest, CloseEndsItAndAnotherContainersEntriesReplaceIt) {
  Sample(3);
  ContainerBuilder::WithEntries(samples::SampleEntries(5))
      .WriteTo(dir_.File("other.str"));
  Open();
  EntriesDialog* first = OpenEntries(0);
  ASSERT_NE(first, nullptr);
  HWND first_window = first->handle();
  ASSERT_NE(OpenEntries(1), nullptr);
  EXPECT_FALSE(::IsWindow(first_window));
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(TextOf(Dialog()->handle()), L"Entries of other.str");

  Click(EntriesDialog::kExtractAll);  // not Close: the buttons stay apart
  ASSERT_TRUE(WaitForReport());
  ::SendMessageW(Dialog()->handle(), WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(RunMessagesUntil(
      &*window_, [this] { return Dialog() == nullptr; }, 10000));
  EXPECT_EQ(dir_.FilesBelow("EXT_other/").size(), 5u);
}

}  // namespace
}  // namespace brimwald::win32
