#include "compare/compare_run.h"

#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string_view>

#include "common/failure_reason.h"
#include "common/input_file.h"
#include "common/path_parts.h"
#include "common/user_folders.h"
#include "common/working_text.h"
#include "compare/editor_command.h"
#include "compare/input_decoding.h"
#include "compare/line_intake.h"
#include "compare/lines/work_database.h"
#include "compare/report_destination.h"
#include "compare/result_file.h"
#include "compare/work_folder.h"
#include "matching/match_lines.h"
#include "matching/twin_matches.h"
#include "platform/regexp.h"
#include "platform/xlsxwriter_library.h"
#include "platform/zip_library.h"
#include "report/format_writer.h"
#include "report/report_writer.h"

namespace verko {
namespace {

constexpr const char* kTitleFileName = "ファイル指定ミス";
constexpr const char* kTitleCannotOpen = "ファイルを開けない";
constexpr const char* kTitleRunError = "比較処理でエラー";
constexpr const char* kTitleEncoding = "文字コードの不一致";
constexpr const char* kTitleFormat = "出力形式";
constexpr const char* kRoleOld = "旧ファイル";
constexpr const char* kRoleNew = "新ファイル";
constexpr const char* kRoleResult = "結果ファイル";
constexpr const char* kRoleWorkDb = "作業用データベース";

// Input bytes (both files) from which the work database is written on a thread of its own
// while the run goes on; below, its writing costs less than the thread's start and
// hand-overs, and it is written at the end of the run. Measured on two busy cores:
// 2,000-line pairs (90 to 340 KB) ran 4 ms faster without the thread, taking 0.4 to 0.8 ms
// less CPU time, while 32,000-line pairs (1.4 MB) gain from it on an idle second core.
constexpr std::uint64_t kWorkDatabaseThreadBytes = 512 * 1024;

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

// The memory of a run's line tables, match state and report, kept by each thread for its
// next run: a folder run compares many pairs on each thread, and memory given back after
// every pair would be taken fresh from the system, page by page, by the next.
struct RunMemory {
  LineTable oldText, newText;
  MatchState state;
  std::string report;
  bool inUse = false;
};

// The main thread's memory is never given back: the system takes it back whole at the
// process's end, sooner than freeing it block by block (held here, it is never a leak).
RunMemory* mainThreadMemory = nullptr;

RunMemory& ThisThreadsMemory() {
  if (::gettid() == ::getpid()) {
    if (mainThreadMemory == nullptr) mainThreadMemory = new RunMemory;
    return *mainThreadMemory;
  }
  thread_local RunMemory memory;  // given back when the thread ends
  return memory;
}

// The run memory of this thread for one run, emptied again when the run ends; a run
// started while another runs on the same thread takes memory of its own.
class RunMemoryLease {
 public:
  RunMemoryLease() : memory_(&ThisThreadsMemory()) {
    if (memory_->inUse) {
      own_ = std::make_unique<RunMemory>();
      memory_ = own_.get();
    }
    memory_->inUse = true;
  }
  ~RunMemoryLease() {
    memory_->oldText.Clear();
    memory_->newText.Clear();
    memory_->report.clear();
    memory_->inUse = false;
  }
  RunMemoryLease(const RunMemoryLease&) = delete;
  RunMemoryLease& operator=(const RunMemoryLease&) = delete;

  RunMemory& memory() { return *memory_; }

