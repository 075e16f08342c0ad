#include "app/qt/entries_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "app/qt/window_test_support.h"
#include "container/inspection.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;

// How long a test waits for an extraction to end.
constexpr int kExtractionMs = 120000;

// A window on a temporary folder whose Entries dialog the tests open from
// the list's menu, with errors and reports recorded instead of shown.
class EntriesDialogTest : public ::testing::Test {
 protected:
  void Open() {
    window_ = std::make_unique<MainWindow>(dir_.path());
    window_->SetErrorReport(
        [this](const QString& description) { errors_ << description; });
    window_->SetBeep([] {});
    window_->SetExtractReport(
        [this](const ExtractReport& report) { reports_.push_back(report); });
    window_->SetQuestion([this](const QString& question) {
      questions_ << question;
      return false;
    });
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  QListWidget* List() const {
    return window_->findChild<QListWidget*>("File1");
  }
  // Right-clicks `name` in the list and picks "Entries..." in its menu,
  // through the window system as a user would.
  void EntriesFromTheMenu(const QString& name) {
    auto* timer = new QTimer(window_.get());
    QObject::connect(timer, &QTimer::timeout, [this, timer] {
      QWidget* menu = QApplication::activePopupWidget();
      if (menu == nullptr) return;
      timer->stop();
      timer->deleteLater();
      for (QAction* action : menu->actions()) menu_entries_ << action->text();
      QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    timer->start(0);
    test_support::RightClickItem(*window_, *List(), name);
  }
  // Right-clicks `name` in the list and picks the menu's action `text`.
  void PickFromTheMenu(const QString& name, const QString& text) {
    auto* timer = new QTimer(window_.get());
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      timer->stop();
      timer->deleteLater();
      for (QAction* action : menu->actions()) {
        if (action->text() == text) menu->setActiveAction(action);
      }
      QTest::keyClick(menu, Qt::Key_Return);
    });
    timer->start(0);
    test_support::RightClickItem(*window_, *List(), name);
  }
  // Opens the dialog on `name`; null when it didn't open.
  EntriesDialog* Dialog(const QString& name) {
    EntriesFromTheMenu(name);
    EntriesDialog* dialog = window_->entries_dialog();
    if (dialog != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    return dialog;
  }

  template <typename Control>
  Control* Find(const char* name) const {
    auto* control = window_->entries_dialog()->findChild<Control*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QLineEdit* Filter() const { return Find<QLineEdit>("filter"); }
  QTableView* Table() const { return Find<QTableView>("entries"); }
  QString Status() const { return Find<QLabel>("status")->text(); }
  QPushButton* ExtractSelected() const {
    return Find<QPushButton>("extractSelected");
  }
  QPushButton* ExtractAll() const { return Find<QPushButton>("extractAll"); }

  QString Cell(int row, int column) const {
    return Table()->model()->index(row, column).data().toString();
  }
  QStringList Column(int column) const {
    QStringList cells;
    for (int row = 0; row < Table()->model()->rowCount(); ++row) {
      cells << Cell(row, column);
    }
    return cells;
  }
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTableView* table = Table();
    QRect cell = table->visualRect(table->model()->index(row, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                      cell.center());
  }
  void ClickHeading(int column) {
    QHeaderView* header = Table()->horizontalHeader();
    QPoint at(header->sectionViewportPosition(column) +
                  header->sectionSize(column) / 2,
              header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  bool WaitForReport() {
    return QTest::qWaitFor([this] { return !reports_.empty(); }, kExtractionMs);
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

  TempDir dir_;
  std::unique_ptr<MainWindow> window_;
  QStringList errors_;
  QStringList questions_;
  QStringList menu_entries_;
  std::vector<ExtractReport> reports_;
};

TEST_F(EntriesDialogTest, ShowsEveryEntryOfTheChosenContainer) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"sfx/door.wav", "hh", "body"},
                                     {"caf\xE9", "h", "b"},
                                     {"SFX/Door", "", "x"}});
  builder.WriteTo(dir_.File("music.str"));
  Open();
  // At the screen's corner, where a dialog centred over it would stick out.
  const QRect work = window_->screen()->availableGeometry();
  window_->move(work.topLeft());
  EntriesDialog* dialog = Dialog("music.str");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(work.contains(dialog->frameGeometry()));
  EXPECT_EQ(menu_entries_,
            (QStringList{"Extract", "Entries\u2026", "&Update from EXT_\u2026",
                         "Entries of all containers\u2026"}));
  EXPECT_EQ(dialog->windowTitle(), "Entries of music.str");
  EXPECT_FALSE(dialog->isModal());

  // Each heading fits in bold, as a selected row shows it, by its arrow.
  ClickRow(0);
  QHeaderView* header = Table()->horizontalHeader();
  QFont bold = header->font();
  bold.setBold(true);
  QStringList headings;
  for (int column = 0; column < Table()->model()->columnCount(); ++column) {
    headings << Table()->model()->headerData(column, Qt::Horizontal).toString();
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(headings.back()) +
                  2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin) +
                  header->style()->pixelMetric(QStyle::PM_HeaderMarkSize),
              header->sectionSize(column));
  }
  EXPECT_EQ(headings, (QStringList{"Index", "Name", "Header size", "Body size",
                                   "Problems"}));
  EXPECT_EQ(Column(0), (QStringList{"0", "1", "2"}));
  EXPECT_EQ(Column(1), (QStringList{"sfx\\door", QStringLiteral("caf\u00E9"),
                                    "SFX\\Door"}));
  EXPECT_EQ(Column(2), (QStringList{"2", "1", "0"}));
  EXPECT_EQ(Column(3), (QStringList{"4", "1", "1"}));
  EXPECT_EQ(Column(4),
            (QStringList{"", "", "same path as entry 0, which it replaces"}));
  EXPECT_EQ(Status(), "3 entries");
  QTest::keyClicks(Filter(), "door");
  EXPECT_EQ(Column(0), (QStringList{"0", "2"}));
  EXPECT_EQ(Status(), "2 of 3 entries show: names containing 'door'");
  EXPECT_FALSE(ExtractSelected()->isEnabled());
  EXPECT_TRUE(ExtractAll()->isEnabled());
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  // The main window is as it was, and goes on choosing.
  EXPECT_TRUE(List()->isEnabled());
}

