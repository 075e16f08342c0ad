#include "app/qt/main_window.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/qt/report_dialog.h"
#include "app/qt/window_test_support.h"
#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/big_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::TempDir;

constexpr char kTwoEntriesInfo[] = "VFS Start at: 0x20\r\nIncluded Files: 2";

// Entries of big.str (testing/big_container.h): 200 MiB in all.
constexpr int kBigEntries = 50;
// How long a test waits for an extraction of it to end.
constexpr int kExtractionMs = 120000;

// A window on a temporary folder, with the error report and the beep
// recorded instead of shown and sounded.
class MainWindowTest : public ::testing::Test {
 protected:
  void Container(const std::string& name, const ContainerBuilder& builder) {
    builder.WriteTo(dir_.File(name));
  }
  void TwoEntryContainer(const std::string& name) {
    Container(name, ContainerBuilder::WithEntries(
                        {{"a.wav", "h", "body"}, {"b.wav", "h", "body"}}));
  }
  void InvalidContainer(const std::string& name) {
    Container(
        name,
        ContainerBuilder::WithEntries({{"a", "h", "b"}}).Magic("zeqsndstream"));
  }

  // Big.str, and what each of its entries' files must hold.
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
  // Chooses big.str and starts its extraction from the list's menu.
  void StartBigExtraction() {
    ClickEntry("big.str");
    PickFirstInNextMenu();
    RightClickEntry("big.str");
  }
  bool WaitForReport() {
    return QTest::qWaitFor([this] { return !reports_.empty(); }, kExtractionMs);
  }

