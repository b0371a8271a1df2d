#include "report/taisho_rows.h"

#include <string_view>
#include <utility>

#include "report/changed_characters.h"
#include "report/moved_edits.h"

namespace verko {

namespace {

std::vector<ChangedRange> RangesOf(const std::vector<ByteRange>& ranges) {
  std::vector<ChangedRange> out;
  out.reserve(ranges.size());
  for (const ByteRange& range : ranges) out.push_back({range.begin, range.end});
  return out;
}

bool OnOldSide(TaishoRowKind kind) {
  return kind == TaishoRowKind::kDeleted || kind == TaishoRowKind::kMovedOld;
}

// Appends the rows of one run of differences (deleted, added and moved rows), the like
// deleted and added lines joined. The rows of each side keep their order: before a joined
// row come the rows of either side that precede its two lines there.
void AppendPaired(std::vector<TaishoRow>& run, std::vector<TaishoRow>& out, ChangeUnits units) {
  std::vector<TaishoRow*> oldSide, newSide;
  std::vector<std::size_t> deletedAt, addedAt;  // where each deleted (added) row is in its side
  std::vector<std::string_view> oldTexts, newTexts;
  for (TaishoRow& row : run) {
    if (OnOldSide(row.kind)) {
      if (row.kind == TaishoRowKind::kDeleted) {
        deletedAt.push_back(oldSide.size());
        oldTexts.push_back(row.oldText);
      }
      oldSide.push_back(&row);
    } else {
      if (row.kind == TaishoRowKind::kAdded) {
        addedAt.push_back(newSide.size());
        newTexts.push_back(row.newText);
      }
      newSide.push_back(&row);
    }
  }
  std::size_t o = 0, n = 0;
  for (ChangedLinePair& pair : PairChangedLines(oldTexts, newTexts, TextEncoding::kUtf8, units)) {
    const std::size_t oldAt = deletedAt[pair.oldIndex], newAt = addedAt[pair.newIndex];
    while (o < oldAt) out.push_back(std::move(*oldSide[o++]));
    while (n < newAt) out.push_back(std::move(*newSide[n++]));
    TaishoRow row = std::move(*oldSide[o++]);
    TaishoRow& newRow = *newSide[n++];
    row.kind = TaishoRowKind::kChanged;
    row.newNo = newRow.newNo;
    row.newPart = newRow.newPart;
    row.newText = std::move(newRow.newText);
    row.oldChanged = RangesOf(pair.ranges.oldRanges);
    row.newChanged = RangesOf(pair.ranges.newRanges);
    out.push_back(std::move(row));
  }
  while (o < oldSide.size()) out.push_back(std::move(*oldSide[o++]));
  while (n < newSide.size()) out.push_back(std::move(*newSide[n++]));
  run.clear();
}

std::string Utf8Of(const WorkingText& working, std::string_view text) {
  std::string utf8;
  std::size_t failedAt = 0;
  // UTF-8 holds every character, so the conversion does not stop.
  (void)working.ToEncoding(text, TextEncoding::kUtf8, &utf8, &failedAt);
  return utf8;
}

TaishoRow OmittedRow() {
  TaishoRow row;
  row.kind = TaishoRowKind::kOmitted;
  return row;
}

// Marks the deleted and added rows that are edits of each other though no run paired them
// (lines that moved and changed): their changed characters, and each the other's number.
void MarkMovedEdits(std::vector<TaishoRow>& rows, ChangeUnits units) {
  std::vector<TaishoRow*> deleted, added;
  std::vector<std::string_view> oldTexts, newTexts;
  for (TaishoRow& row : rows) {
    if (row.kind == TaishoRowKind::kDeleted) {
      deleted.push_back(&row);
      oldTexts.push_back(row.oldText);
    } else if (row.kind == TaishoRowKind::kAdded) {
      added.push_back(&row);
      newTexts.push_back(row.newText);
    }
  }
  for (const auto& [i, j] : PairMovedEdits(oldTexts, newTexts, TextEncoding::kUtf8)) {
    TaishoRow& oldRow = *deleted[i];
    TaishoRow& newRow = *added[j];
    const ChangedRanges ranges =
        FindChangedCharacters(oldRow.oldText, newRow.newText, TextEncoding::kUtf8, units);
    oldRow.oldChanged = RangesOf(ranges.oldRanges);
    newRow.newChanged = RangesOf(ranges.newRanges);
    oldRow.movedNo = newRow.newNo;
    newRow.movedNo = oldRow.oldNo;
  }
}

}  // namespace

std::vector<TaishoRow> PairChangedRows(std::vector<TaishoRow> rows, ChangeUnits units) {
  std::vector<TaishoRow> out, run;
  out.reserve(rows.size());
  for (TaishoRow& row : rows) {
    if (row.kind != TaishoRowKind::kCommon && row.kind != TaishoRowKind::kOmitted) {
      run.push_back(std::move(row));
      continue;
    }
    AppendPaired(run, out, units);
    out.push_back(std::move(row));
  }
  AppendPaired(run, out, units);
  MarkMovedEdits(out, units);
  return out;
}

std::vector<TaishoRow> TaishoRowsOf(const Comparison& comparison, const WorkingText& working,
                                    ChangeUnits units) {
  std::vector<TaishoRow> rows;
  rows.reserve(comparison.entries.size());
  for (const ComparisonEntry& entry : comparison.entries) {
    TaishoRow row;
    const LineRecord* oldLine = entry.oldId > 0 ? &comparison.oldText->Line(entry.oldId) : nullptr;
    const LineRecord* newLine = entry.newId > 0 ? &comparison.newText->Line(entry.newId) : nullptr;
    switch (entry.kind) {
      case EntryKind::kCommon:
        row.kind = TaishoRowKind::kCommon;
        break;
      case EntryKind::kDeleted:
        row.kind = TaishoRowKind::kDeleted;
        break;
      case EntryKind::kAdded:
        row.kind = TaishoRowKind::kAdded;
        break;
      case EntryKind::kMovedOld:
        row.kind = TaishoRowKind::kMovedOld;
        row.movedNo = newLine->LineNo;
        newLine = nullptr;
        break;
      case EntryKind::kMovedNew:
        row.kind = TaishoRowKind::kMovedNew;
        row.movedNo = oldLine->LineNo;
        oldLine = nullptr;
        break;
      case EntryKind::kGap:
        row.kind = TaishoRowKind::kOmitted;
        break;
    }
    if (oldLine != nullptr) {
      row.oldNo = oldLine->LineNo;
      row.oldPart = oldLine->PartNo;
      row.oldText = Utf8Of(working, oldLine->Text);
    }
    if (newLine != nullptr) {
      row.newNo = newLine->LineNo;
      row.newPart = newLine->PartNo;
      row.newText = Utf8Of(working, newLine->Text);
    }
    rows.push_back(std::move(row));
  }
  if (rows.empty() && comparison.diffOnly) rows.push_back(OmittedRow());
  return PairChangedRows(std::move(rows), units);
}

std::vector<TaishoRow> TaishoRowsOf(const ReportDocument& document) {
  std::vector<TaishoRow> rows;
  for (int i = 0; i < document.Count(); ++i) {
    const ReportLine& line = document.Line(i);
    TaishoRow row;
    const std::string text(document.TextOf(i));
    switch (line.kind) {
      case LineKind::kCommon:
        row.kind = TaishoRowKind::kCommon;
        row.oldText = row.newText = text;
        break;
      case LineKind::kDeleted:
        row.kind = TaishoRowKind::kDeleted;
        row.oldText = text;
        break;
      case LineKind::kAdded:
        row.kind = TaishoRowKind::kAdded;
        row.newText = text;
        break;
      case LineKind::kMovedOld:
        row.kind = TaishoRowKind::kMovedOld;
        row.oldText = text;
        row.movedNo = line.newNo;
        break;
      case LineKind::kMovedNew:
        row.kind = TaishoRowKind::kMovedNew;
        row.newText = text;
        row.movedNo = line.oldNo;
        break;
      case LineKind::kGap:
      case LineKind::kNoDifferences:
        rows.push_back(OmittedRow());
        continue;
      case LineKind::kPlain:
        continue;
    }
    const bool hasOld = row.kind != TaishoRowKind::kAdded && row.kind != TaishoRowKind::kMovedNew;
    const bool hasNew = row.kind != TaishoRowKind::kDeleted && row.kind != TaishoRowKind::kMovedOld;
    if (hasOld) row.oldNo = line.oldNo, row.oldPart = line.oldPart;
    if (hasNew) row.newNo = line.newNo, row.newPart = line.newPart;
    rows.push_back(std::move(row));
  }
  return PairChangedRows(std::move(rows));
}

}  // namespace verko
