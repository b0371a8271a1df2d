// The list chooser of the batch window: the names of every batch list, of which the user
// picks one to be shown. A small modal dialog kept above other windows.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace verko {

class BatchSession;

class VerkoSelectBatch : public QDialog {
 public:
  // Lists the names of `session`'s lists; `session` must outlive the dialog.
  explicit VerkoSelectBatch(BatchSession& session, QWidget* parent = nullptr);

 private:
  // Shows the chosen list in the batch window and closes; a missing choice is refused.
  void ClickSet();

  BatchSession& session_;
  QListWidget* listBatchName_;
  QPushButton *cmdSet_, *cmdCancel_;
};

}  // namespace verko
