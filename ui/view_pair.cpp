#include "ui/view_pair.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "common/path_parts.h"
#include "common/user_folders.h"
#include "compare/compare_session.h"
#include "compare/work_folder.h"
#include "ui/main_window_settings.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/widget_parts.h"

namespace verko {
namespace {

// A run without a window: nothing to show, no question (batch mode), warnings kept.
class QuietHost : public CompareHost {
 public:
  explicit QuietHost(QStringList* warnings) : warnings_(warnings) {}
  void ShowProgress(int) override {}
  void SetPhaseText(const std::string&) override {}
  bool AskOverwrite(const std::string&, const std::string&) override { return true; }
  void ShowLineLimitMessage(const std::string& text, const std::string&) override {
    if (warnings_) warnings_->append(ToQString(text));
  }
  void ShowRunWarning(const std::string& text, const std::string&) override {
    if (warnings_) warnings_->append(ToQString(text));
  }

 private:
  QStringList* warnings_;
};

// The report of a pair: the old file's name and a digest of both full paths, so that two
// pairs never share a report and the same pair always finds its own again.
QString ReportNameOf(const QString& oldPath, const QString& newPath) {
  const QByteArray both =
      (QFileInfo(oldPath).absoluteFilePath() + QChar(0) + QFileInfo(newPath).absoluteFilePath())
          .toUtf8();
  const QString digest = QString::fromLatin1(
      QCryptographicHash::hash(both, QCryptographicHash::Sha1).toHex().left(10));
  return QStringLiteral("比較結果-%1-%2.txt").arg(QFileInfo(oldPath).completeBaseName(), digest);
}

}  // namespace

ViewPair PrepareViewPair(const SettingsStore& store, const QString& appDir, const QString& oldPath,
                         const QString& newPath) {
  const MainWindowSettings settings = LoadMainWindowSettings(store, appDir);
  OptionFields fields;
  fields.trimTop = settings.trimTop;
  fields.trimTail = settings.trimTail;
  fields.compress = settings.compress;
  fields.split = settings.split;
  fields.splitWidthText = settings.splitWidth.toStdString();
  fields.diffOnly = settings.diffOnly;
  fields.matchLenText = settings.matchLen.toStdString();
  fields.splitChar = settings.splitChar.toStdString();
  fields.oldEncodingName = EncodingChoiceName(settings.encoding);
  fields.newEncodingName = EncodingChoiceName(settings.newEncoding);
  fields.reportEncodingName = EncodingChoiceName(settings.reportEncoding);
  fields.workPath = settings.workPath.toStdString();
  fields.converters = settings.converters.toStdString();
  return MakeViewPair(ReadCompareOptions(fields), oldPath, newPath);
}

ViewPair MakeViewPair(const CompareOptions& options, const QString& oldPath,
                      const QString& newPath) {
  ViewPair pair;
  pair.oldPath = oldPath;
  pair.newPath = newPath;
  pair.options = options;
  // The viewer is already the place the report is shown in, and it shows reports only.
  pair.options.displayWithEditor = false;
  pair.options.format = ResultFormat::kReport;
  pair.reportPath = QString::fromStdString(
      JoinPath(options.workPath, ReportNameOf(oldPath, newPath).toStdString()));
  return pair;
}

Status CompareViewPair(const ViewPair& pair, QStringList* warnings) {
  // The report holds the compared texts: in the default folder it is made for the user only,
  // before the run opens it.
  if (Status ready = PrepareWorkFolder(pair.options.workPath); !ready.ok()) {
    return Status::Error("作業フォルダを使えません。\n\n理由： " + ready.reason());
  }
  (void)MakePrivateFile(pair.reportPath.toStdString());  // the run says why it cannot be opened
  CompareRequest request;
  request.oldName = pair.oldPath.toStdString();
  request.newName = pair.newPath.toStdString();
  request.resultName = pair.reportPath.toStdString();
  request.options = pair.options;
  QuietHost host(warnings);
  RunFlags flags;
  const CompareResult result = ExecuteCompare(request, RunMode::kBatch, host, flags);
  if (result.status == kStatusFailed) return Status::Error(result.message.text);
  if (result.status != kStatusDone) return Status::Error("比較が終わりませんでした。");
  if (warnings) {
    if (const std::string warning = InvalidTextWarning(result); !warning.empty()) {
      warnings->append(ToQString(warning));
    }
  }
  return Status::Ok();
}

}  // namespace verko
