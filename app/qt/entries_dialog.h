// The Entries dialog of the Qt window: every entry of one container, or of
// every container of the folder, in a table whose columns sort, a filter box
// that narrows it as the user types,
// and "Extract selected" and "Extract all", which the window runs as it
// runs Extract, and "Replace...", for the one entry selected, which a .qvstr
// file dropped on a row offers too. The table is a view over EntriesTableModel:
// no widget per row, so a table of 200,000 entries opens at once.

#ifndef BRIMWALD_APP_QT_ENTRIES_DIALOG_H_
#define BRIMWALD_APP_QT_ENTRIES_DIALOG_H_

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

#include "app/session/entries_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace brimwald {

class EntriesTableModel;

class EntriesDialog : public QDialog {
  Q_OBJECT

 public:
  /// The dialog over `entries` (which must outlive it), titled `title`. Its
  /// children are named for tests: "filter", "entries" (the table),
  /// "status", "extractSelected", "extractAll", "replace".
  EntriesDialog(EntriesModel& entries, const QString& title,
                QWidget* parent = nullptr);

  /// While a job runs, the extract and replace buttons are disabled.
  void SetBusy(bool busy);

  /// The entries were read again (a write-back changed them).
  void Reload();

  /// The rows selected in the table, ascending.
  std::vector<int32_t> SelectedRows() const;

 signals:
  /// "Extract selected": the rows selected, never none.
  void ExtractSelectedRequested(const std::vector<int32_t>& rows);
  /// "Extract all": every entry, whatever the filter shows.
  void ExtractAllRequested();
  /// "Replace..." for the one row selected, with `file` empty; or a .qvstr
  /// `file` dropped on `row`.
  void ReplaceRequested(int32_t row, const QString& file);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyFilter(const QString& text);
  void ShowStatus();
  void UpdateButtons();

  EntriesTableModel* model_;
  QLineEdit* filter_;
  QTableView* table_;
  QLabel* status_;
  QPushButton* extract_selected_;
  QPushButton* extract_all_;
  QPushButton* replace_;
  bool busy_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_ENTRIES_DIALOG_H_
