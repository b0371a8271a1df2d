#include "batch/window/pair_table_model.h"

#include "batch/batch_session.h"

namespace verko {

PairTableModel::PairTableModel(BatchSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int PairTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(session_.Rows().size());
}

int PairTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant PairTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() ||
      (role != Qt::DisplayRole && role != Qt::EditRole)) {
    return QVariant();
  }
  const PairRow& row = session_.Rows()[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kOldFile:
      return QString::fromStdString(row.oldFile);
    case kNewFile:
      return QString::fromStdString(row.newFile);
    case kResultFile:
      return QString::fromStdString(row.resultFile);
    default:
      return QVariant();
  }
}

QVariant PairTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (section) {
    case kOldFile:
      return QStringLiteral("旧ファイル");
    case kNewFile:
      return QStringLiteral("新ファイル");
    case kResultFile:
      return QStringLiteral("結果ファイル");
    default:
      return QVariant();
  }
}

Qt::ItemFlags PairTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  // Every name may be typed into the grid (result names are set this way by hand).
  if (index.isValid()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool PairTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  PairField field = PairField::kResultFile;
  switch (index.column()) {
    case kOldFile:
      field = PairField::kOldFile;
      break;
    case kNewFile:
      field = PairField::kNewFile;
      break;
    case kResultFile:
      break;
    default:
      return false;
  }
  // The session reports the change back through RowChanged; an emptied cell is not stored.
  return session_.SetPairName(index.row(), field, value.toString().toStdString());
}

void PairTableModel::ResetRows() {
  beginResetModel();
  endResetModel();
}

void PairTableModel::RowChanged(int row) {
  if (row < 0 || row >= rowCount()) return;
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace verko
