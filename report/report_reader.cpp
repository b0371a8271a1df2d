#include "report/report_reader.h"

#include <algorithm>
#include <unordered_map>

#include "compare/lines/line_splitter.h"

namespace verko {
namespace {

constexpr std::string_view kTitleStart = "Verko（テキストファイル比較）";
constexpr std::string_view kOldLabel = "旧ファイル = ";
constexpr std::string_view kNewLabel = "新ファイル = ";
constexpr std::string_view kDateLabel = "比較日時 = ";
constexpr std::string_view kSeparator = "======================";
constexpr std::string_view kColumns = "    OLD#     NEW#";
constexpr std::string_view kNoDifferences = "相違点は見つかりませんでした!!";
constexpr std::string_view kStatistics = "統計情報：";
constexpr std::string_view kOldCount = "　旧ファイルの行数（分割後）：";
constexpr std::string_view kNewCount = "　新ファイルの行数（分割後）：";
constexpr std::string_view kCommonCount = "　　　一致行 　　　　　　　：";
constexpr std::string_view kDeletedCount = "　　　削除行 　　　　　　　：";
constexpr std::string_view kAddedCount = "　　　追加行 　　　　　　　：";
constexpr std::string_view kMovedCount = "　　　移動行 　　　　　　　：";
constexpr std::string_view kLineUnit = "行";
constexpr std::string_view kWordUnit = "words";
// The columns before a body line's text: marker, numbers and parts, the bar field.
constexpr std::size_t kTextColumn = kBodyTextColumn;
constexpr int kHeaderLines = 10;

// The header's lines as written: a label followed by a value, or a whole line.
struct HeaderForm {
  std::string_view text;
  bool labelled;
};
constexpr HeaderForm kHeaderForms[kHeaderLines] = {
    {kTitleStart, true}, {"", false}, {kOldLabel, true},   {kNewLabel, true}, {"", false},
    {kDateLabel, true},  {"", false}, {kSeparator, false}, {kColumns, false}, {kSeparator, false}};

// The columns before the text of the five body line forms: "n" a digit of a line number,
// "p" a character of a part number, anything else as written.
constexpr std::string_view kBodyForms[] = {"  nnnnnnpp nnnnnnpp  | ", "- nnnnnnpp           | ",
                                           "+          nnnnnnpp  | ", ">+(nnnnnpp )nnnnnpp  | ",
                                           "<-nnnnnnpp (nnnnnpp )| "};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// The last line of a text that ends inside it, as far as it is whole: a character cut in two
// at the end has been decoded as U+FFFD (one for each of its bytes).
std::string_view WithoutBrokenEnd(std::string_view line) {
  while (line.ends_with(kReplacement)) line.remove_suffix(kReplacement.size());
  return line;
}

// Whether `line`, the last line of a text that ends inside it, is the start of `whole`.
bool IsCutOf(std::string_view whole, std::string_view line) {
  line = WithoutBrokenEnd(line);
  return whole.size() > line.size() && StartsWith(whole, line);
}

bool IsBlank(std::string_view field) {
  return field.find_first_not_of(' ') == std::string_view::npos;
}

// A right-aligned number: blanks, then at least one digit.
bool ParseNumberField(std::string_view field, int* number) {
  std::size_t i = field.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  int value = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return false;
    value = value * 10 + (field[i] - '0');
  }
  *number = value;
  return true;
}

// The column of part numbers: three blanks for part 0, "~d " for parts 1 to 9, the last two digits
// and a blank from part 10 on.
bool ParsePartField(std::string_view field, int* part) {
  if (field == "   ") {
    *part = 0;
    return true;
  }
  if (field.size() != 3 || field[2] != ' ') return false;
  const char tens = field[0], ones = field[1];
  if (ones < '0' || ones > '9') return false;
  if (tens == '~') {
    *part = ones - '0';
    return *part > 0;
  }
  if (tens < '0' || tens > '9') return false;
  *part = (tens - '0') * 10 + (ones - '0');
  return true;
}

bool ParseOldSide(std::string_view text, std::size_t numberAt, std::size_t width,
                  ReportLine* line) {
  return ParseNumberField(text.substr(numberAt, width), &line->oldNo) &&
         ParsePartField(text.substr(8, 3), &line->oldPart);
}

bool ParseNewSide(std::string_view text, std::size_t numberAt, std::size_t width,
                  ReportLine* line) {
  return ParseNumberField(text.substr(numberAt, width), &line->newNo) &&
         ParsePartField(text.substr(17, 3), &line->newPart);
}

// "n 行 m words" after a statistics label (the short variant has no blank after 行);
// the numbers carry grouping commas.
bool ParseCountLine(std::string_view line, std::string_view label, int* lines, int64_t* words) {
  if (!StartsWith(line, label)) return false;
  std::string_view rest = line.substr(label.size());
  const std::size_t unit = rest.find(kLineUnit);
  const std::size_t wordUnit = rest.rfind(kWordUnit);
  if (unit == std::string_view::npos || wordUnit == std::string_view::npos || wordUnit < unit ||
      wordUnit + kWordUnit.size() != rest.size()) {
    return false;
  }
  auto number = [](std::string_view field, int64_t* value) {
    bool digits = false, negative = false;
    int64_t n = 0;
    for (char c : field) {
      if (c >= '0' && c <= '9') {
        n = n * 10 + (c - '0');
        digits = true;
      } else if (c == '-' && !digits) {
        negative = true;
      } else if (c != ',' && c != ' ') {
        return false;
      }
    }
    *value = negative ? -n : n;
    return digits;
  };
  int64_t lineCount = 0;
  if (!number(rest.substr(0, unit), &lineCount)) return false;
  const std::size_t after = unit + kLineUnit.size();
  if (!number(rest.substr(after, wordUnit - after), words)) return false;
  *lines = static_cast<int>(lineCount);
  return true;
}

// Whether `line`, the last line of a text that ends inside it, is the start of a count line
// after `label`: completed with some end of "0 行 0 words", it reads as one.
bool IsCutCountLine(std::string_view line, std::string_view label) {
  line = WithoutBrokenEnd(line);
  if (IsCutOf(label, line)) return true;
  constexpr std::string_view kEnd = "0 行 0 words";
  int lines = 0;
  int64_t words = 0;
  for (std::size_t from = 0; from <= kEnd.size(); ++from) {
    if (ParseCountLine(std::string(line).append(kEnd.substr(from)), label, &lines, &words)) {
      return true;
    }
  }
  return false;
}

// Whether `line`, the last line of a text that ends inside it, is a body line cut before its
// text: completed with the columns of one form (parts of two digits or none), it reads as one.
bool IsCutBodyLine(std::string_view line) {
  if (line.size() >= kTextColumn) return false;
  for (std::string_view form : kBodyForms) {
    for (char part : {'1', ' '}) {
      std::string whole(line);
      for (char c : form.substr(line.size())) whole += c == 'n' ? '1' : c == 'p' ? part : c;
      ReportLine parsed;
      if (ParseBodyLine(whole, &parsed)) return true;
    }
  }
  return false;
}

// Columns a text takes on screen: 1 for ASCII and half-width katakana, 2 for any other
// character (as CP932 counts bytes).
int TextColumns(std::string_view utf8) {
  int columns = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      ++columns;
      ++i;
      continue;
    }
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    // U+FF61..U+FF9F: EF BD A1..EF BD BF, EF BE 80..EF BE 9F.
    const bool halfWidth = length == 3 && b == 0xEF && i + 2 < utf8.size() &&
                           ((static_cast<unsigned char>(utf8[i + 1]) == 0xBD &&
                             static_cast<unsigned char>(utf8[i + 2]) >= 0xA1) ||
                            (static_cast<unsigned char>(utf8[i + 1]) == 0xBE &&
                             static_cast<unsigned char>(utf8[i + 2]) <= 0x9F));
    columns += halfWidth ? 1 : 2;
    i += length;
  }
  return columns;
}