 private:
  RunMemory* memory_;
  std::unique_ptr<RunMemory> own_;
};

class CompareRun {
 public:
  CompareRun(const CompareRequest& request, RunMode mode, CompareHost& host, RunFlags& flags)
      : request_(request),
        options_(request.options),
        mode_(mode),
        host_(host),
        flags_(flags),
        meter_(host, flags),
        oldText_(memory_.memory().oldText),
        newText_(memory_.memory().newText),
        state_(memory_.memory().state) {}

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
    if (!CheckSplitLibrary()) return;
    if (!ConfirmOverwrite()) return;
    if (!OpenFiles()) return;
    if (workDb_) {
      // A pipe's length is not known: it may be long.
      const bool regular = oldFile_.Length() > 0 && newFile_.Length() > 0;
      workDb_->StartWriter(!regular ||
                           oldFile_.Length() + newFile_.Length() >= kWorkDatabaseThreadBytes);
    }
    if (mode_ == RunMode::kInteractive) {
      host_.RecordHistory(request_.oldName, request_.newName, request_.resultName);
    }
    host_.ShowProgressDisplay();
    flags_.CancelRequested = false;
    flags_.CompareRunning = true;
    if (!ReadFiles()) return;
    const TextFold fold = RunFold();
    if (workDb_ && !fold.IsCaseFoldOnly()) workDb_->SetTextFold(fold);
    if (MatchLines(oldText_, newText_, state_, meter_, Store(), fold) == Flow::kStop) {
      Cancel();
      return;
    }
    const TwinMatches twins = FindTwinMatches(oldText_, newText_, state_, fold);
    result_.twinLines = twins.lines;
    result_.twinLineNos = twins.firstLineNos;
    // Matching stored all it stores: the database is written while the report is built.
    if (workDb_) workDb_->Complete();
    if (request_.reportOnlyIfDifferent && !request_.reportSink) {
      // Every line common, in order: the report would list no difference and is not written.
      if (!result_.Cut() && MatchedLineForLine()) {
        result_.counts.CountCommon = newText_.Count();
        return;
      }
      if (!OpenResultFile()) return;
    }
    WriteResult();
  }

  // Whether every line is linked to the line at its own place in the other file, the one
  // pairing whose report shows no added, deleted or moved line.
  bool MatchedLineForLine() const {
    if (oldText_.Count() != newText_.Count()) return false;
    for (int id = 1; id <= newText_.Count(); ++id) {
      if (state_.NewLink[id] != id) return false;
    }
    return true;
  }

  bool OpenResultFile() {
    Status status = resultFile_.Open(request_.resultName);
    if (status.ok()) return true;
    Refuse(
        FileMessage(kRoleResult, request_.resultName, "を開くことができません。", status.reason()),
        kTitleCannotOpen);
    return false;
  }

  // The fold under which the run orders and compares its texts.
  TextFold RunFold() const {
    TextFold fold;
    fold.caseSensitive = options_.caseSensitive;
    fold.ignoreWidth = options_.ignoreWidth;
    fold.twins = working_->TwinCodes();
    return fold;
  }

  void Refuse(std::string text, const char* title) {
    result_.status = kStatusFailed;
    result_.message = CompareMessage{std::move(text), MessageIcon::kExclamation, title};
  }

  // Ends the run as cancelled; false, for the phase that stops here.
  bool Cancel() {
    result_.status = kStatusCancelled;
    return false;
  }

  void Fail(const std::string& reason) {
    Refuse("比較処理中にエラーが起きました。\n\n理由： " + reason, kTitleRunError);
  }

  std::string WorkDatabasePath() const { return options_.workPath + kWorkDatabaseName; }

  WorkStore& Store() { return workDb_ ? static_cast<WorkStore&>(*workDb_) : noStore_; }