  // With `own_reports`, the window shows its extraction reports itself.
  void Open(const std::string& folder = "", bool own_reports = false) {
    window_ =
        std::make_unique<MainWindow>(folder.empty() ? dir_.path() : folder);
    window_->SetErrorReport([this](const QString& description) {
      errors_ << description;
      info_at_report_ = Info()->text();
    });
    window_->SetBeep([this] {
      ++beeps_;
      name_at_beep_ = NameBox()->text();
    });
    if (!own_reports) {
      window_->SetExtractReport([this](const ExtractReport& report) {
        reports_.push_back(report);
        // A progress dialog left hidden would show itself under the box.
        progress_at_report_ +=
            static_cast<int>(window_->findChildren<QProgressDialog*>().size());
      });
    }
    window_->SetQuestion([this](const QString& question) {
      questions_ << question;
      return answer_;
    });
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  template <typename Control>
  Control* Find(const char* name) const {
    auto* control = window_->findChild<Control*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QLabel* Label1() const { return Find<QLabel>("Label1"); }
  QLineEdit* FileNameBox() const { return Find<QLineEdit>("txtFileName"); }
  QListWidget* List() const { return Find<QListWidget>("File1"); }
  QPushButton* RipButton() const { return Find<QPushButton>("cmdRIP"); }
  QLabel* Info() const { return Find<QLabel>("lblINFO"); }
  QLineEdit* NameBox() const { return Find<QLineEdit>("txtName"); }
  QLabel* Status() const { return Find<QLabel>("lblStatus"); }

  QStringList Listed() const {
    QStringList names;
    for (int row = 0; row < List()->count(); ++row) {
      names << List()->item(row)->text();
    }
    return names;
  }
  void ClickEntry(const QString& name) {
    QList<QListWidgetItem*> items = List()->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      List()->visualItemRect(items.front()).center());
  }
  void ClickRip() { QTest::mouseClick(RipButton(), Qt::LeftButton); }
  // Right-clicks through the window system, which turns the press into a
  // context menu request as it does for a user.
  void RightClickEntry(const QString& name) {
    test_support::RightClickItem(*window_, *List(), name);
  }
  // The menu key as the window system reports it: a context menu request
  // for the widget with the focus.
  void PressMenuKey() {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(window_->windowHandle(), &event);
  }
  // Calls `act` on the widget `find` gives, once it gives one while the
  // window runs its events (in a menu, or during an extraction).
  void OnceFound(std::function<QWidget*()> find,
                 std::function<void(QWidget*)> act) {
    test_support::OnceFound(window_.get(), std::move(find), std::move(act));
  }
  // Once a menu opens: records its entries and picks the first.
  void PickFirstInNextMenu() {
    OnceFound([] { return QApplication::activePopupWidget(); },
              [this](QWidget* menu) {
                for (QAction* action : menu->actions()) {
                  menu_entries_ << action->text();
                }
                QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
              });
  }
  int LineHeight() const { return Info()->fontMetrics().height(); }

  TempDir dir_;
  std::unique_ptr<MainWindow> window_;
  QStringList errors_;
  QString info_at_report_;
  int beeps_ = 0;
  QString name_at_beep_;
  std::vector<ExtractReport> reports_;
  int progress_at_report_ = 0;
  QStringList menu_entries_;
  QStringList questions_;
  bool answer_ = false;
  std::map<std::string, std::string> big_files_;
};

TEST_F(MainWindowTest, DesignGivesCaptionSizeAndPlaces) {
  Open();
  EXPECT_EQ(window_->objectName(), "Form1");
  EXPECT_EQ(window_->windowTitle(), "Brimwald Ripper (PC/PS3/WII/X360)");
  EXPECT_EQ(window_->size(), QSize(572, 265));
  EXPECT_EQ(window_->minimumSize(), QSize(572, 265));
  EXPECT_EQ(window_->maximumSize(), QSize(572, 265));

  EXPECT_EQ(Label1()->pos(), QPoint(8, 8));
  EXPECT_EQ(Label1()->text(), "File Name (*.str):");
  EXPECT_EQ(FileNameBox()->geometry(), QRect(8, 24, 289, 19));
  EXPECT_EQ(List()->geometry(), QRect(8, 48, 289, 171));
  EXPECT_EQ(RipButton()->geometry(), QRect(8, 224, 289, 33));
  EXPECT_EQ(RipButton()->text(), "RIP");
  EXPECT_EQ(Info()->pos(), QPoint(312, 8));
  EXPECT_EQ(NameBox()->geometry(), QRect(312, 88, 257, 19));
  // Added below the name box, within the right column.
  EXPECT_TRUE(QRect(312, 108, 260, 157).contains(Status()->geometry()));

  auto* line = Find<QFrame>("Line1");
  EXPECT_EQ(line->frameShape(), QFrame::VLine);
  EXPECT_EQ(line->x(), 304);
  EXPECT_EQ(line->width(), 1);
  EXPECT_EQ(line->geometry().top(), 8);
  EXPECT_EQ(line->geometry().bottom(), 248);
}

TEST_F(MainWindowTest, TabOrderFollowsTheDesign) {
  Open();
  const QStringList controls = {"Label1", "txtFileName", "File1",
                                "cmdRIP", "lblINFO",     "txtName"};
  QStringList chain;
  for (QWidget* widget = window_->nextInFocusChain(); widget != window_.get();
       widget = widget->nextInFocusChain()) {
    if (controls.contains(widget->objectName())) chain << widget->objectName();
  }
  EXPECT_EQ(chain, controls);
}

TEST_F(MainWindowTest, EveryTextFitsItsBox) {
  TwoEntryContainer("music.str");
  Open();
  ClickEntry("music.str");
  NameBox()->setText(QString::fromLatin1("\xC9gjy|"));

  for (QLineEdit* box : {FileNameBox(), NameBox()}) {
    int frame =
        box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    EXPECT_LE(box->fontMetrics().height() + 2 * frame, box->height())
        << box->objectName().toStdString();
  }
  for (QWidget* control :
       {static_cast<QWidget*>(Label1()), static_cast<QWidget*>(Info()),
        static_cast<QWidget*>(RipButton())}) {
    EXPECT_GE(control->width(), control->sizeHint().width())
        << control->objectName().toStdString();
    EXPECT_GE(control->height(), control->sizeHint().height())
        << control->objectName().toStdString();
  }
  // The labels grow to the right; neither may reach past its column.
  EXPECT_LT(Label1()->geometry().right(), 304);
  EXPECT_LE(Info()->geometry().right(), window_->width());
}

TEST_F(MainWindowTest, ListsStrFilesIgnoringCaseSortedByName) {
  for (const char* name :
       {"b.STR", "a.str", "C.Str", "notes.txt", "str", "music.str.bak"}) {
    testing::WriteFile(dir_.File(name), "");
  }
  std::filesystem::create_directory(dir_.File("folder.str"));
  Open();
  EXPECT_EQ(Listed(), (QStringList{"a.str", "b.STR", "C.Str"}));
  EXPECT_TRUE(List()->selectedItems().isEmpty());
  EXPECT_EQ(FileNameBox()->text(), "");
  EXPECT_EQ(Info()->text(), "");
}

TEST_F(MainWindowTest, AFolderWithoutContainersGivesAnEmptyList) {
  testing::WriteFile(dir_.File("readme.txt"), "");
  Open();
  EXPECT_EQ(List()->count(), 0);
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, AFolderThatCantBeListedIsReportedOnceShown) {
  Open(dir_.File("missing"));
  EXPECT_EQ(List()->count(), 0);
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains("missing")) << errors_[0].toStdString();
}

