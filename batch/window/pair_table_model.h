// The grid of the batch window: a table model over the shown list's pairs (sorted by
// OldFile), with the columns 旧ファイル, 新ファイル, 結果ファイル. It keeps the rows it shows
// and takes the session's rows only between the begin and end of a reset or with a change
// signal, so a view never sees rows change behind its back. Result names typed into the
// grid are written through the session into the database.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <map>
#include <vector>

#include "batch/batch_types.h"

namespace verko {

class BatchSession;

class PairTableModel : public QAbstractTableModel {
 public:
  // kOutcome: how the last run's comparison of the row ended (empty before a run).
  enum Column { kOldFile, kNewFile, kResultFile, kOutcome, kColumnCount };

  // `session` must outlive the model.
  explicit PairTableModel(BatchSession& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Stores a result name through the session; an empty name is refused.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // Shows `rows` in place of the rows shown so far.
  void ResetRows(const std::vector<PairRow>& rows);
  // The session changed one row's fields in place: shows them.
  void RowChanged(int row);
  // Shows how the comparison of `row` ended; kept for the pair while the list is shown
  // again, until ClearOutcomes (a new run).
  void SetOutcome(int row, const QString& outcome);
  void ClearOutcomes();
  bool HasOutcome(int row) const;

 private:
  BatchSession& session_;
  std::vector<PairRow> rows_;
  std::map<int64_t, QString> outcomes_;  // by pairId
};

}  // namespace verko
