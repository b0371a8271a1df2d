// The changed words of the report's deleted and added lines as the viewer marks them: the
// report's blocks of deleted and added lines are paired and compared, and lines that moved
// and changed paired across blocks (MarkChangedLines), the first time a line is shown; the
// result is kept as ranges of each line's shown text (tabs expanded) with the line it is
// paired with. Lines that found no partner have no marks.
#pragma once

#include <QVariantList>
#include <unordered_map>
#include <vector>

#include "report/changed_characters.h"
#include "report/report_reader.h"

namespace verko {

class ChangedMarks {
 public:
  // `document` must outlive the marks; `tabWidth` as the shown text has it.
  ChangedMarks(const ReportDocument& document, int tabWidth,
               ChangeUnits units = ChangeUnits::kWords);

  // Forgets every mark (the document was read again).
  void Reset();
  // The changed characters of report line `line` as QPoint(start, length) in its shown
  // text; empty when it has none.
  QVariantList RangesOf(int line);
  // The report line that line `line` is paired with as a changed version; -1 for none.
  int PartnerOf(int line);

 private:
  void MarkAll();

  const ReportDocument& document_;
  int tabWidth_;
  ChangeUnits units_;
  bool done_ = false;  // the report's lines were compared
  std::unordered_map<int, QVariantList> ranges_;
  std::unordered_map<int, int> partners_;
};

// The positions in the shown text (tabs expanded to stops every `tabWidth` columns, as
// ExpandTabs does) of every byte offset of the UTF-8 text `utf8`, its end included.
std::vector<int> ShownPositions(std::string_view utf8, int tabWidth);

}  // namespace verko
