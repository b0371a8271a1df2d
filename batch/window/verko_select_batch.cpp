#include "batch/window/verko_select_batch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "batch/batch_session.h"

namespace verko {

VerkoSelectBatch::VerkoSelectBatch(BatchSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("VerkoSelectBatch"));
  setWindowTitle(QStringLiteral("バッチリストの選択"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* label = new QLabel(QStringLiteral("使用するバッチリストを選択してください。"), this);
  label->setObjectName(QStringLiteral("Label1"));
  listBatchName_ = new QListWidget(this);
  listBatchName_->setObjectName(QStringLiteral("ListBatchName"));
  for (const std::string& name : session_.ListNames()) {
    listBatchName_->addItem(QString::fromStdString(name));
  }
  listBatchName_->setCurrentRow(-1);
  cmdSet_ = new QPushButton(QStringLiteral("設定(&S)"), this);
  cmdSet_->setObjectName(QStringLiteral("Command1"));
  cmdSet_->setDefault(true);
  cmdCancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cmdCancel_->setObjectName(QStringLiteral("Command2"));
  cmdCancel_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdSet_);
  buttons->addWidget(cmdCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(listBatchName_, 1);
  layout->addLayout(buttons);
  listBatchName_->setMinimumSize(label->sizeHint().width(),
                                 8 * listBatchName_->fontMetrics().height());

  connect(cmdSet_, &QPushButton::clicked, this, &VerkoSelectBatch::ClickSet);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void VerkoSelectBatch::ClickSet() {
  QListWidgetItem* item = listBatchName_->currentItem();
  std::optional<std::string> name;
  if (item && item->isSelected()) name = item->text().toStdString();
  if (session_.SelectList(name)) accept();
}

}  // namespace verko
