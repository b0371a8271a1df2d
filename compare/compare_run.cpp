#include "compare/compare_run.h"

#include <ctime>
#include <memory>

#include "common/encoding.h"
#include "common/failure_reason.h"
#include "common/path_parts.h"
#include "common/user_folders.h"
#include "compare/editor_command.h"
#include "compare/input_file.h"
#include "compare/line_intake.h"
#include "compare/lines/work_database.h"
#include "compare/result_file.h"
#include "compare/work_folder.h"
#include "matching/match_lines.h"
#include "report/report_writer.h"

namespace verko {
namespace {

constexpr const char* kTitleFileName = "ファイル指定ミス";
constexpr const char* kTitleCannotOpen = "ファイルを開けない";
constexpr const char* kTitleRunError = "比較処理でエラー";
constexpr const char* kRoleOld = "旧ファイル";
constexpr const char* kRoleNew = "新ファイル";
constexpr const char* kRoleResult = "結果ファイル";
constexpr const char* kRoleWorkDb = "作業用データベース";

// "role\n   name\nphrase\n\n理由： reason", the shape of every message about one file.
std::string FileMessage(const char* role, const std::string& name, const char* phrase,
                        const std::string& reason) {
  return std::string(role) + "\n   " + name + "\n" + phrase + "\n\n理由： " + reason;
}

// Two names denote one file when they are spelt alike or lead to the same file on disk
// (same device and inode, through links too). Names that differ in letter case or in any
// character are different files here.
bool SameFile(const std::string& a, const std::string& b) {
  return a == b || IsSameFile(a, b);
}

// Whether `name` is, or would become, the work database at `dbPath`: the same file, or the
// same file name in the same folder however spelt (before the first run the database does
// not exist yet, and the report written there would be replaced by it).
bool NamesWorkDatabase(const std::string& name, const std::string& dbPath) {
  if (IsSameFile(name, dbPath)) return true;
  if (FileNamePart(name) != FileNamePart(dbPath)) return false;
  const std::string folder = DirPart(name);
  const std::string dbFolder = DirPart(dbPath);
  return IsSameFile(folder.empty() ? "." : folder, dbFolder.empty() ? "." : dbFolder);
}

std::string CurrentDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return text;
}

class CompareRun {
 public:
  CompareRun(const CompareRequest& request, RunMode mode, CompareHost& host, RunFlags& flags)
      : request_(request),
        options_(request.options),
        mode_(mode),
        host_(host),
        flags_(flags),
        meter_(host, flags) {}

  // Whatever fails inside the run (too little memory, a thread that cannot start, any
  // other exception) ends it with status -1 and the reason; the end of run is performed in
  // every case, so the window is unlocked and the files are closed.
  CompareResult Run() {
    try {
      RunPhases();
    } catch (...) {
      Fail(CurrentFailureReason());
    }
    try {
      EndOfRun();
    } catch (...) {
      if (result_.status != kStatusFailed) Fail(CurrentFailureReason());
      host_.UnlockControls();
      flags_.CancelRequested = false;
      flags_.CompareRunning = false;
    }
    return result_;
  }

 private:
  void RunPhases() {
    host_.ShowProgress(0);
    host_.SetPhaseText("");
    host_.LockControls();
    splitWidth_ = options_.split ? options_.splitWidth : 250;
    if (!CreateWorkDatabase()) return;
    if (!CheckFileNames()) return;
    if (!ConfirmOverwrite()) return;
    if (!OpenFiles()) return;
    if (mode_ == RunMode::kInteractive) {
      host_.RecordHistory(request_.oldName, request_.newName, request_.resultName);
    }
    host_.ShowProgressDisplay();
    flags_.CancelRequested = false;
    flags_.CompareRunning = true;
    if (ReadFiles() != Flow::kContinue) return;
    if (MatchLines(oldText_, newText_, state_, meter_, *workDb_) == Flow::kCancel) {
      Cancel();
      return;
    }
    WriteResult();
  }

  void Refuse(std::string text, const char* title) {
    result_.status = kStatusFailed;
    result_.message = CompareMessage{std::move(text), 48, title};
  }

  void Cancel() { result_.status = kStatusCancelled; }

  void Fail(const std::string& reason) {
    Refuse("比較処理中にエラーが起きました。\n\n理由： " + reason, kTitleRunError);
  }

