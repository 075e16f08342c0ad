// The Qt window's wiring of putting streams back: each action once, end to
// end, against what the command line writes from the same tree. What the
// actions decide is tested in the session.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "app/qt/window_test_support.h"
#include "app/qt/write_back_dialog.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr int kJobMs = 60000;

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
    window_ = std::make_unique<MainWindow>(dir_.path());
    window_->SetErrorReport(
        [this](const QString& text) { errors_.push_back(text.toStdString()); });
    window_->SetExtractReport(
        [this](const ExtractReport& report) { reports_.push_back(report); });
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  // Runs the command line with `args` on the second folder's m.str.
  void Cli(std::vector<std::string> args) {
    args.insert(args.begin() + 1, cli_.File("m.str"));
    ASSERT_EQ(testing::RunProgram(CLI_PATH, args).status, 0);
  }
  // Once the confirmation shows: records its text and presses `key`.
  void AnswerConfirmation(Qt::Key key) {
    test_support::OnceFound(
        window_.get(), [] { return QApplication::activeModalWidget(); },
        [this, key](QWidget* dialog) {
          confirmation_ = dialog->findChild<QLabel*>("text")->text();
          backup_offered_ =
              dialog->findChild<QCheckBox*>("backup") != nullptr &&
              dialog->findChild<QCheckBox*>("backup")->isChecked();
          QTest::keyClick(dialog, key);
        });
  }
  bool WaitForReport() {
    return QTest::qWaitFor([this] { return !reports_.empty(); }, kJobMs);
  }

  TempDir dir_;
  TempDir cli_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::string> errors_;
  std::vector<ExtractReport> reports_;
  QString confirmation_;
  bool backup_offered_ = false;
};

TEST_F(WriteBackWindowTest, UpdateFromTheMenuWritesWhatTheCommandWrites) {
  for (const TempDir* dir : {&dir_, &cli_}) {
    const std::string file = dir->File("EXT_m/music/track1.qvstr");
    testing::WriteFile(file, testing::EditedQvstr(ReadFile(file), "", "new"));
  }
  const std::string before = ReadFile(dir_.File("m.str"));
  auto* list = window_->findChild<QListWidget*>("File1");
  list->setCurrentRow(0);
  test_support::OnceFound(
      window_.get(), [] { return QApplication::activePopupWidget(); },
      [](QWidget* menu) { QTest::keyClick(menu, Qt::Key_U); });
  AnswerConfirmation(Qt::Key_Return);
  test_support::RightClickItem(*window_, *list, "m.str");
  ASSERT_TRUE(WaitForReport()) << (errors_.empty() ? "" : errors_.front());
  EXPECT_TRUE(confirmation_.startsWith("Replace 1 entry of m.str"))
      << confirmation_.toStdString();
  EXPECT_TRUE(backup_offered_);
  EXPECT_EQ(reports_.front().summary.substr(reports_.front().summary.find(':')),
            ": 1 entry replaced");
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
  window_->ChooseFile("m.str");
  window_->OpenEntries();
  EntriesDialog* dialog = window_->entries_dialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  auto* table = dialog->findChild<QTableView*>("entries");
  const QPoint row4 = table->viewport()->mapTo(
      dialog, table->visualRect(table->model()->index(4, 0)).center());
  AnswerConfirmation(Qt::Key_Return);
  ASSERT_TRUE(
      test_support::DropFiles(*dialog, row4, {QString::fromStdString(file)}));
  ASSERT_TRUE(WaitForReport()) << (errors_.empty() ? "" : errors_.front());
  EXPECT_TRUE(confirmation_.startsWith("Replace entry 4 'sfx\\track4'"))
      << confirmation_.toStdString();
  Cli({"replace", "4", file});
  EXPECT_EQ(ReadFile(dir_.File("m.str")), ReadFile(cli_.File("m.str")));
  EXPECT_EQ(table->model()->index(4, 3).data().toString(), "4");

  ASSERT_TRUE(test_support::DropFiles(
      *window_, QPoint(10, 10), {QString::fromStdString(cli_.File("m.str"))}));
  EXPECT_EQ(window_->findChild<QLineEdit*>("txtFileName")->text(), "m.str");
  EXPECT_TRUE(window_->findChild<QLabel*>("lblINFO")->text().startsWith(
      "VFS Start at: 0x"));
  EXPECT_FALSE(test_support::DropFiles(*window_, QPoint(10, 10),
                                       {QString::fromStdString(file)}));
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

}  // namespace
}  // namespace brimwald