TEST_F(MainWindowTest, ClickingAnEntryShowsItsNameAndInspection) {
  TwoEntryContainer("music.str");
  InvalidContainer("broken.str");
  Open();

  ClickEntry("music.str");
  EXPECT_EQ(FileNameBox()->text(), "music.str");
  EXPECT_TRUE(FileNameBox()->isReadOnly());
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);
  EXPECT_GE(Info()->height(), 2 * LineHeight());

  ClickEntry("broken.str");
  EXPECT_EQ(FileNameBox()->text(), "broken.str");
  EXPECT_EQ(Info()->text(), "Invalid File!!!");
  EXPECT_LT(Info()->height(), 2 * LineHeight());
  EXPECT_GE(Info()->width(), Info()->sizeHint().width());

  ClickEntry("music.str");
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(MainWindowTest, ClickingTheChosenEntryAgainInspectsItAgain) {
  TwoEntryContainer("music.str");
  Open();
  ClickEntry("music.str");
  InvalidContainer("music.str");

  ClickEntry("music.str");
  EXPECT_EQ(Info()->text(), "Invalid File!!!");
  ClickRip();
  EXPECT_EQ(errors_.size(), 1);
  EXPECT_EQ(beeps_, 0);
}

TEST_F(MainWindowTest, ANameThatIsNotUtf8IsListedAndOpenedByItsBytes) {
  TwoEntryContainer("caf\xE9.str");
  Open();
  const QString shown = QStringLiteral("caf\uFFFD.str");
  EXPECT_EQ(Listed(), QStringList{shown});

  ClickEntry(shown);
  EXPECT_EQ(FileNameBox()->text(), shown);
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);
  ClickRip();
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_EQ(dir_.Names(),
            (std::vector<std::string>{"RIP_caf\xE9.bat", "caf\xE9.str"}));
}

TEST_F(MainWindowTest, ChoosingAFileSelectsAndInspectsIt) {
  InvalidContainer("a.str");
  TwoEntryContainer("b.str");
  TwoEntryContainer("unlisted.bin");
  Open();

  window_->ChooseFile("b.str");
  EXPECT_EQ(List()->selectedItems().size(), 1);
  EXPECT_EQ(List()->currentItem()->text(), "b.str");
  EXPECT_EQ(FileNameBox()->text(), "b.str");
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);

  window_->ChooseFile("unlisted.bin");
  EXPECT_TRUE(List()->selectedItems().isEmpty());
  EXPECT_EQ(FileNameBox()->text(), "unlisted.bin");
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(MainWindowTest, MovingThroughTheListByKeyboardInspects) {
  InvalidContainer("a.str");
  TwoEntryContainer("b.str");
  Open();
  ClickEntry("a.str");

  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(FileNameBox()->text(), "b.str");
  EXPECT_EQ(Info()->text(), kTwoEntriesInfo);

  QTest::keyClick(List(), Qt::Key_Up);
  EXPECT_EQ(FileNameBox()->text(), "a.str");
  EXPECT_EQ(Info()->text(), "Invalid File!!!");
}

TEST_F(MainWindowTest, TabbingIntoTheListChoosesNothing) {
  TwoEntryContainer("a.str");
  Open();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  FileNameBox()->setFocus();

  QTest::keyClick(FileNameBox(), Qt::Key_Tab);
  ASSERT_TRUE(List()->hasFocus());
  EXPECT_EQ(FileNameBox()->text(), "");
  EXPECT_EQ(Info()->text(), "");
}

