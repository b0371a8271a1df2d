#include "ui/verko_set_editor.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "common/encoding.h"
#include "platform/regexp.h"
#include "ui/platform_defaults.h"
#include "ui/shared/dialog_parts.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/window_helpers.h"

namespace verko {

QString WithoutProgramFolder(const QString& setting) {
  const std::string utf8 = setting.toStdString();
  std::string text = ToCp932(utf8);
  // A name that code page 932 cannot hold would come back with "?" in it: such a setting
  // is edited as Unicode text instead, with the same case-blind removal.
  if (FromCp932(text) != utf8) {
    QString plain = setting;
    return plain.remove(SystemProgramFolder(), Qt::CaseInsensitive);
  }
  if (GSubRigc(text, ToCp932(SystemProgramFolderPattern().toStdString()), "") < 0) return setting;
  return QString::fromStdString(FromCp932(text));
}

VerkoSetEditor::VerkoSetEditor(const QString& editorSetting, UiServices& services, QWidget* parent)
    : QDialog(parent), services_(services), editorSetting_(editorSetting) {
  setObjectName(QStringLiteral("VerkoSetEditor"));
  setWindowTitle(QStringLiteral("結果を表示するエディタの指定"));
  setModal(true);

  textEditorSetting_ = new QLineEdit(editorSetting, this);
  textEditorSetting_->setObjectName(QStringLiteral("TextEditorSetting"));
  auto* browse = NewDialogButton("Command3", QStringLiteral("参照(&R)"), this);
  browse->setMinimumWidth(0);
  auto* apply = NewDialogButton("Command2", QStringLiteral("設定(&S)"), this);
  auto* cancel = NewDialogButton("Command1", QStringLiteral("キャンセル"), this);
  auto* field = new QHBoxLayout;
  field->addWidget(textEditorSetting_, 1);
  field->addWidget(browse);
  LayOutSettingsDialog(
      this,
      QStringLiteral("比較処理の完了時に、比較結果ファイルを表示するエディタを指定してください。"
                     "「%1」は比較結果のファイル名を表わします。"),
      {field}, {apply, cancel});

  connect(browse, &QPushButton::clicked, this, &VerkoSetEditor::Browse);
  connect(apply, &QPushButton::clicked, this, &VerkoSetEditor::Apply);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  if (parent) PlaceBesideMain(this, parent);
  SetAlwaysOnTop(this, true);
}

void VerkoSetEditor::Browse() {
  FileDialogRequest request;
  request.mode = FileDialogMode::kOpenExisting;
  request.title = QStringLiteral("開く");
  request.filter = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ類 (*)");
  request.initialFolder = SystemProgramFolder();
  const QString path = services_.ChooseFile(this, request);
  if (path.isEmpty()) return;
  // A path with blanks is quoted so that the launch keeps it one word.
  const QString program = path.contains(' ') ? '"' + path + '"' : path;
  textEditorSetting_->setText(program + QStringLiteral(" %1"));
}

void VerkoSetEditor::Apply() {
  editorSetting_ = WithoutProgramFolder(textEditorSetting_->text());
  accept();
}

}  // namespace verko
