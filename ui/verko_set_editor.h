// The editor-setting dialog: edits the command line that opens the result file after a
// comparison; "%1" stands for the result file's name.
#pragma once

#include <QDialog>

class QLineEdit;

namespace verko {

class UiServices;

class VerkoSetEditor : public QDialog {
 public:
  VerkoSetEditor(const QString& editorSetting, UiServices& services, QWidget* parent);

  // The command line set by Command2; the one given at opening otherwise.
  QString EditorSetting() const { return editorSetting_; }

 private:
  void Browse();
  void Apply();

  UiServices& services_;
  QString editorSetting_;
  QLineEdit* textEditorSetting_;
};

// The setting as stored: every occurrence of the system's program folder removed without
// regard to case, since programs there are found by name alone.
QString WithoutProgramFolder(const QString& setting);

}  // namespace verko