TEST_F(MainWindowTest, AnInspectionErrorIsReportedAndEmptiesTheInfo) {
  TwoEntryContainer("a.str");
  TwoEntryContainer("gone.str");
  Open();
  ClickEntry("a.str");
  std::filesystem::remove(dir_.File("gone.str"));

  ClickEntry("gone.str");
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains("gone.str")) << errors_[0].toStdString();
  EXPECT_EQ(info_at_report_, "");
  EXPECT_EQ(FileNameBox()->text(), "gone.str");
  EXPECT_EQ(Info()->text(), "");

  // The failed choice replaced the selection: RIP must not rip a.str.
  ClickRip();
  EXPECT_EQ(errors_.size(), 2);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"a.str"});
}

TEST_F(MainWindowTest, RipWritesTheScriptShowsTheLastNameAndBeepsOnce) {
  Container("music.str",
            ContainerBuilder::WithEntries(
                {{"sfx/door.wav", "h", "b"}, {"voice/caf\xE9.wav", "h", "b"}}));
  Open();
  ClickEntry("music.str");
  ClickRip();

  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_EQ(beeps_, 1);
  // Name bytes are shown one character each; the box shows the last entry
  // by the time the beep says the script is complete.
  const QString last_name = QString::fromLatin1("voice\\caf\xE9");
  EXPECT_EQ(name_at_beep_, last_name);
  EXPECT_EQ(NameBox()->text(), last_name);
  EXPECT_EQ(Status()->text(), "Wrote RIP_music.bat");
  std::string script = testing::ReadFile(dir_.File("RIP_music.bat"));
  EXPECT_EQ(script.rfind("MD \"EXT_music\"\r\n", 0), 0u);
  EXPECT_NE(script.find("\"EXT_music\\voice\\caf\xE9.qvstr\""),
            std::string::npos);
  EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 1 + 8 * 2);
}

TEST_F(MainWindowTest, RipWithoutAValidChoiceReportsAndWritesNothing) {
  InvalidContainer("broken.str");
  Open();

  ClickRip();
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_FALSE(errors_[0].isEmpty());

  ClickEntry("broken.str");
  ClickRip();
  ASSERT_EQ(errors_.size(), 2);
  EXPECT_TRUE(errors_[1].contains("broken.str")) << errors_[1].toStdString();

  EXPECT_EQ(beeps_, 0);
  EXPECT_EQ(NameBox()->text(), "");
  EXPECT_EQ(Status()->text(), "");
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"broken.str"});
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, ARipThatFailsMidwayLeavesTheLastShownName) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"first.wav", "h", "b"}, {"second", "h", "b"}});
  VfsRecord second = builder.records()[1];
  second.NameOffset = 0x7FFFFF00;  // far beyond the end of the file
  builder.Record(32 + 72, second);
  Container("cut.str", builder);
  Open();
  ClickEntry("cut.str");
  ClickRip();

  ASSERT_EQ(errors_.size(), 1);
  EXPECT_EQ(NameBox()->text(), "first");
  EXPECT_EQ(beeps_, 0);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"cut.str"});
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, ExtractFromTheListMenuWritesTheFilesAndReports) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"a.wav", "h", "body"}, {"b.wav", "h", "body"}, {"c.wav", "h", "b"}});
  VfsRecord second = builder.records()[1];
  second.BodySize = 0x7FFFFF00;  // far beyond the end of the file
  builder.Record(32 + 72, second);
  Container("music.str", builder);
  InvalidContainer("broken.str");
  Open();
  PickFirstInNextMenu();

  RightClickEntry("music.str");
  EXPECT_EQ(menu_entries_,
            (QStringList{"Extract", "Entries\u2026", "&Update from EXT_\u2026",
                         "Entries of all containers\u2026"}));
  EXPECT_EQ(FileNameBox()->text(), "music.str");
  ASSERT_TRUE(WaitForReport());
  EXPECT_EQ(dir_.Tree(), (std::vector<std::string>{
                             "EXT_music/", "EXT_music/a.qvstr",
                             "EXT_music/c.qvstr", "broken.str", "music.str"}));
  EXPECT_EQ(std::filesystem::file_size(dir_.File("EXT_music/a.qvstr")),
            72u + 1 + 4);
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(reports_[0].warning);
  EXPECT_EQ(reports_[0].summary, "2 files written; 1 entry failed.");
  EXPECT_NE(reports_[0].details.find("music.str': entry 1 'b': "),
            std::string::npos)
      << reports_[0].details;
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_TRUE(RipButton()->isEnabled());
}

