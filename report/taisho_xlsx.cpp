#include "report/taisho_xlsx.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/fresh_file.h"
#include "common/system_error.h"
#include "platform/xlsxwriter_library.h"

namespace verko {

namespace {

// Excel holds at most 32,767 characters in a cell; a longer text is cut there, marked by
// an ellipsis.
constexpr std::size_t kMostCharacters = 32000;

// Column widths in characters: the line numbers, and each text column (about 30 Japanese
// characters, near the width of a column in an official table), so that the four columns
// print on A4 landscape at about their own size.
constexpr double kNumberWidth = 7;
constexpr double kTextWidth = 60;
// A table by provision has no number columns: its two text columns take their width.
constexpr double kProvisionTextWidth = 67;
// The height of a row per line of its wrapped text, in points (the font's line height), and
// how many half-width characters a column of width w holds per line (a little under w, so
// that a row is never too short for its text).
constexpr double kLineHeight = 13.5;
constexpr double kFillOfWidth = 0.92;
// The Japanese font of Excel's own workbooks; where it is missing, spreadsheet programs take
// a Japanese font of their own.
constexpr const char* kFont = "游ゴシック";
constexpr double kFontSize = 10;

struct Formats {
  lxw_format* title;
  lxw_format* right;    // the date and the note
  lxw_format* heading;  // the header row
  lxw_format* number;
  lxw_format* text;          // a text cell: wrapped, top aligned, bordered
  lxw_format* note;          // （新設）, （削る）, （略）, moves
  lxw_format* plain;         // the font of an unchanged piece of a rich text
  lxw_format* changed;       // the font of a changed piece
  lxw_format* doubled;       // the font of a doubly underlined piece
  lxw_format* wholeChanged;  // a text cell changed throughout
  lxw_format* wholeDoubled;  // a text cell doubly underlined throughout
};

Formats MakeFormats(lxw_workbook* workbook) {
  Formats f{};
  const auto add = [&](bool bordered) {
    lxw_format* format = XlsxWriter().workbook_add_format(workbook);
    XlsxWriter().format_set_font_name(format, kFont);
    XlsxWriter().format_set_font_size(format, kFontSize);
    if (bordered) XlsxWriter().format_set_border(format, LXW_BORDER_THIN);
    XlsxWriter().format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
    return format;
  };
  f.title = add(false);
  XlsxWriter().format_set_font_size(f.title, 16);
  XlsxWriter().format_set_bold(f.title);
  XlsxWriter().format_set_align(f.title, LXW_ALIGN_CENTER);
  f.right = add(false);
  XlsxWriter().format_set_align(f.right, LXW_ALIGN_RIGHT);
  f.heading = add(true);
  XlsxWriter().format_set_bold(f.heading);
  XlsxWriter().format_set_text_wrap(f.heading);
  XlsxWriter().format_set_align(f.heading, LXW_ALIGN_CENTER);
  XlsxWriter().format_set_bg_color(f.heading, 0xEEEEEE);
  f.number = add(true);
  XlsxWriter().format_set_align(f.number, LXW_ALIGN_RIGHT);
  f.text = add(true);
  XlsxWriter().format_set_text_wrap(f.text);
  f.note = add(true);
  XlsxWriter().format_set_text_wrap(f.note);
  XlsxWriter().format_set_font_color(f.note, 0x333333);
  // A piece without a font of its own would take the workbook's default font, not the cell's.
  f.plain = XlsxWriter().workbook_add_format(workbook);
  XlsxWriter().format_set_font_name(f.plain, kFont);
  XlsxWriter().format_set_font_size(f.plain, kFontSize);
  f.changed = XlsxWriter().workbook_add_format(workbook);
  XlsxWriter().format_set_font_name(f.changed, kFont);
  XlsxWriter().format_set_font_size(f.changed, kFontSize);
  XlsxWriter().format_set_underline(f.changed, LXW_UNDERLINE_SINGLE);
  f.doubled = XlsxWriter().workbook_add_format(workbook);
  XlsxWriter().format_set_font_name(f.doubled, kFont);
  XlsxWriter().format_set_font_size(f.doubled, kFontSize);
  XlsxWriter().format_set_underline(f.doubled, LXW_UNDERLINE_DOUBLE);
  f.wholeChanged = add(true);
  XlsxWriter().format_set_text_wrap(f.wholeChanged);
  XlsxWriter().format_set_underline(f.wholeChanged, LXW_UNDERLINE_SINGLE);
  f.wholeDoubled = add(true);
  XlsxWriter().format_set_text_wrap(f.wholeDoubled);
  XlsxWriter().format_set_underline(f.wholeDoubled, LXW_UNDERLINE_DOUBLE);
  return f;
}

// How a piece is underlined: 0 not, 1 once, 2 doubly.
int MarkOf(const TaishoPiece& piece) {
  return piece.doubled ? 2 : piece.changed ? 1 : 0;
}

// The pieces shown safely and cut to what a cell holds, with their marks.
std::vector<std::pair<std::string, int>> ShownPieces(const TaishoCell& cell) {
  std::vector<std::pair<std::string, int>> shown;
  std::size_t characters = 0;
  for (const TaishoPiece& piece : cell.pieces) {
    std::string text;
    AppendShownText(piece.text, &text);
    std::size_t end = 0;
    while (end < text.size() && characters < kMostCharacters) {
      ++end;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
      ++characters;
    }
    const bool cut = end < text.size();
    text.resize(end);
    if (!text.empty()) shown.emplace_back(std::move(text), MarkOf(piece));
    if (cut) {
      shown.emplace_back("…", 0);
      break;
    }
  }
  // Neighbouring pieces of the same kind (an ellipsis after an unchanged piece) are one.
  std::vector<std::pair<std::string, int>> joined;
  for (auto& piece : shown) {
    if (!joined.empty() && joined.back().second == piece.second) {
      joined.back().first += piece.first;
    } else {
      joined.push_back(std::move(piece));
    }
  }
  return joined;
}

lxw_error WriteText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const TaishoCell& cell,
                    const Formats& f) {
  if (!cell.note.empty())
    return XlsxWriter().worksheet_write_string(sheet, row, col, cell.note.c_str(), f.note);
  const auto pieces = ShownPieces(cell);
  if (pieces.empty()) return XlsxWriter().worksheet_write_blank(sheet, row, col, f.text);
  if (pieces.size() == 1) {
    // A rich string needs two pieces at least: one piece is a plain or underlined cell.
    const lxw_format* formats[] = {f.text, f.wholeChanged, f.wholeDoubled};
    return XlsxWriter().worksheet_write_string(sheet, row, col, pieces[0].first.c_str(),
                                               const_cast<lxw_format*>(formats[pieces[0].second]));
  }
  std::vector<lxw_rich_string_tuple> tuples(pieces.size());
  std::vector<lxw_rich_string_tuple*> list;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    lxw_format* fonts[] = {f.plain, f.changed, f.doubled};
    tuples[i].format = fonts[pieces[i].second];
    tuples[i].string = const_cast<char*>(pieces[i].first.c_str());
    list.push_back(&tuples[i]);
  }
  list.push_back(nullptr);
  return XlsxWriter().worksheet_write_rich_string(sheet, row, col, list.data(), f.text);
}

