#include "batch/window/pair_table_model.h"

#include "batch/batch_session.h"

namespace verko {

PairTableModel::PairTableModel(BatchSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int PairTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PairTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant PairTableModel::data(const QModelIndex& index, int role) const {
  // An error's reason may be longer than its cell: the tool tip shows it whole.
  const bool tip = role == Qt::ToolTipRole && index.column() == kOutcome;
  if (!index.isValid() || index.row() >= rowCount() ||
      (role != Qt::DisplayRole && role != Qt::EditRole && !tip)) {
    return QVariant();
  }
  const PairRow& row = rows_[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kOldFile:
      return QString::fromStdString(row.oldFile);
    case kNewFile:
      return QString::fromStdString(row.newFile);
    case kResultFile:
      return QString::fromStdString(row.resultFile);
    case kOutcome: {
      const auto found = outcomes_.find(row.pairId);
      return found == outcomes_.end() ? QString() : found->second;
    }
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
    case kOutcome:
      return QStringLiteral("比較の結果");
    default:
      return QVariant();
  }
}

Qt::ItemFlags PairTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  // Every name may be typed into the grid (result names are set this way by hand).
  if (index.isValid() && index.column() != kOutcome) flags |= Qt::ItemIsEditable;
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

void PairTableModel::ResetRows(const std::vector<PairRow>& rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

void PairTableModel::RowChanged(int row) {
  const auto& sessionRows = session_.Rows();
  if (row < 0 || row >= rowCount() || static_cast<std::size_t>(row) >= sessionRows.size()) return;
  rows_[static_cast<std::size_t>(row)] = sessionRows[static_cast<std::size_t>(row)];
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
}

void PairTableModel::SetOutcome(int row, const QString& outcome) {
  if (row < 0 || row >= rowCount()) return;
  outcomes_[rows_[static_cast<std::size_t>(row)].pairId] = outcome;
  emit dataChanged(index(row, kOutcome), index(row, kOutcome), {Qt::DisplayRole});
}

void PairTableModel::ClearOutcomes() {
  if (outcomes_.empty()) return;
  outcomes_.clear();
  if (rowCount() > 0) {
    emit dataChanged(index(0, kOutcome), index(rowCount() - 1, kOutcome), {Qt::DisplayRole});
  }
}

bool PairTableModel::HasOutcome(int row) const {
  return row >= 0 && row < rowCount() &&
         outcomes_.count(rows_[static_cast<std::size_t>(row)].pairId) > 0;
}

}  // namespace verko
