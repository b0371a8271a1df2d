// The grid of the batch window: a table model over the shown list's pairs as the batch
// session holds them (sorted by OldFile), with the columns 旧ファイル, 新ファイル, 結果ファイル.
// Result names typed into the grid are written through the session into the database.
#pragma once

#include <QAbstractTableModel>

namespace verko {

class BatchSession;

class PairTableModel : public QAbstractTableModel {
 public:
  enum Column { kOldFile, kNewFile, kResultFile, kColumnCount };

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

  // The session read its rows again.
  void ResetRows();
  // One row's fields changed in place.
  void RowChanged(int row);

 private:
  BatchSession& session_;
};

}  // namespace verko
