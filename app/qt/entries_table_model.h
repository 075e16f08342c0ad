// The Entries dialog's table for Qt's views: an adapter that hands a view the
// cells of the rows it paints from the session's EntriesModel, so no row
// costs anything until it shows.

#ifndef BRIMWALD_APP_QT_ENTRIES_TABLE_MODEL_H_
#define BRIMWALD_APP_QT_ENTRIES_TABLE_MODEL_H_

#include <QAbstractTableModel>
#include <QString>

#include "app/session/entries_model.h"

namespace brimwald {

class EntriesTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  /// A table over `entries`, which must outlive it.
  explicit EntriesTableModel(EntriesModel& entries, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  /// The cell's text (names show a character per byte, Latin-1); numbers
  /// align right; a problem's whole text is also its tooltip.
  QVariant data(const QModelIndex& index,
                int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  /// Orders the rows by `column`; the view's selection goes.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  /// Shows the rows whose names match the pattern `text`; false when it
  /// can't be read. The view's selection goes.
  bool SetFilter(const QString& text);

  /// The entries were read again: every row may have changed.
  void Reloaded() {
    beginResetModel();
    endResetModel();
  }

  const EntriesModel& entries() const { return entries_; }

 private:
  EntriesModel& entries_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_ENTRIES_TABLE_MODEL_H_