uint64_t MovedKey(const ReportLine& line) {
  return (static_cast<uint64_t>(line.oldNo) << 40) ^ (static_cast<uint64_t>(line.oldPart) << 32) ^
         (static_cast<uint64_t>(line.newNo) << 8) ^ static_cast<uint64_t>(line.newPart);
}

}  // namespace

bool ParseBodyLine(std::string_view text, ReportLine* line) {
  if (text.size() < kTextColumn) return false;
  const std::string_view marker = text.substr(0, 2);
  const std::string_view bar = text.substr(20, 3);
  ReportLine parsed;
  bool ok = false;
  if (marker == "  ") {
    parsed.kind = LineKind::kCommon;
    ok = bar == " | " && ParseOldSide(text, 2, 6, &parsed) && ParseNewSide(text, 11, 6, &parsed);
  } else if (marker == "- ") {
    parsed.kind = LineKind::kDeleted;
    ok = bar == " | " && ParseOldSide(text, 2, 6, &parsed) && IsBlank(text.substr(11, 9));
  } else if (marker == "+ ") {
    parsed.kind = LineKind::kAdded;
    ok = bar == " | " && IsBlank(text.substr(2, 9)) && ParseNewSide(text, 11, 6, &parsed);
  } else if (marker == ">+") {
    parsed.kind = LineKind::kMovedNew;
    ok = bar == " | " && text[2] == '(' && text[11] == ')' && ParseOldSide(text, 3, 5, &parsed) &&
         ParseNewSide(text, 12, 5, &parsed);
  } else if (marker == "<-") {
    parsed.kind = LineKind::kMovedOld;
    ok = bar == ")| " && text[11] == '(' && ParseOldSide(text, 2, 6, &parsed) &&
         ParseNewSide(text, 12, 5, &parsed);
  }
  if (!ok) return false;
  parsed.start = line->start;
  parsed.length = line->length;
  parsed.textOffset = line->textOffset;
  *line = parsed;
  return true;
}