TEST_F(MainWindowTest, ExtractWithoutAValidChoiceReportsTheError) {
  InvalidContainer("broken.str");
  Open();
  ClickEntry("broken.str");
  PickFirstInNextMenu();

  PressMenuKey();
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return !errors_.isEmpty(); }, kExtractionMs));
  EXPECT_TRUE(errors_[0].contains("broken.str")) << errors_[0].toStdString();
  EXPECT_TRUE(reports_.empty());
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"broken.str"});
  EXPECT_TRUE(List()->isEnabled());
}

// The extraction of 200 MiB runs on the worker; the window's own thread
// goes on painting and moving the window, and its list and RIP wait.
TEST_F(MainWindowTest, TheWindowRepaintsAndMovesWhileALargeContainerExtracts) {
  BigContainer();
  Open();
  int paints_while_busy = 0;
  int moves_while_busy = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    window_->update();
    window_->move(window_->pos() + QPoint(1, 0));
  });
  struct Counter : QObject {
    std::function<void(QEvent::Type)> seen;
    bool eventFilter(QObject*, QEvent* event) override {
      seen(event->type());
      return false;
    }
  } counter;
  counter.seen = [&](QEvent::Type type) {
    if (List()->isEnabled()) return;
    if (type == QEvent::Paint) ++paints_while_busy;
    if (type == QEvent::Move) ++moves_while_busy;
  };
  window_->installEventFilter(&counter);

  StartBigExtraction();
  ASSERT_FALSE(List()->isEnabled());
  ASSERT_FALSE(RipButton()->isEnabled());
  ticker.start(5);
  ASSERT_TRUE(WaitForReport());
  ticker.stop();
  window_->removeEventFilter(&counter);

  EXPECT_GE(paints_while_busy, 2);
  EXPECT_GE(moves_while_busy, 2);
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(reports_[0].summary.starts_with("50 files written"))
      << reports_[0].summary;
  EXPECT_FALSE(reports_[0].warning);
  EXPECT_EQ(WholeBigFiles(), static_cast<size_t>(kBigEntries));
  EXPECT_TRUE(List()->isEnabled());
}

TEST_F(MainWindowTest, CancelStopsBetweenTwoEntriesAndLeavesOnlyWholeFiles) {
  BigContainer();
  Open();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  ClickEntry("big.str");
  PickFirstInNextMenu();
  PressMenuKey();
  EXPECT_EQ(menu_entries_,
            (QStringList{"Extract", "Entries\u2026", "&Update from EXT_\u2026",
                         "Entries of all containers\u2026"}));

  // Cancel as soon as the first entry's progress reaches the dialog.
  auto* progress = window_->findChild<QProgressDialog*>();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(progress->labelText().startsWith("Extracting big.str"))
      << progress->labelText().toStdString();
  QObject::connect(progress->findChild<QProgressBar*>(),
                   &QProgressBar::valueChanged, progress, [progress](int) {
                     progress->findChild<QPushButton*>()->click();
                   });
  ASSERT_TRUE(WaitForReport());
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(reports_[0].summary.starts_with("Stopped. "))
      << reports_[0].summary;
  EXPECT_EQ(progress_at_report_, 0);
  // No other file, no temporary one, and every one whole.
  size_t whole = WholeBigFiles();
  EXPECT_GE(whole, 1u);
  EXPECT_LT(whole, static_cast<size_t>(kBigEntries));
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(MainWindowTest, ClosingDuringAnExtractionAsksToStopItFirst) {
  BigContainer();
  Open();
  StartBigExtraction();

  answer_ = false;
  EXPECT_FALSE(window_->close());
  ASSERT_EQ(questions_.size(), 1);
  EXPECT_TRUE(questions_[0].contains("big.str")) << questions_[0].toStdString();
  EXPECT_TRUE(window_->isVisible());
  EXPECT_FALSE(List()->isEnabled());

  answer_ = true;
  window_->close();
  EXPECT_EQ(questions_.size(), 2);
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return !window_->isVisible(); }, kExtractionMs));
  // Closed without a report, once the files written were whole.
  EXPECT_TRUE(reports_.empty());
  EXPECT_LT(WholeBigFiles(), static_cast<size_t>(kBigEntries));
}