  std::string WorkDatabasePath() const { return options_.workPath + kWorkDatabaseName; }

  bool CreateWorkDatabase() {
    // The work database replaces the file at its name: that must never be a file the user
    // named.
    const std::string path = WorkDatabasePath();
    for (const std::string* name : {&request_.oldName, &request_.newName, &request_.resultName}) {
      if (!name->empty() && NamesWorkDatabase(*name, path)) {
        Refuse(std::string(kRoleWorkDb) + "\n   " + path +
                   "\nが比較するファイルとして指定されています。\n作業フォルダを変更してください。",
               kTitleFileName);
        return false;
      }
    }
    Status status = Status::Ok();
    // The default folder is the user's own and is made on first use; a folder the user
    // chose must exist.
    if (!options_.workPath.empty() && options_.workPath == DefaultWorkFolder()) {
      status = MakePrivateFolder(options_.workPath);
    }
    if (status.ok()) workDb_ = WorkDatabase::Create(path, splitWidth_, &status);
    if (!workDb_) {
      Refuse(FileMessage(kRoleWorkDb, path, "を作成できません。", status.reason()), kTitleRunError);
      return false;
    }
    return true;
  }

  bool CheckFileNames() {
    if (request_.oldName.empty()) {
      Refuse("旧ファイルが指定されていません。", kTitleFileName);
    } else if (request_.newName.empty()) {
      Refuse("新ファイルが指定されていません。", kTitleFileName);
    } else if (request_.resultName.empty()) {
      Refuse("結果ファイルが指定されていません。", kTitleFileName);
    } else if (SameFile(request_.oldName, request_.newName)) {
      Refuse("旧ファイルと新ファイルが同じです。", kTitleFileName);
    } else if (IsSameFile(request_.resultName, request_.oldName)) {
      Refuse("結果ファイルに旧ファイルと同じファイルが指定されています。", kTitleFileName);
    } else if (IsSameFile(request_.resultName, request_.newName)) {
      Refuse("結果ファイルに新ファイルと同じファイルが指定されています。", kTitleFileName);
    } else {
      return true;
    }
    return false;
  }

  bool ConfirmOverwrite() {
    if (mode_ != RunMode::kInteractive || !PathExists(request_.resultName)) return true;
    std::string text = "比較結果を\n  " + request_.resultName + "\nに上書きしてよろしいですか？";
    if (host_.AskOverwrite(text, "結果ファイルの上書きの確認")) return true;
    result_.status = kStatusOverwriteDeclined;
    return false;
  }

  bool OpenFiles() {
    struct {
      const char* role;
      const std::string& name;
      Status status;
    } opens[] = {{kRoleOld, request_.oldName, Status::Ok()},
                 {kRoleNew, request_.newName, Status::Ok()},
                 {kRoleResult, request_.resultName, Status::Ok()}};
    opens[0].status = oldFile_.Open(request_.oldName);
    if (opens[0].status.ok()) opens[1].status = newFile_.Open(request_.newName);
    if (opens[0].status.ok() && opens[1].status.ok()) {
      opens[2].status = resultFile_.Open(request_.resultName);
    }
    for (const auto& open : opens) {
      if (!open.status.ok()) {
        Refuse(FileMessage(open.role, open.name, "を開くことができません。", open.status.reason()),
               kTitleCannotOpen);
        return false;
      }
    }
    return true;
  }

  Flow ReadFiles() {
    IntakeOptions intake;
    intake.normalize = {options_.trimTop, options_.trimTail, options_.compress};
    intake.splitWidth = splitWidth_;
    intake.splitChar = ToCp932(options_.splitChar.empty() ? kDefaultSplitChar : options_.splitChar);
    host_.SetPhaseText("読み取り中");
    Flow flow =
        ReadOne(oldFile_, kRoleOld, request_.oldName, FileRole::kOld, intake, oldText_, "OldText");
    if (flow == Flow::kContinue) {
      flow = ReadOne(newFile_, kRoleNew, request_.newName, FileRole::kNew, intake, newText_,
                     "NewText");
    }
    result_.oldLineCount = oldText_.Count();
    result_.newLineCount = newText_.Count();
    state_.Reset(oldText_.Count(), newText_.Count());
    return flow;
  }