ReportDocument ReportDocument::Parse(std::string utf8) {
  ReportDocument document;
  document.text_ = std::move(utf8);
  LineSplitter splitter(document.text_);
  while (!splitter.AtEnd()) document.rawLines_.push_back(splitter.Next());
  document.isReport_ = document.ParseReport();
  if (document.isReport_) {
    document.LinkMovedLines();
  } else {
    document.KeepAsPlainText();
  }
  for (int i = 0; i < document.Count(); ++i) {
    document.widestText_ = std::max(document.widestText_, TextColumns(document.TextOf(i)));
  }
  document.rawLines_.clear();
  document.rawLines_.shrink_to_fit();
  return document;
}

bool ReportDocument::ParseReport() {
  const std::vector<std::string_view>& raw = rawLines_;
  // A report always ends with a line end; a text without one was cut inside its last line,
  // which may then hold only the start of what was being written.
  const bool endsInLine = !text_.empty() && text_.back() != '\n' && text_.back() != '\r';
  const std::size_t cutLine = endsInLine ? raw.size() - 1 : raw.size();
  const auto at = [&](std::size_t i) { return i < raw.size() ? raw[i] : std::string_view(); };

  // The whole title line says that this is a report; a text that ends after it, inside the
  // header, is a report cut short there.
  if (raw.empty() || cutLine == 0) return false;
  for (std::size_t k = 0; k < std::min<std::size_t>(kHeaderLines, raw.size()); ++k) {
    const HeaderForm& form = kHeaderForms[k];
    if (form.labelled ? StartsWith(raw[k], form.text) : raw[k] == form.text) continue;
    if (k != cutLine || !IsCutOf(form.text, raw[k])) return false;
  }
  const auto value = [&](std::size_t k, std::string_view label) {
    return std::string(StartsWith(at(k), label) ? at(k).substr(label.size()) : std::string_view());
  };
  header_.title = raw[0];
  header_.oldName = value(2, kOldLabel);
  header_.newName = value(3, kNewLabel);
  header_.dateTime = value(5, kDateLabel);

  std::size_t i = kHeaderLines;
  bool noDifferences = false;
  for (; i < raw.size(); ++i) {
    const bool cut = i == cutLine;
    ReportLine line;
    line.start = static_cast<uint32_t>(raw[i].data() - text_.data());
    line.length = static_cast<uint32_t>(raw[i].size());
    if (raw[i] == kSeparator || (cut && IsCutOf(kSeparator, raw[i]))) {
      // The rule before the statistics (a blank line follows it) or a gap between two
      // difference blocks (body lines follow it). A rule the text ends with is left out:
      // nothing after it is there to show which.
      if (i + 1 == raw.size() || raw[i + 1].empty()) break;
      line.kind = LineKind::kGap;
    } else if (raw[i] == kNoDifferences || (cut && IsCutOf(kNoDifferences, raw[i]))) {
      line.kind = LineKind::kNoDifferences;
      noDifferences = true;
    } else if (ParseBodyLine(raw[i], &line)) {
      line.textOffset = kTextColumn;
    } else if (cut && IsCutBodyLine(raw[i])) {
      break;  // cut before its text: nothing of it to show
    } else {
      return false;
    }
    lines_.push_back(line);
  }
  if (i + 1 >= raw.size()) return true;  // a report cut short: no statistics
  return ParseStatistics(i, noDifferences, cutLine);
}

