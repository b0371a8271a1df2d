#include "report/report_writer.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "common/encoding.h"
#include "common/program_version.h"
#include "report/report_format.h"
#include "report/report_lines.h"

namespace verko {
namespace {

// How much report is collected before it is handed to the settings' flush.
constexpr std::size_t kFlushSize = 256 * 1024;

// The report's own texts in CP932, converted once per report rather than once per line.
struct ReportLabels {
  std::string separator = ToCp932("======================");
  std::string noDifferences = ToCp932("相違点は見つかりませんでした!!");
  std::string statistics = ToCp932("統計情報：");
  std::string oldLines = ToCp932("　旧ファイルの行数（分割後）：");
  std::string newLines = ToCp932("　新ファイルの行数（分割後）：");
  std::string common = ToCp932("　　　一致行 　　　　　　　：");
  std::string deleted = ToCp932("　　　削除行 　　　　　　　：");
  std::string added = ToCp932("　　　追加行 　　　　　　　：");
  std::string moved = ToCp932("　　　移動行 　　　　　　　：");
  std::string unit = ToCp932(" 行 ");
  std::string unitShort = ToCp932(" 行");
};

// One report written from the comparison: the header, a body line per entry, and the
// statistics. Lives for one call of WriteReport.
class ReportText {
 public:
  ReportText(const Comparison& comparison, const ReportSettings& settings, std::string& out)
      : comparison_(comparison),
        oldText_(*comparison.oldText),
        newText_(*comparison.newText),
        settings_(settings),
        out_(out) {}

  void WriteHeader();
  Flow WriteBody();
  void WriteStatistics();

 private:
  void WriteEntry(const ComparisonEntry& entry);
  void OutputSeparator() { WriteLine(labels_.separator); }
  // Hands the lines written so far on once they are many; kStop when they cannot go.
  Flow FlushIfLarge() {
    if (!settings_.flush || out_.size() < kFlushSize) return Flow::kContinue;
    return settings_.flush(out_) ? Flow::kContinue : Flow::kStop;
  }
  static std::string NameText(const std::optional<std::string>& text, const std::string& name) {
    return text ? *text : ToCp932(NameForHeader(name));
  }
  void WriteLine(std::string_view text) {
    out_.append(text);
    out_.append("\r\n");
  }
  void WriteCountLine(const std::string& label, int lines, int32_t words, const std::string& unit);