  bool CreateWorkDatabase() {
    if (!options_.workDatabase) return true;
    // The work database replaces the file at its name: that must never be a file the user
    // named.
    const std::string path = WorkDatabasePath();
    for (const std::string& name :
         {DiskPath(request_.oldName), DiskPath(request_.newName), request_.resultName}) {
      if (!name.empty() && NamesWorkDatabase(name, path)) {
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
    if (status.ok()) {
      workDb_ = WorkDatabase::Open(path, splitWidth_, &status, options_.workDatabaseThread);
    }
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
    } else if (SameFile(DiskPath(request_.oldName), DiskPath(request_.newName))) {
      Refuse("旧ファイルと新ファイルが同じです。", kTitleFileName);
    } else if (!FormatAvailable()) {
      return false;
    } else if (request_.reportSink) {
      return true;
    } else if (IsSameFile(request_.resultName, DiskPath(request_.oldName))) {
      Refuse("結果ファイルに旧ファイルと同じファイルが指定されています。", kTitleFileName);
    } else if (IsSameFile(request_.resultName, DiskPath(request_.newName))) {
      Refuse("結果ファイルに新ファイルと同じファイルが指定されています。", kTitleFileName);
    } else {
      return true;
    }
    return false;
  }

  // A split pattern of the user's own is searched with the regular-expression library,
  // which is loaded here when it is first needed: without it the run is refused rather than
  // cutting wide lines otherwise than asked.
  bool CheckSplitLibrary() {
    if (options_.splitChar.empty() || options_.splitChar == kDefaultSplitChar) return true;
    std::string missing;
    if (RegexLibraryAvailable(&missing)) return true;
    Refuse("行の分割文字（正規表現）を使えません。\n\n理由： " + missing, kTitleRunError);
    return false;
  }

  // Whether the chosen result format can be written here; refuses the run when not.
  bool FormatAvailable() {
    const ResultFormat format = options_.format;
    if (format != ResultFormat::kReport && !FindFormatWriter(format)) {
      Refuse(std::string("出力形式 ") + ResultFormatName(format) + "（" +
                 ResultFormatCaption(format) + "）は、このバージョンではまだ書き出せません。",
             kTitleFormat);
      return false;
    }
    if (request_.reportSink && !IsTextFormat(format)) {
      Refuse(std::string("出力形式 ") + ResultFormatName(format) +
                 " はテキストではないため、標準出力には書き出せません。結果ファイルを指定してくださ"
                 "い。",
             kTitleFormat);
      return false;
    }
    // The library of a workbook or a Word document is loaded when first needed: without it the run
    // is refused before anything is compared or written.
    std::string missing;
    const bool loaded = format == ResultFormat::kXlsx   ? LoadXlsxWriter(&missing)
                        : format == ResultFormat::kDocx ? LoadZip(&missing)
                                                        : true;
    if (!loaded) {
      Refuse(std::string("出力形式 ") + ResultFormatName(format) + "（" +
                 ResultFormatCaption(format) + "）で書き出せません。\n\n理由： " + missing,
             kTitleFormat);
      return false;
    }
    return true;
  }

  bool ConfirmOverwrite() {
    if (mode_ != RunMode::kInteractive || request_.reportSink || !PathExists(request_.resultName)) {
      return true;
    }
    std::string text = "比較結果を\n  " + request_.resultName + "\nに上書きしてよろしいですか？";
    if (host_.AskOverwrite(text, "結果ファイルの上書きの確認")) return true;
    result_.status = kStatusOverwriteDeclined;
    return false;
  }

  bool OpenFiles() {
    struct {
      const char* role;
      const std::string name;
      Status status;
    } opens[] = {{kRoleOld, ShownName(request_.oldName), Status::Ok()},
                 {kRoleNew, ShownName(request_.newName), Status::Ok()},
                 {kRoleResult, request_.resultName, Status::Ok()}};
    opens[0].status = OpenInput(oldFile_, request_.oldName);
    if (opens[0].status.ok()) opens[1].status = OpenInput(newFile_, request_.newName);
    if (opens[0].status.ok() && opens[1].status.ok() && !request_.reportSink &&
        !request_.reportOnlyIfDifferent) {
      opens[2].status = resultFile_.Open(request_.resultName);
    }
    for (const auto& open : opens) {
      if (!open.status.ok()) {
        Refuse(FileMessage(open.role, open.name, "を開くことができません。", open.status.reason()),
               kTitleCannotOpen);
        return false;
      }
    }
    // While a pipe is waited for, the host serves its events (a cancel among them) as it
    // does at every step of the bar.
    for (InputFile* file : {&oldFile_, &newFile_})
      file->SetWhileWaiting([this] { meter_.Step(0); });
    return true;
  }

  // The read phase: both files taken into their line tables in the run's text form. False
  // when the run ends here (cancelled or refused).
  bool ReadFiles() {
    host_.SetPhaseText("読み取り中");
    IntakeOptions intake;
    intake.normalize = {options_.trimTop, options_.trimTail, options_.compress};
    intake.splitWidth = splitWidth_;
    const std::string& splitChar =
        options_.splitChar.empty() ? std::string(kDefaultSplitChar) : options_.splitChar;
    bool goOn = true;
    if (AllCp932Chosen()) {
      // CP932 files into a CP932 report: each file is taken in as it is read, no further
      // than the line limit needs, its bytes as they are.
      working_ = std::make_unique<WorkingText>(false);
      result_.oldEncoding = result_.newEncoding = result_.reportEncoding = TextEncoding::kCp932;
      intake.splitChar = working_->FromUtf8(splitChar);
      oldFile_.SetStopFlag(&flags_.CancelRequested, flags_.CommandStop);
      newFile_.SetStopFlag(&flags_.CancelRequested, flags_.CommandStop);
      goOn = TakeInLines(oldFile_, FileRole::kOld, intake, oldText_);
      oldFile_.Close();
      if (goOn) goOn = TakeInLines(newFile_, FileRole::kNew, intake, newText_);
      newFile_.Close();
    } else {
      // Both files are decoded before either is taken in: the text form of the run depends
      // on both encodings, and "auto" looks at the content.
      std::string oldContent, newContent;
      if (options_.oldEncoding != EncodingChoice::kAuto &&
          options_.newEncoding != EncodingChoice::kAuto) {
        ChooseEncodings({}, {});
        intake.splitChar = working_->FromUtf8(splitChar);
        const DecodedInputs inputs =
            ReadBothDecoded(oldFile_, result_.oldEncoding, newFile_, result_.newEncoding, *working_,
                            splitWidth_, flags_, oldContent, newContent);
        result_.oldInvalidLines = inputs.oldFile.invalidLines;
        KeepByteOrderMark(inputs.oldFile.byteOrderMark, oldRaw_);
        KeepByteOrderMark(inputs.newFile.byteOrderMark, newRaw_);
        goOn = AcceptDecoded(inputs.oldFile, FileRole::kOld);
        if (goOn) {
          result_.newInvalidLines = inputs.newFile.invalidLines;
          goOn = AcceptDecoded(inputs.newFile, FileRole::kNew);
        }
      } else {
        goOn = ReadWhole(oldFile_, FileRole::kOld, oldContent) &&
               ReadWhole(newFile_, FileRole::kNew, newContent);
        if (goOn) {
          ChooseEncodings(oldContent, newContent);
          intake.splitChar = working_->FromUtf8(splitChar);
          KeepByteOrderMark(result_.oldEncoding == TextEncoding::kUtf8 && HasUtf8Bom(oldContent),
                            oldRaw_);
          KeepByteOrderMark(result_.newEncoding == TextEncoding::kUtf8 && HasUtf8Bom(newContent),
                            newRaw_);
          goOn = Decode(oldContent, FileRole::kOld) && Decode(newContent, FileRole::kNew);
        }
      }
      if (goOn) {
        // Each table keeps its file's text, and its lines point into it.
        TextSource oldSource(oldText_.Hold(std::move(oldContent)));
        goOn = TakeInLines(oldSource, FileRole::kOld, intake, oldText_);
        if (goOn) {
          TextSource newSource(newText_.Hold(std::move(newContent)));
          goOn = TakeInLines(newSource, FileRole::kNew, intake, newText_);
        }
      }
    }
    result_.oldLineCount = oldText_.Count();
    result_.newLineCount = newText_.Count();
    state_.Reset(oldText_.Count(), newText_.Count());
    return goOn;
  }

  // A file's byte order mark is given back before its first line by the formats that give
  // the files' own lines back.
  static void KeepByteOrderMark(bool mark, RawLines& lines) {
    if (mark) lines.SetLead(kUtf8Bom);
  }

  bool AllCp932Chosen() const {
    return options_.oldEncoding == EncodingChoice::kCp932 &&
           options_.newEncoding == EncodingChoice::kCp932 &&
           (options_.reportEncoding == EncodingChoice::kCp932 ||
            options_.reportEncoding == EncodingChoice::kAuto);
  }

  static const char* RoleText(FileRole role) {
    return role == FileRole::kOld ? kRoleOld : kRoleNew;
  }
  std::string FileName(FileRole role) const {
    return ShownName(role == FileRole::kOld ? request_.oldName : request_.newName);
  }

  // Whether an old or new name stands for standard input.
  bool IsStandardInput(const std::string& name) const {
    return !request_.standardInputName.empty() && name == request_.standardInputName;
  }
  // Where an input is found on disk, for telling whether two names are one file.
  std::string DiskPath(const std::string& name) const {
    return IsStandardInput(name) ? "/dev/stdin" : name;
  }
  // An input's name as messages show it.
  std::string ShownName(const std::string& name) const {
    return IsStandardInput(name) ? "標準入力" : name;
  }
  Status OpenInput(InputFile& file, const std::string& name) {
    return IsStandardInput(name) ? file.OpenStandardInput() : file.Open(name);
  }

  // Reads a file before its encoding is known (for "auto", which looks at the content).
  bool ReadWhole(InputFile& file, FileRole role, std::string& content) {
    Status status = ReadUndecoded(file, splitWidth_, flags_, content);
    if (flags_.StopRequested()) return Cancel();
    return status.ok() || RefuseRead(role, status);
  }

  // The encodings of the files and the report, and with them the run's text form: the
  // files' own bytes when everything is CP932, decoded text otherwise.
  void ChooseEncodings(std::string_view oldContent, std::string_view newContent) {
    DetectEncodings(options_.oldEncoding, oldContent, options_.newEncoding, newContent,
                    &result_.oldEncoding, &result_.newEncoding);
    if (options_.reportEncoding != EncodingChoice::kAuto) {
      result_.reportEncoding = ResolveEncoding(options_.reportEncoding, {});
    } else {
      // UTF-16 files are reported in UTF-8.
      result_.reportEncoding =
          result_.oldEncoding == result_.newEncoding && !IsUtf16(result_.oldEncoding)
              ? result_.oldEncoding
              : TextEncoding::kUtf8;
    }
    const bool allCp932 = result_.oldEncoding == TextEncoding::kCp932 &&
                          result_.newEncoding == TextEncoding::kCp932 &&
                          result_.reportEncoding == TextEncoding::kCp932;
    working_ = std::make_unique<WorkingText>(!allCp932);
  }

  // Whether the run goes on after a file was read and decoded: not after a cancel, nor
  // when the file could not be read or decoded.
  bool AcceptDecoded(const DecodedFile& decoded, FileRole role) {
    if (flags_.StopRequested()) return Cancel();
    if (!decoded.status.ok()) return RefuseRead(role, decoded.status);
    return decoded.held || RefuseUndecodable(role);
  }

  bool Decode(std::string& content, FileRole role) {
    int& invalidLines = role == FileRole::kOld ? result_.oldInvalidLines : result_.newInvalidLines;
    TextEncoding encoding = role == FileRole::kOld ? result_.oldEncoding : result_.newEncoding;
    if (IsUtf16(encoding)) {
      content = Utf16ToUtf8(content, encoding);
      encoding = TextEncoding::kUtf8;
    }
    return DecodeContent(*working_, encoding, content, &invalidLines) || RefuseUndecodable(role);
  }

  bool RefuseRead(FileRole role, const Status& status) {
    Refuse(FileMessage(RoleText(role), FileName(role), "を読み取ることができません。",
                       status.reason()),
           kTitleRunError);
    return false;
  }

  bool RefuseUndecodable(FileRole role) {
    Refuse(std::string(RoleText(role)) +
               "に、CP932 で表せない文字や正しくないバイトの種類が多すぎます。\n"
               "この組み合わせは比較できません。",
           kTitleEncoding);
    return false;
  }

  // Takes in the lines of one file (as read, or as decoded) and stores its table.
  bool TakeInLines(ByteSource& source, FileRole role, const IntakeOptions& intake,
                   LineTable& table) {
    IntakeOptions options = intake;
    if (NeedsRawLines(options_.format)) {
      options.rawLines = role == FileRole::kOld ? &oldRaw_ : &newRaw_;
    }
    IntakeResult read = ReadFileLines(source, options, role, host_, meter_, table);
    // The records read so far are stored even when the run is cancelled.
    Store().AppendAllLines(role == FileRole::kOld ? "OldText" : "NewText", table);
    (role == FileRole::kOld ? result_.oldCut : result_.newCut) = read.cut;
    if (read.flow == Flow::kStop || (!read.status.ok() && flags_.StopRequested())) {
      return Cancel();
    }
    if (!read.status.ok()) return RefuseRead(role, read.status);
    if (read.tooSlowLine > 0 && !tooSlowNoted_) {
      // Said once per run: the same pattern is as slow on the other file.
      tooSlowNoted_ = true;
      host_.ShowRunWarning(std::string(RoleText(role)) + " " + std::to_string(read.tooSlowLine) +
                               " 行目: 行の分割文字（正規表現）の検索に時間がかかりすぎるため、"
                               "一致しなかったものとして分割しました。",
                           "行の分割文字");
    }
    return true;
  }

  // The report phase: the result is built and goes, piece by piece or whole, where the
  // request says.
  void WriteResult() {
    if (options_.format != ResultFormat::kReport) {
      WriteExport();
      return;
    }
    ReportSettings settings;
    settings.oldName = request_.oldName;
    settings.newName = request_.newName;
    settings.dateTime = CurrentDateTime();
    if (result_.reportEncoding != TextEncoding::kCp932) {
      // Names may hold characters that take new codes: they take them now, before the
      // destination's thread reads the working text to encode the report.
      settings.oldNameText = working_->FromUtf8(NameForHeader(request_.oldName));
      settings.newNameText = working_->FromUtf8(NameForHeader(request_.newName));
    }
    settings.diffOnly = options_.diffOnly;
    settings.contextLines = options_.contextLines;
    settings.fewestMoves = options_.fewestMoves;
    ReportDestination destination(*working_, result_.reportEncoding, resultFile_,
                                  request_.reportSink);
    settings.flush = destination.PieceTaker();
    std::string& report = memory_.memory().report;
    Flow flow = WriteReport(oldText_, newText_, state_, settings, meter_, report, result_.counts);
    reportWritten_ = true;
    if (destination.Failed()) {
      RefuseReport(destination.failure());
      return;
    }
    // A cancelled report keeps the lines written up to that moment.
    if (flow == Flow::kStop) Cancel();
    if (!destination.Finish(report)) RefuseReport(destination.failure());
  }

  // A result format other than the report: the comparison walked like the report's, then
  // written whole by the format's writer, its bytes as they are.
  void WriteExport() {
    meter_.SetPhaseText("結果出力中");
    Comparison comparison;
    // A patch takes its context from every common line, whatever the report would leave out.
    const bool diffOnly = options_.diffOnly && options_.format != ResultFormat::kUnified;
    const Flow walked = BuildComparison(oldText_, newText_, state_,
                                        {diffOnly, options_.contextLines, options_.fewestMoves},
                                        meter_, comparison);
    result_.counts = comparison.counts;
    // A cancelled run writes no result in these formats: half a table or patch misleads.
    if (walked == Flow::kStop) {
      Cancel();
      return;
    }
    ExportInput input;
    input.comparison = &comparison;
    input.working = working_.get();
    if (NeedsRawLines(options_.format)) {
      input.oldLines = &oldRaw_;
      input.newLines = &newRaw_;
    }
    input.oldName = request_.oldName;
    input.newName = request_.newName;
    input.dateTime = CurrentDateTime();
    input.oldEncoding = result_.oldEncoding;
    input.newEncoding = result_.newEncoding;
    input.options = {options_.trimTop,       options_.trimTail,     options_.compress,
                     options_.split,         splitWidth_,           options_.splitChar,
                     options_.diffOnly,      options_.contextLines, options_.fewestMoves,
                     options_.caseSensitive, options_.ignoreWidth};
    input.options.oldLeft = options_.oldLeft;
    input.options.taishoStyle = options_.taishoStyle;
    input.options.allLines = options_.allLines;
    input.options.title = options_.title;
    std::string bytes;
    Status written = FindFormatWriter(options_.format)(input, bytes);
    if (!written.ok()) {
      Refuse(std::string("出力形式 ") + ResultFormatName(options_.format) +
                 " の結果を作れませんでした。\n\n理由： " + written.reason(),
             kTitleRunError);
      return;
    }
    reportWritten_ = true;
    Status status = request_.reportSink ? request_.reportSink(bytes) : resultFile_.Write(bytes);
    if (status.ok() && !request_.reportSink) status = resultFile_.Close();
    if (!status.ok()) RefuseWrite(status);
    meter_.ShowPercent(100);
    meter_.SetPhaseText("処理完了");
  }

  void RefuseReport(const PieceWriter::Failure& failure) {
    if (failure.encoding) {
      RefuseReportEncoding(failure.piece, failure.failedAt);
    } else {
      RefuseWrite(failure.status);
    }
  }

  void RefuseWrite(const Status& status) {
    if (request_.reportSink) {
      // The report went to standard output, which has no file name to show.
      Refuse("標準出力に書き込むことができません。\n\n理由： " + status.reason(), kTitleRunError);
      return;
    }
    Refuse(FileMessage(kRoleResult, request_.resultName, "に書き込むことができません。",
                       status.reason()),
           kTitleRunError);
  }

  // The report encoding cannot hold a character of the report line around `failedAt`:
  // nothing is written, and the message shows that line as the user would see it.
  void RefuseReportEncoding(std::string_view report, std::size_t failedAt) {
    const std::size_t begin = report.rfind('\n', failedAt);
    const std::size_t start = begin == std::string_view::npos ? 0 : begin + 1;
    const std::size_t end = report.find('\r', failedAt);
    std::string line;
    std::size_t unused = 0;
    working_->ToEncoding(report.substr(start, end - start), TextEncoding::kUtf8, &line, &unused);
    const char* encoding = EncodingCaption(result_.reportEncoding);
    Refuse(std::string("結果ファイルの文字コード（") + encoding +
               "）では表せない文字が、次の行にあります。\n   " + line +
               "\n\n結果ファイルの文字コードに UTF-8 を指定してください。",
           kTitleEncoding);
  }

  void EndOfRun() {
    Status closed = resultFile_.Close();
    if (!closed.ok() && result_.status != kStatusFailed) RefuseWrite(closed);
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

  // The editor opens only a text result that was completely written and lists at least a
  // line.
  void StartEditorIfAsked() {
    if (!options_.displayWithEditor || result_.status != kStatusDone || !reportWritten_) return;
    if (!IsTextFormat(options_.format)) return;  // a workbook is no file for a text editor
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
  std::unique_ptr<WorkingText> working_;
  InputFile oldFile_, newFile_;
  ResultFile resultFile_;
  // The tables, the match state and the report's room, from this thread's run memory.
  RunMemoryLease memory_;
  LineTable& oldText_;
  LineTable& newText_;
  MatchState& state_;
  RawLines oldRaw_, newRaw_;  // kept only for a format that gives the files' lines back
  bool reportWritten_ = false;
  bool tooSlowNoted_ = false;
  // After the line tables: the database's writer thread reads them until it is joined, so
  // on every way out, an exception's unwinding included, the database is finished first
  // and the tables are destroyed after it.
  std::unique_ptr<WorkDatabase> workDb_;
  NullWorkStore noStore_;  // for a run that writes no work database
};

}  // namespace

std::string InvalidTextWarning(const CompareResult& result) {
  std::string warning;
  auto add = [&warning](const char* role, int lines, TextEncoding encoding) {
    if (lines <= 0) return;
    warning += std::string(role) + "の " + std::to_string(lines) + " 行は " +
               EncodingCaption(encoding) +
               " として正しくないバイトを含みます（そのままのバイトとして比較しました）。\n";
  };
  add(kRoleOld, result.oldInvalidLines, result.oldEncoding);
  add(kRoleNew, result.newInvalidLines, result.newEncoding);
  return warning;
}

std::string EncodingsReadNote(const CompareOptions& options, const CompareResult& result) {
  const bool recognised =
      options.oldEncoding == EncodingChoice::kAuto || options.newEncoding == EncodingChoice::kAuto;
  if (!recognised || (result.status != kStatusDone)) return {};
  return std::string("文字コード: ") + kRoleOld + " " + EncodingCaption(result.oldEncoding) + "、" +
         kRoleNew + " " + EncodingCaption(result.newEncoding);
}

std::string TwinNotice(const CompareResult& result) {
  if (result.twinLines <= 0) return {};
  std::string notice =
      "波ダッシュなど表記の異なる同じ文字: " + std::to_string(result.twinLines) + " 行（旧 ";
  for (std::size_t i = 0; i < result.twinLineNos.size(); ++i) {
    if (i > 0) notice += ", ";
    notice += std::to_string(result.twinLineNos[i]);
  }
  if (result.twinLines > static_cast<int>(result.twinLineNos.size())) notice += ", …";
  return notice + "）";
}

CompareResult ExecuteCompare(const CompareRequest& request, RunMode mode, CompareHost& host,
                             RunFlags& flags) {
  return CompareRun(request, mode, host, flags).Run();
}

}  // namespace verko