bool ReportDocument::ParseStatistics(std::size_t rule, bool noDifferences, std::size_t cutLine) {
  const std::vector<std::string_view>& raw = rawLines_;
  const auto at = [&](std::size_t i) { return i < raw.size() ? raw[i] : std::string_view(); };
  ReportStatistics& s = statistics_;
  // The lines after the rule: fixed lines, and count lines that fill in `s`.
  struct Expected {
    std::string_view text;
    int* lines = nullptr;
    int64_t* words = nullptr;
  };
  std::vector<Expected> expected = {{""},
                                    {kStatistics},
                                    {kOldCount, &s.oldLines, &s.oldWords},
                                    {kNewCount, &s.newLines, &s.newWords}};
  // A report without differences may give the short variant: the two file counts alone.
  const bool detailed = !noDifferences || (at(rule + 5).empty() && !at(rule + 6).empty());
  if (detailed) {
    expected.insert(expected.end(), {{""},
                                     {kCommonCount, &s.common, &s.wordsCommon},
                                     {kDeletedCount, &s.deleted, &s.wordsDeleted},
                                     {kAddedCount, &s.added, &s.wordsAdded},
                                     {kMovedCount, &s.moved, &s.wordsMoved}});
  }
  std::size_t i = rule + 1;
  for (const Expected& e : expected) {
    const bool whole = i < raw.size() && (e.lines ? ParseCountLine(raw[i], e.text, e.lines, e.words)
                                                  : raw[i] == e.text);
    if (!whole) {
      // Cut short before or inside this line: the block counts as absent.
      const bool cut =
          i >= raw.size() ||
          (i == cutLine && (e.lines ? IsCutCountLine(raw[i], e.text) : IsCutOf(e.text, raw[i])));
      if (!cut) return false;
      s = ReportStatistics();
      return true;
    }
    ++i;
  }
  for (; i < raw.size(); ++i) {
    if (!raw[i].empty()) return false;
  }
  s.detailed = detailed;
  if (!detailed) {
    // The short variant: every line is common.
    s.common = s.oldLines;
    s.wordsCommon = s.oldWords;
  }
  s.present = true;
  return true;
}

void ReportDocument::LinkMovedLines() {
  std::unordered_map<uint64_t, int> oldPlaces;
  for (int i = 0; i < Count(); ++i) {
    if (lines_[i].kind == LineKind::kMovedOld) oldPlaces.emplace(MovedKey(lines_[i]), i);
  }
  for (int i = 0; i < Count(); ++i) {
    if (lines_[i].kind != LineKind::kMovedNew) continue;
    auto found = oldPlaces.find(MovedKey(lines_[i]));
    if (found == oldPlaces.end() || lines_[found->second].partner >= 0) continue;
    lines_[i].partner = found->second;
    lines_[found->second].partner = i;
  }
}

void ReportDocument::KeepAsPlainText() {
  header_ = ReportHeader();
  statistics_ = ReportStatistics();
  lines_.clear();
  lines_.reserve(rawLines_.size());
  for (std::string_view raw : rawLines_) {
    ReportLine line;
    line.start = static_cast<uint32_t>(raw.data() - text_.data());
    line.length = static_cast<uint32_t>(raw.size());
    lines_.push_back(line);
  }
}

std::string_view ReportDocument::LineString(int index) const {
  const ReportLine& line = lines_[index];
  return std::string_view(text_).substr(line.start, line.length);
}

std::string_view ReportDocument::TextOf(int index) const {
  const ReportLine& line = lines_[index];
  if (line.kind == LineKind::kGap || line.kind == LineKind::kNoDifferences) return {};
  return LineString(index).substr(line.textOffset);
}

}  // namespace verko
