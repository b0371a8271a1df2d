// CompareRun: one comparison run in progress, its state and its phases, shared by the
// units that hold them: compare_run.cpp (the checks, matching and the end of run),
// run_reading.cpp (the read phase) and run_report.cpp (the report phase). ExecuteCompare
// (compare_run.h) is its only user.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/input_file.h"
#include "common/text_fold.h"
#include "common/working_text.h"
#include "compare/compare_run.h"
#include "compare/input_decoding.h"
#include "compare/line_intake.h"
#include "compare/lines/progress.h"
#include "compare/lines/raw_lines.h"
#include "compare/lines/work_database.h"
#include "compare/lines/work_store.h"
#include "compare/piece_writer.h"
#include "compare/result_file.h"
#include "compare/run_memory.h"
#include "compare/run_messages.h"

namespace verko {

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
  CompareResult Run();

 private:
  void RunPhases();

  // Whether every line is linked to the line at its own place in the other file, the one
  // pairing whose report shows no added, deleted or moved line.
  bool MatchedLineForLine() const;

  bool OpenResultFile();

  // The fold under which the run orders and compares its texts.
  TextFold RunFold() const;

  void Refuse(std::string text, const char* title);

  // Ends the run as cancelled; false, for the phase that stops here.
  bool Cancel() {
    result_.status = kStatusCancelled;
    return false;
  }

  void Fail(const std::string& reason);

  std::string WorkDatabasePath() const { return options_.workPath + kWorkDatabaseName; }

  WorkStore& Store() { return workDb_ ? static_cast<WorkStore&>(*workDb_) : noStore_; }

  bool CreateWorkDatabase();

  bool CheckFileNames();

  // A split pattern of the user's own is searched with the regular-expression library,
  // which is loaded here when it is first needed: without it the run is refused rather than
  // cutting wide lines otherwise than asked.
  bool CheckSplitLibrary();

  // Whether the chosen result format can be written here; refuses the run when not.
  bool FormatAvailable();

  bool ConfirmOverwrite();

  bool OpenFiles();

  // The read phase: both files taken into their line tables in the run's text form. False
  // when the run ends here (cancelled or refused).
  bool ReadFiles();

  // A file's byte order mark is given back before its first line by the formats that give
  // the files' own lines back.
  static void KeepByteOrderMark(bool mark, RawLines& lines);

  bool AllCp932Chosen() const;
  // Takes in the two files, CP932 into a CP932 report, as they are read.
  bool TakeInCp932(ByteSource& oldSource, ByteSource& newSource, IntakeOptions& intake,
                   const std::string& splitChar);
  // Whether the files are CP932 into a CP932 report by what their choices say and, for an
  // "auto" one, by its head, read into `oldHead` / `newHead` (the reading goes on from
  // there in any case). False with *goOn false when a head cannot be read, or a stop came.
  bool Cp932ByHeads(std::string& oldHead, std::string& newHead, bool* goOn);

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

  Status OpenInput(InputFile& file, const std::string& name);

  // Reads a file before its encoding is known (for "auto", which looks at the content).
  bool ReadWhole(InputFile& file, FileRole role, std::string& content);

  // The encodings of the files and the report, and with them the run's text form: the
  // files' own bytes when everything is CP932, decoded text otherwise.
  void ChooseEncodings(std::string_view oldContent, std::string_view newContent);

  // Whether the run goes on after a file was read and decoded: not after a cancel, nor
  // when the file could not be read or decoded.
  bool AcceptDecoded(const DecodedFile& decoded, FileRole role);

  bool Decode(std::string& content, FileRole role);

  bool RefuseRead(FileRole role, const Status& status);

  bool RefuseUndecodable(FileRole role);

  // Takes in the lines of one file (as read, or as decoded) and stores its table.
  bool TakeInLines(ByteSource& source, FileRole role, const IntakeOptions& intake,
                   LineTable& table);

  // The report phase: the result is built and goes, piece by piece or whole, where the
  // request says.
  void WriteResult();

  // A result format other than the report: the comparison walked like the report's, then
  // written whole by the format's writer, its bytes as they are.
  void WriteExport();

  void RefuseReport(const PieceWriter::Failure& failure);

  void RefuseWrite(const Status& status);

  // The report encoding cannot hold a character of the report line around `failedAt`:
  // nothing is written, and the message shows that line as the user would see it.
  void RefuseReportEncoding(std::string_view report, std::size_t failedAt);

  void EndOfRun();

  // The editor opens only a text result that was completely written and lists at least a
  // line.
  void StartEditorIfAsked();

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

}  // namespace verko
