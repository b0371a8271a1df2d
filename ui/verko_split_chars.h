// The split-characters dialog: edits the regular expression after whose matches long lines
// may be cut. A pattern the library refuses is not taken.
#pragma once

#include <QDialog>

class QLineEdit;

namespace verko {

class UiServices;

class VerkoSplitChars : public QDialog {
 public:
  VerkoSplitChars(const QString& splitChar, UiServices& services, QWidget* parent);

  // The pattern set by CmdApply; the one given at opening otherwise.
  QString SplitChar() const { return splitChar_; }

 private:
  void Apply();
  void RestoreDefault();

  UiServices& services_;
  QString splitChar_;
  QLineEdit* textSplitChars_;
};

}  // namespace verko