  Flow ReadOne(InputFile& file, const char* role, const std::string& name, FileRole fileRole,
               const IntakeOptions& intake, LineTable& table, const char* tableName) {
    file.SetStopFlag(&flags_.CancelRequested);
    IntakeResult read = ReadFileLines(file, intake, fileRole, host_, meter_, table);
    file.Close();
    // The records read so far are stored even when the run is cancelled.
    workDb_->AppendAllLines(tableName, table);
    (fileRole == FileRole::kOld ? result_.oldCut : result_.newCut) = read.cut;
    if (read.flow == Flow::kCancel) {
      Cancel();
      return Flow::kCancel;
    }
    if (!read.status.ok()) {
      Refuse(FileMessage(role, name, "を読み取ることができません。", read.status.reason()),
             kTitleRunError);
      return Flow::kCancel;
    }
    if (read.tooSlowLine > 0 && !tooSlowNoted_) {
      // Said once per run: the same pattern is as slow on the other file.
      tooSlowNoted_ = true;
      host_.ShowRunWarning(std::string(role) + " " + std::to_string(read.tooSlowLine) +
                               " 行目: 行の分割文字（正規表現）の検索に時間がかかりすぎるため、"
                               "一致しなかったものとして分割しました。",
                           "行の分割文字");
    }
    return Flow::kContinue;
  }

  void WriteResult() {
    ReportSettings settings;
    settings.oldName = request_.oldName;
    settings.newName = request_.newName;
    settings.dateTime = CurrentDateTime();
    settings.diffOnly = options_.diffOnly;
    settings.contextLines = options_.contextLines;
    std::string report;
    Flow flow = WriteReport(oldText_, newText_, state_, settings, meter_, report, result_.counts);
    reportWritten_ = true;
    if (flow == Flow::kCancel) Cancel();
    // A cancelled report keeps the lines written up to that moment.
    Status status = resultFile_.Write(report);
    if (status.ok()) status = resultFile_.Close();
    if (!status.ok()) {
      Refuse(FileMessage(kRoleResult, request_.resultName, "に書き込むことができません。",
                         status.reason()),
             kTitleRunError);
    }
  }

  void EndOfRun() {
    Status closed = resultFile_.Close();
    if (!closed.ok() && result_.status != kStatusFailed) {
      Refuse(FileMessage(kRoleResult, request_.resultName, "に書き込むことができません。",
                         closed.reason()),
             kTitleRunError);
    }
    oldFile_.Close();
    newFile_.Close();
    if (workDb_) {
      Status status = workDb_->Finish();
      if (!status.ok() && result_.status != kStatusFailed) {
        Refuse(FileMessage(kRoleWorkDb, WorkDatabasePath(), "に書き込むことができません。",
                           status.reason()),
               kTitleRunError);
      }
      workDb_.reset();
    }
    host_.UnlockControls();
    flags_.CancelRequested = false;
    flags_.CompareRunning = false;
    StartEditorIfAsked();
    host_.FinishProgressDisplay(mode_);
  }

  // The editor opens only a report that was completely written and lists at least a line.
  void StartEditorIfAsked() {
    if (!options_.displayWithEditor || result_.status != kStatusDone || !reportWritten_) return;
    if (result_.counts.Lines() <= 0) return;
    EditorCommand command = BuildEditorCommand(options_.editorSetting, request_.resultName);
    if (!command.program.empty()) host_.StartEditor(command.program, command.args);
  }

  const CompareRequest& request_;
  const CompareOptions& options_;
  RunMode mode_;
  CompareHost& host_;
  RunFlags& flags_;
  ProgressMeter meter_;
  CompareResult result_;
  int splitWidth_ = 250;
  InputFile oldFile_, newFile_;
  ResultFile resultFile_;
  LineTable oldText_, newText_;
  MatchState state_;
  bool reportWritten_ = false;
  bool tooSlowNoted_ = false;
  // After the line tables: the database's writer thread reads them until it is joined, so
  // on every way out, an exception's unwinding included, the database is finished first
  // and the tables are destroyed after it.
  std::unique_ptr<WorkDatabase> workDb_;
};

}  // namespace

CompareResult ExecuteCompare(const CompareRequest& request, RunMode mode, CompareHost& host,
                             RunFlags& flags) {
  return CompareRun(request, mode, host, flags).Run();
}

}  // namespace verko
