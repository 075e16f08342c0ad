#include "app/win32/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/temp_dir.h"

namespace brimwald::win32 {
namespace {

using samples::ContainerBuilder;

const std::string kMusica = "m\xC3\xBAsica.str";  // música.str
// No OEM code page holds this one (U+1F3B5, a musical note).
const std::string kNote = "\xF0\x9F\x8E\xB5.str";

std::wstring TextOf(HWND control) {
  wchar_t text[512];
  return std::wstring(text,
                      static_cast<size_t>(::GetWindowTextW(
                          control, text, static_cast<int>(std::size(text)))));
}

// Where `control` lies in the client area of `window`.
RECT PlaceOf(HWND window, HWND control) {
  RECT place;
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    auto two = ContainerBuilder::WithEntries(
        {{"sfx/door.wav", "h", "b"}, {"caf\xE9.wav", "", "x"}});
    testing::WriteFile(dir_.File(kMusica), two.bytes());
    testing::WriteFile(dir_.File(kNote), two.bytes());
    testing::WriteFile(dir_.File("bad.str"), "not a container");
    testing::WriteFile(dir_.File("notes.txt"), "");
    window_.emplace(::GetModuleHandleW(nullptr), dir_.path());
    window_->SetErrorReport(
        [this](const std::wstring& error) { errors_.push_back(error); });
    window_->SetBeep([this] { ++beeps_; });
    window_->SetClosed([] {});
  }

  void Choose(int index) {
    HWND list = window_->control(kFile1);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window_->handle(), WM_COMMAND,
                   MAKEWPARAM(kFile1, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
  }
  void ClickRip() { ::SendMessageW(window_->control(kCmdRip), BM_CLICK, 0, 0); }
  std::wstring Text(ControlId id) const { return TextOf(window_->control(id)); }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(PathFromUtf8(dir_.File(name)));
  }

  testing::TempDir dir_;
  std::optional<MainWindow> window_;
  std::vector<std::wstring> errors_;
  int beeps_ = 0;
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

}  // namespace
}  // namespace brimwald::win32
