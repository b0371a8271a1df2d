#include "ui/verko_work_drive.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>

#include "common/user_folders.h"
#include "ui/platform_defaults.h"
#include "ui/shared/dialog_parts.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

QString WithTrailingSlash(const QString& folder) {
  return folder.endsWith('/') ? folder : folder + '/';
}

// Kernel and container file systems that never hold user data.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const char* const kPseudo[] = {
      "proc",    "sysfs",       "devpts",   "cgroup", "cgroup2",   "mqueue",     "debugfs",
      "tracefs", "securityfs",  "pstore",   "bpf",    "hugetlbfs", "configfs",   "fusectl",
      "autofs",  "binfmt_misc", "devtmpfs", "nsfs",   "efivarfs",  "rpc_pipefs", "selinuxfs"};
  for (const char* name : kPseudo) {
    if (type == name) return true;
  }
  return false;
}

// The mounted volumes a work folder can be on: real folders, not kernel file systems.
QStringList MountedVolumeRoots() {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) {
      continue;
    }
    const QString root = WithTrailingSlash(volume.rootPath());
    if (QFileInfo(root).isDir() && !roots.contains(root)) roots.append(root);
  }
  roots.sort();
  return roots;
}

}  // namespace

bool CanWriteInFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  QFile test(folder + QLatin1String(VerkoWorkDrive::kTestFileName));
  if (!test.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  test.close();
  test.remove();
  return true;
}

VerkoWorkDrive::VerkoWorkDrive(const QString& workPath, UiServices& services, QWidget* parent)
    : QDialog(parent), services_(services), workPath_(workPath) {
  setObjectName(QStringLiteral("VerkoWorkDrive"));
  setWindowTitle(QStringLiteral("作業ドライブの設定"));
  setModal(true);

  driveList_ = new QComboBox(this);
  driveList_->setObjectName(QStringLiteral("Drive1"));
  textDrive_ = new QLineEdit(workPath, this);
  textDrive_->setObjectName(QStringLiteral("TextDrive"));
  auto* apply = NewDialogButton("Command2", QStringLiteral("設定(&S)"), this);
  auto* cancel = NewDialogButton("Command1", QStringLiteral("キャンセル"), this);
  LayOutSettingsDialog(
      this,
      QStringLiteral("作業用データベースを作成するドライブを指定してください。"
                     "十分な空き容量のある、高速なドライブを指定することをお勧めします。"),
      {driveList_, textDrive_}, {apply, cancel});

  FillDriveList(workPath);
  connect(driveList_, &QComboBox::activated, this, &VerkoWorkDrive::ChooseDrive);
  connect(apply, &QPushButton::clicked, this, &VerkoWorkDrive::Apply);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  if (parent) PlaceBesideMain(this, parent);
  SetAlwaysOnTop(this, true);
}

void VerkoWorkDrive::FillDriveList(const QString& workPath) {
  // The user's own work folder comes first, so that the default is always one choice away.
  const QString defaultFolder = DefaultWorkPath();
  if (!defaultFolder.isEmpty()) {
    driveList_->addItem(QStringLiteral("既定の作業フォルダ  [%1]").arg(defaultFolder),
                        defaultFolder);
  }
  QStringList roots = MountedVolumeRoots();
  QString current = WithTrailingSlash(QStorageInfo(workPath).rootPath());
  if (!QStorageInfo(workPath).isValid()) current.clear();
  if (!defaultFolder.isEmpty() && workPath == defaultFolder) current = defaultFolder;
  if (!current.isEmpty() && current != defaultFolder && !roots.contains(current)) {
    roots.append(current);
  }
  for (const QString& root : roots) {
    QStorageInfo volume(root);
    QString name = volume.displayName();
    driveList_->addItem(name.isEmpty() || name == root || name + '/' == root
                            ? root
                            : QStringLiteral("%1  [%2]").arg(root, name),
                        root);
  }
  driveList_->setCurrentIndex(current.isEmpty() ? -1 : driveList_->findData(current));
}

void VerkoWorkDrive::ChooseDrive(int index) {
  if (index >= 0) textDrive_->setText(driveList_->itemData(index).toString());
}

void VerkoWorkDrive::Apply() {
  // The database path is the folder followed directly by the file name, so the folder
  // always ends in a separator.
  const QString text = textDrive_->text();
  const QString folder = text.isEmpty() ? QString() : WithTrailingSlash(text);
  // The default folder is made on first use, here as by a comparison.
  if (!folder.isEmpty() && folder == DefaultWorkPath()) {
    (void)MakePrivateFolder(folder.toStdString());
  }
  if (!CanWriteInFolder(folder)) {
    services_.ShowMessage(
        this, QStringLiteral("そのドライブには書き込めません。別のドライブを選んでください。"),
        QStringLiteral("ドライブが不適切"), MessageIcon::kCritical, MessageButtons::kOk);
    return;
  }
  workPath_ = folder;
  accept();
}

}  // namespace verko
