#include "app/qt/entries_dialog.h"

#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt/dropped_files.h"
#include "app/qt/entries_table_model.h"
#include "app/session/window_session.h"

namespace brimwald {
namespace {

constexpr int kWidth = 680;
constexpr int kHeight = 440;
// Starting widths, in average characters, of every column but the last,
// which takes the rest.
int ColumnChars(EntryColumn column) {
  switch (column) {
    case EntryColumn::kName:
      return 36;
    case EntryColumn::kContainer:
      return 16;
    case EntryColumn::kIndex:
      return 8;
    default:
      return 11;
  }
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  // Enter in the filter box must not extract.
  button->setAutoDefault(false);
  return button;
}

// The width that shows the heading of `column` whole, in bold too (as the
// header draws the headings of the selected columns), with the sort arrow.
int HeadingWidth(const QHeaderView& header, int column) {
  QFont bold = header.font();
  bold.setBold(true);
  const QString heading =
      header.model()->headerData(column, Qt::Horizontal).toString();
  const QStyle& style = *header.style();
  const int margins =
      4 * style.pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header) +
      style.pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, &header);
  return QFontMetrics(bold).horizontalAdvance(heading) + margins;
}

}  // namespace

EntriesDialog::EntriesDialog(EntriesModel& entries, const QString& title,
                             QWidget* parent)
    : QDialog(parent),
      model_(new EntriesTableModel(entries, this)),
      filter_(new QLineEdit(this)),
      table_(new QTableView(this)),
      status_(new QLabel(this)),
      extract_selected_(
          Button(tr("Extract selected"), "extractSelected", this)),
      extract_all_(Button(tr("Extract all"), "extractAll", this)),
      replace_(Button(tr("&Replace\u2026"), "replace", this)) {
  setWindowTitle(title);
  resize(kWidth, kHeight);

  filter_->setObjectName("filter");
  filter_->setPlaceholderText(tr("Part of a name, or a pattern: sfx\\*"));
  filter_->setClearButtonEnabled(true);
  auto* filter_label = new QLabel(tr("&Filter:"), this);
  filter_label->setBuddy(filter_);

  table_->setObjectName("entries");
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  // Rows of one height: the view never measures them.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  const int char_width = fontMetrics().averageCharWidth();
  for (int column = 0; column + 1 < entries.columns(); ++column) {
    table_->setColumnWidth(
        column, std::max(ColumnChars(entries.ColumnAt(column)) * char_width,
                         HeadingWidth(*table_->horizontalHeader(), column)));
  }
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  table_->setSortingEnabled(true);

  status_->setObjectName("status");
  status_->setTextFormat(Qt::PlainText);
  status_->setWordWrap(true);
  extract_all_->setToolTip(
      entries.many()
          ? tr("Extracts every entry of every container, whatever the filter "
               "shows")
          : tr("Extracts every entry of the container, whatever the filter "
               "shows"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->addButton(extract_selected_, QDialogButtonBox::ActionRole);
  buttons->addButton(extract_all_, QDialogButtonBox::ActionRole);
  buttons->addButton(replace_, QDialogButtonBox::ActionRole);
  buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* filter_row = new QHBoxLayout;
  filter_row->addWidget(filter_label);
  filter_row->addWidget(filter_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filter_row);
  layout->addWidget(table_);
  layout->addWidget(status_);
  layout->addWidget(buttons);

  connect(filter_, &QLineEdit::textChanged, this, &EntriesDialog::ApplyFilter);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged,
          this, &EntriesDialog::UpdateButtons);
  connect(model_, &QAbstractItemModel::modelReset, this,
          &EntriesDialog::UpdateButtons);
  connect(extract_selected_, &QPushButton::clicked, this, [this] {
    std::vector<int32_t> rows = SelectedRows();
    if (!rows.empty()) emit ExtractSelectedRequested(rows);
  });
  connect(extract_all_, &QPushButton::clicked, this,
          &EntriesDialog::ExtractAllRequested);
  connect(replace_, &QPushButton::clicked, this, [this] {
    std::vector<int32_t> rows = SelectedRows();
    if (rows.size() == 1) emit ReplaceRequested(rows.front(), QString());
  });
  table_->viewport()->setAcceptDrops(true);
  table_->viewport()->installEventFilter(this);
  ShowStatus();
  UpdateButtons();
  filter_->setFocus();
}

void EntriesDialog::Reload() {
  model_->Reloaded();
  ShowStatus();
}

bool EntriesDialog::eventFilter(QObject* watched, QEvent* event) {
  const bool drag =
      event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
  if (watched != table_->viewport() ||
      (!drag && event->type() != QEvent::Drop)) {
    return QDialog::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);
  const int row = table_->indexAt(drop->position().toPoint()).row();
  const std::vector<std::string> files = DroppedFiles(*drop->mimeData());
  if (busy_ || row < 0 || !WindowSession::TakesEntryDrop(files)) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (!drag) {
    emit ReplaceRequested(row, QFile::decodeName(files.front().c_str()));
  }
  return true;
}

void EntriesDialog::SetBusy(bool busy) {
  busy_ = busy;
  UpdateButtons();
}

std::vector<int32_t> EntriesDialog::SelectedRows() const {
  // By ranges: selecting all of 200,000 rows is one range, not 200,000
  // indexes.
  std::vector<int32_t> rows;
  for (const QItemSelectionRange& range :
       table_->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      rows.push_back(row);
    }
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void EntriesDialog::ApplyFilter(const QString& text) {
  model_->SetFilter(text);
  ShowStatus();
}

void EntriesDialog::ShowStatus() {
  const EntriesModel& entries = model_->entries();
  const std::string status = entries.StatusText();
  QString text =
      QString::fromLatin1(status.data(), static_cast<qsizetype>(status.size()));
  if (!entries.table_problem().empty()) {
    text += '\n' + QString::fromLocal8Bit(entries.table_problem());
  }
  status_->setText(text);
}

void EntriesDialog::UpdateButtons() {
  extract_selected_->setEnabled(!busy_ &&
                                table_->selectionModel()->hasSelection());
  extract_all_->setEnabled(!busy_);
  replace_->setEnabled(!busy_ && SelectedRows().size() == 1);
}

}  // namespace brimwald
