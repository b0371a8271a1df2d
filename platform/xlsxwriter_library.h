// libxlsxwriter's functions, from the library loaded on first use (see system_library.h):
// only the Excel 新旧対照表 calls them, and the library brings zlib, minizip and libcrypto
// with it, which no other comparison should pay for at start-up.
#pragma once

#include <xlsxwriter.h>

#include <string>

namespace verko {

// clang-format off
#define VERKO_XLSXWRITER_FUNCTIONS(X) \
  X(format_set_align) X(format_set_bg_color) X(format_set_bold) X(format_set_border) \
  X(format_set_font_color) X(format_set_font_name) X(format_set_font_size) \
  X(format_set_text_wrap) X(format_set_underline) X(lxw_strerror) X(workbook_add_format) \
  X(workbook_add_worksheet) X(workbook_close) X(workbook_new_opt) X(workbook_set_properties) \
  X(worksheet_fit_to_pages) X(worksheet_freeze_panes) X(worksheet_merge_range) \
  X(worksheet_repeat_rows) X(worksheet_set_column) X(worksheet_set_footer) \
  X(worksheet_set_landscape) X(worksheet_set_row) \
  X(worksheet_set_margins) X(worksheet_set_paper) X(worksheet_write_blank) \
  X(worksheet_write_number) X(worksheet_write_rich_string) X(worksheet_write_string)
// clang-format on

// workbook_close is workbook_close, and so on.
struct XlsxWriterFunctions {
#define VERKO_XLSXWRITER_MEMBER(name) decltype(&::name) name;
  VERKO_XLSXWRITER_FUNCTIONS(VERKO_XLSXWRITER_MEMBER)
#undef VERKO_XLSXWRITER_MEMBER
};

// Loads libxlsxwriter on the first call (any thread); false with *failure when it cannot be.
bool LoadXlsxWriter(std::string* failure);
// The functions; only after LoadXlsxWriter succeeded.
const XlsxWriterFunctions& XlsxWriter();

}  // namespace verko
