#include "ui/verko_split_chars.h"

#include <QLineEdit>
#include <QPushButton>

#include "common/encoding.h"
#include "platform/regexp.h"
#include "ui/platform_defaults.h"
#include "ui/shared/dialog_parts.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

// The text on which a new pattern is tried before it is taken.
constexpr const char* kSampleText = "あいう ABC.";

}  // namespace

VerkoSplitChars::VerkoSplitChars(const QString& splitChar, UiServices& services, QWidget* parent)
    : QDialog(parent), services_(services), splitChar_(splitChar) {
  setObjectName(QStringLiteral("VerkoSplitChars"));
  setWindowTitle(QStringLiteral("行の分割位置の指定（上級機能）"));
  setModal(true);

  textSplitChars_ = new QLineEdit(splitChar, this);
  textSplitChars_->setObjectName(QStringLiteral("TextSplitChars"));
  auto* apply = NewDialogButton("CmdApply", QStringLiteral("設定(&S)"), this);
  auto* restore = NewDialogButton("CmdDefault", QStringLiteral("既定値(&D)"), this);
  auto* cancel = NewDialogButton("CmdCancel", QStringLiteral("キャンセル"), this);
  LayOutSettingsDialog(
      this,
      QStringLiteral("行を分割する際の分割位置の文字を、正規表現で指定してください。"
                     "指定した正規表現にマッチする文字列の直後が、分割位置の候補になります。"),
      {textSplitChars_}, {apply, restore, cancel});

  connect(apply, &QPushButton::clicked, this, &VerkoSplitChars::Apply);
  connect(restore, &QPushButton::clicked, this, &VerkoSplitChars::RestoreDefault);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  if (parent) PlaceBesideMain(this, parent);
  SetAlwaysOnTop(this, true);
}

void VerkoSplitChars::Apply() {
  const QString pattern = textSplitChars_->text();
  int position = 0, length = 0;
  if (MatchR(ToCp932(kSampleText), ToCp932(pattern.toStdString()), position, length) < 0) {
    std::string missing;
    const QString text = RegexLibraryAvailable(&missing)
                             ? QStringLiteral("正規表現が間違っています。")
                             : QString::fromStdString(missing);
    services_.ShowMessage(this, text, QStringLiteral("行の分割文字の指定"), MessageIcon::kCritical,
                          MessageButtons::kOk);
    return;
  }
  splitChar_ = pattern;
  accept();
}

void VerkoSplitChars::RestoreDefault() {
  textSplitChars_->setText(DefaultSplitChar());
}

}  // namespace verko
