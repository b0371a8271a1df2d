#include "report/format_writer.h"

#include "report/taisho_export.h"

namespace verko {
namespace {

std::string InEncoding(const WorkingText& working, std::string_view text, TextEncoding encoding) {
  std::string out;
  std::size_t failedAt = 0;
  // Every character of a file's working text came from that file's encoding, so it goes
  // back; should one not, what came before it is kept.
  working.ToEncoding(text, encoding, &out, &failedAt);
  return out;
}

// The report line kind of an entry kind.
LineKind KindOf(EntryKind kind) {
  switch (kind) {
    case EntryKind::kCommon:
      return LineKind::kCommon;
    case EntryKind::kDeleted:
      return LineKind::kDeleted;
    case EntryKind::kAdded:
      return LineKind::kAdded;
    case EntryKind::kMovedOld:
      return LineKind::kMovedOld;
    case EntryKind::kMovedNew:
      return LineKind::kMovedNew;
    default:
      return LineKind::kGap;
  }
}

}  // namespace

std::string ExportInput::Utf8(std::string_view text) const {
  return InEncoding(*working, text, TextEncoding::kUtf8);
}

std::string ExportInput::OldLineBytes(std::string_view text) const {
  return InEncoding(*working, text, oldEncoding);
}

std::string ExportInput::NewLineBytes(std::string_view text) const {
  return InEncoding(*working, text, newEncoding);
}

bool ShowsOldText(const ComparisonEntry& entry) {
  return entry.kind == EntryKind::kDeleted || entry.kind == EntryKind::kMovedOld ||
         (entry.kind == EntryKind::kCommon && entry.oldText);
}

std::vector<std::string> ExportInput::ShownTexts() const {
  std::vector<std::string> texts;
  texts.reserve(comparison->entries.size());
  for (const ComparisonEntry& entry : comparison->entries) {
    if (entry.kind == EntryKind::kGap) {
      texts.emplace_back();
    } else if (ShowsOldText(entry)) {
      texts.push_back(Utf8(comparison->oldText->Line(entry.oldId).Text));
    } else {
      texts.push_back(Utf8(comparison->newText->Line(entry.newId).Text));
    }
  }
  return texts;
}

std::vector<ChangedLineMarks> ExportInput::ChangedMarks(
    const std::vector<std::string>& shownTexts) const {
  std::vector<LineKind> kinds;
  std::vector<std::string_view> texts;
  kinds.reserve(comparison->entries.size());
  texts.reserve(shownTexts.size());
  for (const ComparisonEntry& entry : comparison->entries) kinds.push_back(KindOf(entry.kind));
  for (const std::string& text : shownTexts) texts.push_back(text);
  return MarkChangedLines(kinds, texts, TextEncoding::kUtf8, options.units);
}

FormatWriter FindFormatWriter(ResultFormat format) {
  switch (format) {
    case ResultFormat::kUnified:
      return &WriteUnifiedDiff;
    case ResultFormat::kJson:
      return &WriteComparisonJson;
    case ResultFormat::kHtml:
      return &WriteTaishoHtml;
    case ResultFormat::kXlsx:
      return &WriteTaishoXlsx;
    case ResultFormat::kDocx:
      return &WriteTaishoDocx;
    case ResultFormat::kReport:
      break;
  }
  return nullptr;
}

bool NeedsRawLines(ResultFormat format) {
  return format == ResultFormat::kUnified;
}

}  // namespace verko
