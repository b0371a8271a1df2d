// The changed characters of the report's deleted and added lines as the viewer marks them:
// each block of deleted and added lines is paired and compared (report/changed_characters.h)
// the first time one of its lines is shown, and the result kept as ranges of the line's
// shown text (tabs expanded). Lines that found no partner have no marks.
#pragma once

#include <QVariantList>
#include <unordered_map>
#include <vector>

#include "report/report_reader.h"

namespace verko {

class ChangedMarks {
 public:
  // `document` must outlive the marks; `tabWidth` as the shown text has it.
  ChangedMarks(const ReportDocument& document, int tabWidth);

  // Forgets every mark (the document was read again).
  void Reset();
  // The changed characters of report line `line` as QPoint(start, length) in its shown
  // text; empty when it has none.
  QVariantList RangesOf(int line);

 private:
  void MarkBlockOf(int line);

  const ReportDocument& document_;
  int tabWidth_;
  std::vector<bool> done_;  // per line: its block was compared
  std::unordered_map<int, QVariantList> ranges_;
};

// The positions in the shown text (tabs expanded to stops every `tabWidth` columns, as
// ExpandTabs does) of every byte offset of the UTF-8 text `utf8`, its end included.
std::vector<int> ShownPositions(std::string_view utf8, int tabWidth);

}  // namespace verko