lxw_error WriteNumber(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const TaishoCell& cell,
                      const Formats& f) {
  if (cell.number.empty()) return XlsxWriter().worksheet_write_blank(sheet, row, col, f.number);
  if (cell.number.find('-') == std::string::npos) {
    return XlsxWriter().worksheet_write_number(sheet, row, col, std::atof(cell.number.c_str()),
                                               f.number);
  }
  return XlsxWriter().worksheet_write_string(sheet, row, col, cell.number.c_str(), f.number);
}

std::string Heading(const TaishoTable& table, TaishoSide side) {
  std::string heading(HeadingOf(side));
  const std::string& name = FileNameOf(table, side);
  if (!name.empty()) {
    heading += "\n";
    AppendShownText(name, &heading);
  }
  return heading;
}

// How many lines a cell's text wraps into in a column `width` characters wide: a
// character outside ASCII counts two, and each line end starts a line.
int WrappedLines(const TaishoCell& cell, double width) {
  const double perLine = width * kFillOfWidth;
  int lines = 1;
  double used = 0;
  auto add = [&](std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const unsigned char byte = static_cast<unsigned char>(text[i]);
      if ((byte & 0xC0) == 0x80) continue;
      if (byte == '\n') {
        ++lines, used = 0;
        continue;
      }
      const double w = byte < 0x80 ? 1 : 2;
      if (used + w > perLine) ++lines, used = 0;
      used += w;
    }
  };
  if (!cell.note.empty()) add(cell.note);
  for (const TaishoPiece& piece : cell.pieces) add(piece.text);
  return lines;
}