TEST_F(MainWindowTest, ClosingWhenIdleAsksNothing) {
  Open();
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(questions_.isEmpty());
}

TEST_F(MainWindowTest, TheListsTooltipShowsTheFolder) {
  Open();
  EXPECT_TRUE(std::filesystem::equivalent(
      PathFromUtf8(List()->toolTip().toStdString()), PathFromUtf8(dir_.path())))
      << List()->toolTip().toStdString();
  EXPECT_TRUE(
      std::filesystem::path(List()->toolTip().toStdString()).is_absolute());
}

// The box itself, as the window shows it unless told otherwise.
TEST_F(MainWindowTest, TheReportBoxWarnsAndListsEveryFailure) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries(samples::SampleEntries(300));
  for (int32_t i = 0; i < 300; i += 2) {
    builder.Int32(32 + 72 * static_cast<size_t>(i) + 16, -2);  // BodySize
  }
  Container("music.str", builder);
  Open("", /*own_reports=*/true);
  bool checked = false;
  OnceFound(
      [] {
        return qobject_cast<ReportDialog*>(QApplication::activeModalWidget());
      },
      [&](QWidget* box) {
        auto* summary = box->findChild<QLabel*>("summary");
        auto* details = box->findChild<QPlainTextEdit*>("details");
        auto* icon = box->findChild<QLabel*>("icon");
        checked = true;
        static_cast<ReportDialog*>(box)->accept();
        ASSERT_TRUE(summary && details && icon);
        EXPECT_EQ(box->windowTitle(), window_->windowTitle());
        EXPECT_TRUE(summary->text().endsWith("; 150 entries failed."))
            << summary->text().toStdString();
        EXPECT_EQ(details->blockCount(), 150);
        EXPECT_TRUE(
            details->document()->firstBlock().text().contains("': entry 0 '"));
        EXPECT_TRUE(details->document()->lastBlock().text().contains(
            "': entry 298 'voice\\en\\track298': body: "))
            << details->document()->lastBlock().text().toStdString();
        EXPECT_TRUE(details->isReadOnly());
        EXPECT_GT(details->verticalScrollBar()->maximum(), 0);
        // The box fits the screen however many entries failed.
        EXPECT_LT(box->sizeHint().height(), 600);
        const int size =
            box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
        EXPECT_EQ(icon->pixmap().toImage(),
                  box->style()
                      ->standardIcon(QStyle::SP_MessageBoxWarning)
                      .pixmap(size, size)
                      .toImage());
      });
  ClickEntry("music.str");
  PickFirstInNextMenu();
  PressMenuKey();
  ASSERT_TRUE(QTest::qWaitFor([&] { return checked; }, kExtractionMs));
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST(ReportDialogTest, WithoutFailuresInformsAndHasNoDetails) {
  const std::string folder = "/home/" + std::string(300, 'd') + "/EXT_a";
  ReportDialog box({false, "3 files written.", folder, ""}, "title");
  EXPECT_EQ(box.findChild<QLabel*>("summary")->text(), "3 files written.");
  // The folder on one line, its middle elided, whole in its tooltip.
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  auto* line = box.findChild<QLabel*>("folder");
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()),
            line->contentsRect().width());
  EXPECT_TRUE(line->text().endsWith("/EXT_a")) << line->text().toStdString();
  EXPECT_EQ(line->toolTip().toStdString(), folder);
  EXPECT_EQ(box.findChild<QPlainTextEdit*>("details"), nullptr);
  const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
  EXPECT_EQ(box.findChild<QLabel*>("icon")->pixmap().toImage(),
            box.style()
                ->standardIcon(QStyle::SP_MessageBoxInformation)
                .pixmap(size, size)
                .toImage());
}

}  // namespace
}  // namespace brimwald