  const Comparison& comparison_;
  const LineTable& oldText_;
  const LineTable& newText_;
  const ReportSettings& settings_;
  std::string& out_;
  const ReportLabels labels_;
};

void ReportText::WriteHeader() {
  WriteLine(ToCp932(TitleLine(kVersionMajor, kVersionMinor)));
  WriteLine("");
  WriteLine(ToCp932("旧ファイル = ") + NameText(settings_.oldNameText, settings_.oldName));
  WriteLine(ToCp932("新ファイル = ") + NameText(settings_.newNameText, settings_.newName));
  WriteLine("");
  WriteLine(ToCp932("比較日時 = " + settings_.dateTime));
  WriteLine("");
  OutputSeparator();
  WriteLine("    OLD#     NEW#");
  OutputSeparator();
}

void ReportText::WriteEntry(const ComparisonEntry& entry) {
  switch (entry.kind) {
    case EntryKind::kCommon: {
      const LineRecord& oldLine = oldText_.Line(entry.oldId);
      const LineRecord& newLine = newText_.Line(entry.newId);
      AppendCommonLine(out_, oldLine, newLine, entry.oldText ? oldLine : newLine);
      break;
    }
    case EntryKind::kDeleted:
      AppendDeletedLine(out_, oldText_.Line(entry.oldId));
      break;
    case EntryKind::kAdded:
      AppendAddedLine(out_, newText_.Line(entry.newId));
      break;
    case EntryKind::kMovedOld:
      AppendMovedOldLine(out_, oldText_.Line(entry.oldId), newText_.Line(entry.newId));
      break;
    case EntryKind::kMovedNew:
      AppendMovedNewLine(out_, oldText_.Line(entry.oldId), newText_.Line(entry.newId));
      break;
    case EntryKind::kGap:
      OutputSeparator();
      break;
  }
}

Flow ReportText::WriteBody() {
  for (const ComparisonEntry& entry : comparison_.entries) {
    WriteEntry(entry);
    if (FlushIfLarge() == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

void ReportText::WriteCountLine(const std::string& label, int lines, int32_t words,
                                const std::string& unit) {
  out_.append(label);
  AppendNumberC(out_, lines, 7);
  out_.append(unit);
  AppendNumberC(out_, words, 10);
  WriteLine(" words");
}

void ReportText::WriteStatistics() {
  const ReportCounts& c = comparison_.counts;
  if (comparison_.diffOnly && comparison_.NoDifferences()) {
    WriteLine(labels_.noDifferences);
    OutputSeparator();
    WriteLine("");
    WriteLine(labels_.statistics);
    WriteCountLine(labels_.oldLines, oldText_.Count(), c.WordsCommon, labels_.unitShort);
    WriteCountLine(labels_.newLines, newText_.Count(), c.WordsCommon, labels_.unitShort);
    return;
  }
  OutputSeparator();
  WriteLine("");
  WriteLine(labels_.statistics);
  WriteCountLine(labels_.oldLines, oldText_.Count(), c.WordsCommon + c.WordsDeleted + c.WordsMoved,
                 labels_.unit);
  WriteCountLine(labels_.newLines, newText_.Count(), c.WordsCommon + c.WordsAdded + c.WordsMoved,
                 labels_.unit);
  WriteLine("");
  WriteCountLine(labels_.common, c.CountCommon, c.WordsCommon, labels_.unit);
  WriteCountLine(labels_.deleted, c.CountDeleted, c.WordsDeleted, labels_.unit);
  WriteCountLine(labels_.added, c.CountAdded, c.WordsAdded, labels_.unit);
  WriteCountLine(labels_.moved, c.CountMoved, c.WordsMoved, labels_.unit);
}

// Every body line is at most 25 bytes plus its text, and every record is written at most
// once, so this reserves the whole report and the walk never reallocates.
std::size_t EstimateSize(const LineTable& oldText, const LineTable& newText) {
  std::size_t size = 2048;
  for (const LineTable* table : {&oldText, &newText}) {
    for (const LineRecord& record : table->Records()) size += record.Text.size() + 25;
  }
  return size;
}

}  // namespace

std::uint64_t LargestReportBytes() {
  // A working byte is at most three bytes of the report: a half-width katakana in UTF-8.
  constexpr std::uint64_t kBytesPerWorkingByte = 3;
  constexpr std::uint64_t kLines = 2 * std::uint64_t{kMaxLines};
  constexpr std::uint64_t kLineBytes = kWidestLineHead + kBytesPerWorkingByte * kMaxSplitWidth + 2;
  constexpr std::uint64_t kSeparatorBytes = sizeof "======================\r\n" - 1;
  constexpr std::uint64_t kHeaderAndStatistics = 2 * kBytesPerWorkingByte * PATH_MAX + 16 * 1024;
  constexpr std::uint64_t kMargin = 1024 * 1024;
  return kLines * (kLineBytes + kSeparatorBytes) + kHeaderAndStatistics + kMargin;
}

std::string NameForHeader(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size(); ++pos) {
    auto b = static_cast<unsigned char>(name[pos]);
    if (b < 0x20 || b == 0x7F) {
      shown += '?';
    } else if (b == 0xC2 && pos + 1 < name.size() &&
               static_cast<unsigned char>(name[pos + 1]) >= 0x80 &&
               static_cast<unsigned char>(name[pos + 1]) <= 0x9F) {
      shown += '?';
      ++pos;
    } else {
      shown += name[pos];
    }
  }
  return shown;
}

Flow WriteReport(const LineTable& oldText, const LineTable& newText, MatchState& state,
                 const ReportSettings& settings, ProgressMeter& progress, std::string& out,
                 ReportCounts& counts) {
  progress.SetPhaseText("結果出力中");
  Comparison comparison;
  const Flow walked = BuildComparison(
      oldText, newText, state, {settings.diffOnly, settings.contextLines, settings.fewestMoves},
      progress, comparison);
  counts = comparison.counts;
  if (AppendReport(comparison, settings, out) == Flow::kStop || walked == Flow::kStop) {
    return Flow::kStop;
  }
  progress.ShowPercent(100);
  progress.SetPhaseText("処理完了");
  return Flow::kContinue;
}

Flow AppendReport(const Comparison& comparison, const ReportSettings& settings, std::string& out) {
  const std::size_t estimate = EstimateSize(*comparison.oldText, *comparison.newText);
  out.reserve(out.size() + (settings.flush ? std::min(estimate, 2 * kFlushSize) : estimate));
  ReportText report(comparison, settings, out);
  report.WriteHeader();
  if (report.WriteBody() == Flow::kStop) return Flow::kStop;
  // A cancelled walk keeps the lines decided up to the cancel, without statistics.
  if (!comparison.complete) return Flow::kStop;
  report.WriteStatistics();
  return Flow::kContinue;
}

}  // namespace verko
