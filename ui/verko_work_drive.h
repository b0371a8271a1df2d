// The work-drive dialog: chooses the folder in which every comparison creates its work
// database. A folder is taken only when a test file can be written there (and removed).
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace verko {

class UiServices;

class VerkoWorkDrive : public QDialog {
 public:
  VerkoWorkDrive(const QString& workPath, UiServices& services, QWidget* parent);

  // The folder set by Command2 (ending in "/"); the one given at opening otherwise.
  QString WorkPath() const { return workPath_; }

  // Name of the file that the write test creates and removes.
  static constexpr const char* kTestFileName = "$T$T$.$$$";

 private:
  void FillDriveList(const QString& workPath);
  void ChooseDrive(int index);
  void Apply();

  UiServices& services_;
  QString workPath_;
  QComboBox* driveList_;
  QLineEdit* textDrive_;
};

// True when a file can be created in `folder` (which ends in "/"); the file is removed.
bool CanWriteInFolder(const QString& folder);

}  // namespace verko