// Writes every cell; the first error the library reports, or LXW_NO_ERROR.
lxw_error FillSheet(lxw_worksheet* sheet, const TaishoTable& table, const Formats& f) {
  const TaishoSide sides[] = {LeftSide(table), RightSide(table)};
  // A table by provision has only its two text columns; else a number column before each.
  const lxw_col_t perSide = table.byProvision ? 1 : 2;
  const lxw_col_t last = 2 * perSide - 1;
  const double textWidth = table.byProvision ? kProvisionTextWidth : kTextWidth;
  for (lxw_col_t i = 0; i < 2; ++i) {
    if (!table.byProvision) {
      XlsxWriter().worksheet_set_column(sheet, 2 * i, 2 * i, kNumberWidth, nullptr);
    }
    const lxw_col_t text = i * perSide + perSide - 1;
    XlsxWriter().worksheet_set_column(sheet, text, text, textWidth, nullptr);
  }
  std::string title, date(kTaishoDateLabel), note(NoteOf(table));
  AppendShownText(table.title, &title);
  AppendShownText(table.dateTime, &date);
  lxw_error error =
      XlsxWriter().worksheet_merge_range(sheet, 0, 0, 0, last, title.c_str(), f.title);
  if (!error) {
    error = XlsxWriter().worksheet_merge_range(sheet, 1, 0, 1, last, date.c_str(), f.right);
  }
  if (!error) {
    error = XlsxWriter().worksheet_merge_range(sheet, 2, 0, 2, last, note.c_str(), f.right);
  }
  constexpr lxw_row_t kHeadingRow = 3;
  for (int i = 0; i < 2 && !error; ++i) {
    const lxw_col_t col = static_cast<lxw_col_t>(perSide * i);
    if (!table.byProvision) {
      error = XlsxWriter().worksheet_write_string(
          sheet, kHeadingRow, col, std::string(kTaishoLineHeading).c_str(), f.heading);
    }
    if (!error) {
      error = XlsxWriter().worksheet_write_string(sheet, kHeadingRow, col + perSide - 1,
                                                  Heading(table, sides[i]).c_str(), f.heading);
    }
  }
  lxw_row_t row = kHeadingRow + 1;
  for (const TaishoRow& tableRow : table.rows) {
    int lines = 1;
    for (int i = 0; i < 2 && !error; ++i) {
      const TaishoCell cell = CellOf(tableRow, sides[i]);
      const lxw_col_t col = static_cast<lxw_col_t>(perSide * i);
      if (!table.byProvision) error = WriteNumber(sheet, row, col, cell, f);
      if (!error) error = WriteText(sheet, row, col + perSide - 1, cell, f);
      lines = std::max(lines, WrappedLines(cell, textWidth));
    }
    if (error) return error;
    // Spreadsheet programs do not grow a row to its wrapped text when they open a file: the
    // height is set here, from the text.
    if (lines > 1) XlsxWriter().worksheet_set_row(sheet, row, lines * kLineHeight, nullptr);
    ++row;
  }
  XlsxWriter().worksheet_set_footer(sheet, "&C&P / &N");
  XlsxWriter().worksheet_freeze_panes(sheet, kHeadingRow + 1, 0);
  if (!error) error = XlsxWriter().worksheet_repeat_rows(sheet, kHeadingRow, kHeadingRow);
  XlsxWriter().worksheet_set_landscape(sheet);
  XlsxWriter().worksheet_set_paper(sheet, 9);  // A4
  XlsxWriter().worksheet_fit_to_pages(sheet, 1, 0);
  XlsxWriter().worksheet_set_margins(sheet, 0.4, 0.4, 0.5, 0.5);
  return error;
}

}  // namespace

Status MakeTaishoWorkbook(const TaishoTable& table, std::string* bytes) {
  std::string missing;
  if (!LoadXlsxWriter(&missing)) return Status::Error(missing);
  std::error_code error;
  std::string folder = std::filesystem::temp_directory_path(error).string();
  if (error) folder = "/tmp";
  // The workbook goes into a file of ours that has no name where the system allows (so
  // nothing is left behind), which the library opens through its descriptor's path.
  FreshFile file;
  if (!CreateFreshFile(folder + "/verko.xlsx", &file)) {
    return Status::Error(folder + ": " + SystemErrorText(errno));
  }
  struct Cleanup {
    FreshFile& file;
    ~Cleanup() {
      close(file.fd);
      if (!file.tempPath.empty()) unlink(file.tempPath.c_str());
    }
  } cleanup{file};
  const std::string path =
      file.tempPath.empty() ? "/proc/self/fd/" + std::to_string(file.fd) : file.tempPath;

  lxw_workbook_options options{};
  options.tmpdir = folder.data();
  lxw_workbook* workbook = XlsxWriter().workbook_new_opt(path.c_str(), &options);
  if (workbook == nullptr) return Status::Error(SystemErrorText(ENOMEM));
  lxw_doc_properties properties{};
  std::string title;
  AppendShownText(table.title, &title);
  properties.title = title.data();
  XlsxWriter().workbook_set_properties(workbook, &properties);
  // The sheet's name is fixed: a title given by the user may hold what a sheet name may not.
  lxw_worksheet* sheet =
      XlsxWriter().workbook_add_worksheet(workbook, std::string(kTaishoTitle).c_str());
  const Formats formats = MakeFormats(workbook);
  const lxw_error filled = FillSheet(sheet, table, formats);
  errno = 0;
  const lxw_error closed = XlsxWriter().workbook_close(workbook);
  const int closeErrno = errno;
  if (filled != LXW_NO_ERROR) return Status::Error(XlsxWriter().lxw_strerror(filled));
  if (closed != LXW_NO_ERROR) {
    return Status::Error(closeErrno != 0 ? SystemErrorText(closeErrno)
                                         : XlsxWriter().lxw_strerror(closed));
  }

  bytes->clear();
  char buffer[1 << 16];
  for (off_t at = 0;;) {
    const ssize_t n = pread(file.fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Error(SystemErrorText(errno));
    if (n == 0) break;
    bytes->append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  return Status::Ok();
}

}  // namespace verko
