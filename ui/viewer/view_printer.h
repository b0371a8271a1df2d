// Printing what a viewer shows: the rows of the current view (the list, or both sides) with
// their colours, changed characters, marks and line numbers, long lines wrapped to the
// paper's width, under a header that names both files and counts the pages. Qt's print
// dialog sends it to a printer or writes a PDF; the preview shows the same pages.
#pragma once

#include <QString>

class QPrinter;
class QTableView;

namespace verko {

// Paints every row of `view`'s model onto `printer`'s pages, `title` (the files' names) and
// "page / pages" at the top of each. Returns the number of pages (0 when the printer could
// not be started).
int PrintView(const QTableView& view, const QString& title, QPrinter* printer);

}  // namespace verko