TEST_F(EntriesDialogTest,
       FilteredAndSelectedEntriesExtractAsTheirPatternWould) {
  ContainerBuilder::WithEntries(samples::SampleEntries(40))
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(Dialog("music.str"), nullptr);

  QTest::keyClicks(Filter(), "SFX/*[13]*");
  EXPECT_EQ(Status(), "4 of 40 entries show: names matching 'SFX/*[13]*'");
  EXPECT_EQ(Column(1), (QStringList{"sfx\\track12", "sfx\\track16",
                                    "sfx\\track32", "sfx\\track36"}));
  ASSERT_EQ(Table()->model()->rowCount(), 4);
  ClickRow(0);
  EXPECT_TRUE(ExtractSelected()->isEnabled());
  QTest::keyClick(Table(), Qt::Key_A, Qt::ControlModifier);
  ExtractSelected()->click();
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(reports_[0].summary, "4 files written.");
  std::map<std::string, std::string> files = dir_.FilesBelow("EXT_music/");
  EXPECT_EQ(files.size(), 4u);
  EXPECT_TRUE(files == IncludedFiles("SFX/*[13]*"));
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(EntriesDialogTest, ExtractSelectedTakesExactlyTheRowsSelected) {
  ContainerBuilder::WithEntries(samples::SampleEntries(12))
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(Dialog("music.str"), nullptr);
  ClickHeading(0);  // the index, descending: row r shows entry 11 - r
  ClickRow(1);
  ClickRow(4, Qt::ControlModifier);
  ClickRow(5, Qt::ControlModifier);
  ExtractSelected()->click();
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
  PickFromTheMenu("b.str", "Entries of all containers\u2026");
  EntriesDialog* dialog = window_->entries_dialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_EQ(dialog->windowTitle(), "Entries of all containers");
  EXPECT_EQ(Table()->model()->headerData(0, Qt::Horizontal).toString(),
            "Container");
  EXPECT_EQ(Status(), "33 entries in 3 containers");

  QTest::keyClicks(Filter(), "sfx\\*");
  EXPECT_EQ(Column(0), (QStringList{"a.str", "a.str", "a.str", "a.str", "a.str",
                                    "c.str", "c.str", "c.str"}));
  ClickRow(0);
  QTest::keyClick(Table(), Qt::Key_A, Qt::ControlModifier);
  ExtractSelected()->click();
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
  EXPECT_EQ(dir_.FilesBelow("EXT_a/").size(), 5u);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"EXT_a", "EXT_c", "a.str",
                                                    "b.str", "c.str"}));
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(EntriesDialogTest, HeadingsSortTheirColumnEachWayInTurn) {
  ContainerBuilder::WithEntries(
      {{"b", "hh", "b"}, {"C", "h", "bbb"}, {"a", "hhh", "bb"}})
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(Dialog("music.str"), nullptr);
  ClickHeading(1);
  EXPECT_EQ(Column(1), (QStringList{"a", "b", "C"}));
  ClickHeading(1);
  EXPECT_EQ(Column(1), (QStringList{"C", "b", "a"}));
  ClickHeading(3);
  EXPECT_EQ(Column(0), (QStringList{"0", "2", "1"}));
  ClickHeading(2);
  EXPECT_EQ(Column(0), (QStringList{"1", "0", "2"}));
  EXPECT_EQ(Table()->horizontalHeader()->sortIndicatorSection(), 2);
}

