#include "app/qt/entries_table_model.h"

#include <string>

namespace brimwald {
namespace {

QString Latin1(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(),
                             static_cast<qsizetype>(bytes.size()));
}

bool IsNumber(EntryColumn column) {
  return column == EntryColumn::kIndex || column == EntryColumn::kHeaderSize ||
         column == EntryColumn::kBodySize;
}

}  // namespace

EntriesTableModel::EntriesTableModel(EntriesModel& entries, QObject* parent)
    : QAbstractTableModel(parent), entries_(entries) {}

int EntriesTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : entries_.rows();
}

int EntriesTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : entries_.columns();
}

QVariant EntriesTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= entries_.rows()) return {};
  const EntryColumn column = entries_.ColumnAt(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return Latin1(entries_.Cell(index.row(), column));
    case Qt::ToolTipRole:
      if (column != EntryColumn::kProblems) return {};
      return Latin1(entries_.Cell(index.row(), column));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(
          Qt::AlignVCenter |
          (IsNumber(column) ? Qt::AlignRight : Qt::AlignLeft));
    default:
      return {};
  }
}

QVariant EntriesTableModel::headerData(int section, Qt::Orientation orientation,
                                       int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= entries_.columns()) {
    return {};
  }
  return QString::fromLatin1(HeadingOf(entries_.ColumnAt(section)));
}

void EntriesTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= entries_.columns()) return;
  beginResetModel();
  entries_.Sort(entries_.ColumnAt(column), order == Qt::DescendingOrder);
  endResetModel();
}

bool EntriesTableModel::SetFilter(const QString& text) {
  beginResetModel();
  bool readable = entries_.SetFilter(text.toStdU16String());
  endResetModel();
  return readable;
}

}  // namespace brimwald
