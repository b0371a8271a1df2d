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
  command1_ = new QPushButton(QStringLiteral("設定(&S)"), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setDefault(true);
  command2_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  command2_->setObjectName(QStringLiteral("Command2"));
  command2_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(command1_);
  buttons->addWidget(command2_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(listBatchName_, 1);
  layout->addLayout(buttons);
  listBatchName_->setMinimumSize(label->sizeHint().width(),
                                 8 * listBatchName_->fontMetrics().height());

  connect(command1_, &QPushButton::clicked, this, &VerkoSelectBatch::ClickSet);
  connect(command2_, &QPushButton::clicked, this, &QDialog::reject);
}

void VerkoSelectBatch::ClickSet() {
  QListWidgetItem* item = listBatchName_->currentItem();
  std::optional<std::string> name;
  if (item && item->isSelected()) name = item->text().toStdString();
  if (session_.SelectList(name)) accept();
}

}  // namespace verko