TEST_F(EntriesDialogTest, APatternThatCantBeReadShowsWhyAndNoRow) {
  ContainerBuilder::WithEntries(samples::SampleEntries(5))
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(Dialog("music.str"), nullptr);
  ClickRow(0);
  QTest::keyClicks(Filter(), "sfx\\[tr");
  EXPECT_EQ(Table()->model()->rowCount(), 0);
  EXPECT_TRUE(Status().contains("without a \"]\"")) << Status().toStdString();
  EXPECT_FALSE(ExtractSelected()->isEnabled());
  QTest::keyClicks(Filter(), "]*");
  EXPECT_EQ(Column(1), (QStringList{"sfx\\track0", "sfx\\track4"}));
  QTest::keyClicks(Filter(), "x");
  EXPECT_EQ(Status(), "No entry shows: names matching 'sfx\\[tr]*x'");
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(EntriesDialogTest, ExtractAllTakesEveryEntryWhateverTheFilterShows) {
  ContainerBuilder::WithEntries(samples::SampleEntries(9))
      .WriteTo(dir_.File("music.str"));
  Open();
  ASSERT_NE(Dialog("music.str"), nullptr);
  QTest::keyClicks(Filter(), "nothing");
  ExtractAll()->click();
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(dir_.FilesBelow("EXT_music/").size(), 9u);
  EXPECT_TRUE(dir_.FilesBelow("EXT_music/") == IncludedFiles("*"));
}

TEST_F(EntriesDialogTest, ItsButtonsWaitWhileAnExtractionRunsAndClosingAsks) {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 40; ++i) {
    entries.push_back(
        {"big" + std::to_string(i), "h", std::string(size_t{4} << 20, 'b')});
  }
  ContainerBuilder::WithEntries(entries).WriteTo(dir_.File("big.str"));
  Open();
  ASSERT_NE(Dialog("big.str"), nullptr);
  ClickRow(0);
  ExtractAll()->click();
  EXPECT_FALSE(ExtractAll()->isEnabled());
  EXPECT_FALSE(ExtractSelected()->isEnabled());
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_FALSE(window_->close());
  ASSERT_EQ(questions_.size(), 1);
  EXPECT_TRUE(questions_[0].contains("big.str")) << questions_[0].toStdString();
  // The dialog goes on filtering meanwhile.
  QTest::keyClicks(Filter(), "big1*");
  EXPECT_EQ(Table()->model()->rowCount(), 11);
  ASSERT_TRUE(WaitForReport());
  EXPECT_TRUE(ExtractAll()->isEnabled());
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_TRUE(reports_[0].summary.starts_with("40 files written"))
      << reports_[0].summary;
}

TEST_F(EntriesDialogTest, WithoutAValidChoiceTheErrorIsReported) {
  testing::WriteFile(dir_.File("broken.str"), "not a container");
  Open();
  EXPECT_EQ(Dialog("broken.str"), nullptr);
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains("broken.str")) << errors_[0].toStdString();
}

TEST_F(EntriesDialogTest, OpensOnManyEntriesWithoutAWidgetPerRow) {
  ContainerBuilder::WithEntries(samples::SampleEntries(20000))
      .WriteTo(dir_.File("music.str"));
  ContainerBuilder::WithEntries(samples::SampleEntries(3))
      .WriteTo(dir_.File("other.str"));
  Open();
  EntriesDialog* dialog = Dialog("music.str");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Table()->model()->rowCount(), 20000);
  EXPECT_LT(dialog->findChildren<QWidget*>().size(), 60);
  ClickRow(0);
  QTest::keyClick(Table(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Table()->currentIndex().row(), 19999);

  // Another container's Entries replace these.
  QPointer<EntriesDialog> first = dialog;
  ASSERT_NE(Dialog("other.str"), nullptr);
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(Table()->model()->rowCount(), 3);
  window_->entries_dialog()->close();
  EXPECT_TRUE(QTest::qWaitFor([this] { return !window_->entries_dialog(); }));
}

}  // namespace
}  // namespace brimwald
