#include <string>
#include <string_view>

#include "common/encoding.h"
#include "compare/compare_run_phases.h"
#include "compare/input_decoding.h"
#include "report/format_writer.h"

namespace verko {

bool CompareRun::ReadFiles() {
  host_.SetPhaseText("読み取り中");
  IntakeOptions intake;
  intake.normalize = {options_.trimTop, options_.trimTail, options_.compress};
  intake.splitWidth = splitWidth_;
  const std::string& splitChar =
      options_.splitChar.empty() ? std::string(kDefaultSplitChar) : options_.splitChar;
  bool goOn = true;
  // The heads of "auto" files that may turn out CP932 into a CP932 report.
  std::string oldContent, newContent;
  if (AllCp932Chosen()) {
    goOn = TakeInCp932(oldFile_, newFile_, intake, splitChar);
  } else if (Cp932ByHeads(oldContent, newContent, &goOn)) {
    HeadThenRest oldSource(oldContent, oldFile_), newSource(newContent, newFile_);
    goOn = TakeInCp932(oldSource, newSource, intake, splitChar);
  } else if (goOn) {
    // Both files are decoded before either is taken in: the text form of the run depends
    // on both encodings, and "auto" looks at the content.
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

bool CompareRun::TakeInCp932(ByteSource& oldSource, ByteSource& newSource, IntakeOptions& intake,
                             const std::string& splitChar) {
  // CP932 files into a CP932 report: each file is taken in as it is read, no further
  // than the line limit needs, its bytes as they are.
  working_ = std::make_unique<WorkingText>(false);
  result_.oldEncoding = result_.newEncoding = result_.reportEncoding = TextEncoding::kCp932;
  intake.splitChar = working_->FromUtf8(splitChar);
  oldFile_.SetStopFlag(&flags_.CancelRequested, flags_.CommandStop);
  newFile_.SetStopFlag(&flags_.CancelRequested, flags_.CommandStop);
  bool goOn = TakeInLines(oldSource, FileRole::kOld, intake, oldText_);
  oldFile_.Close();
  if (goOn) goOn = TakeInLines(newSource, FileRole::kNew, intake, newText_);
  newFile_.Close();
  return goOn;
}

bool CompareRun::Cp932ByHeads(std::string& oldHead, std::string& newHead, bool* goOn) {
  auto cp932OrAuto = [](EncodingChoice choice) {
    return choice == EncodingChoice::kCp932 || choice == EncodingChoice::kAuto;
  };
  if (!cp932OrAuto(options_.oldEncoding) || !cp932OrAuto(options_.newEncoding) ||
      !cp932OrAuto(options_.reportEncoding)) {
    return false;
  }
  // Each "auto" file's head is read (and kept for the reading to go on from) until one does
  // not tell CP932 for certain.
  const struct {
    InputFile& file;
    FileRole role;
    EncodingChoice choice;
    std::string& head;
  } files[] = {{oldFile_, FileRole::kOld, options_.oldEncoding, oldHead},
               {newFile_, FileRole::kNew, options_.newEncoding, newHead}};
  for (const auto& f : files) {
    if (f.choice != EncodingChoice::kAuto) continue;
    const Status status = ReadHead(f.file, flags_, f.head);
    if (flags_.StopRequested() || !status.ok()) {
      *goOn = flags_.StopRequested() ? Cancel() : RefuseRead(f.role, status);
      return false;
    }
    if (!HeadDecidesCp932(f.head)) return false;
  }
  return true;
}

void CompareRun::KeepByteOrderMark(bool mark, RawLines& lines) {
  if (mark) lines.SetLead(kUtf8Bom);
}

bool CompareRun::AllCp932Chosen() const {
  return options_.oldEncoding == EncodingChoice::kCp932 &&
         options_.newEncoding == EncodingChoice::kCp932 &&
         (options_.reportEncoding == EncodingChoice::kCp932 ||
          options_.reportEncoding == EncodingChoice::kAuto);
}

bool CompareRun::ReadWhole(InputFile& file, FileRole role, std::string& content) {
  // `content` may hold the file's head, read to tell its encoding.
  Status status = ReadUndecoded(file, splitWidth_, flags_, content);
  if (flags_.StopRequested()) return Cancel();
  return status.ok() || RefuseRead(role, status);
}

void CompareRun::ChooseEncodings(std::string_view oldContent, std::string_view newContent) {
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

bool CompareRun::AcceptDecoded(const DecodedFile& decoded, FileRole role) {
  if (flags_.StopRequested()) return Cancel();
  if (!decoded.status.ok()) return RefuseRead(role, decoded.status);
  return decoded.held || RefuseUndecodable(role);
}

bool CompareRun::Decode(std::string& content, FileRole role) {
  int& invalidLines = role == FileRole::kOld ? result_.oldInvalidLines : result_.newInvalidLines;
  TextEncoding encoding = role == FileRole::kOld ? result_.oldEncoding : result_.newEncoding;
  if (IsUtf16(encoding)) {
    content = Utf16ToUtf8(content, encoding);
    encoding = TextEncoding::kUtf8;
  }
  return DecodeContent(*working_, encoding, content, &invalidLines) || RefuseUndecodable(role);
}

bool CompareRun::RefuseRead(FileRole role, const Status& status) {
  Refuse(
      FileMessage(RoleText(role), FileName(role), "を読み取ることができません。", status.reason()),
      kTitleRunError);
  return false;
}

bool CompareRun::RefuseUndecodable(FileRole role) {
  Refuse(std::string(RoleText(role)) +
             "に、CP932 で表せない文字や正しくないバイトの種類が多すぎます。\n"
             "この組み合わせは比較できません。",
         kTitleEncoding);
  return false;
}

bool CompareRun::TakeInLines(ByteSource& source, FileRole role, const IntakeOptions& intake,
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

}  // namespace verko
