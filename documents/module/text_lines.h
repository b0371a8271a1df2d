// The text taken from a document, line by line: UTF-8 lines joined by "\n", headings for
// sheets, slides and pages, and a count of the units (paragraphs, rows, slides, pages).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace verko::documents {

class TextLines {
 public:
  // Appends `paragraph`, one line for each of its lines (a line break inside a paragraph,
  // "\n", "\v" or "\f", starts a new one), blanks at their ends removed and empty ones left
  // out; counts one unit when `unit` is set and anything was added. Throws Refusal past
  // kMaxTextBytes.
  void Add(std::string_view paragraph, bool unit = true);
  // A heading line ("[シート] 名前"), counted as no unit.
  void Heading(std::string_view line) { Add(line, false); }
  // Counts a unit that is not a line of its own (a page, a slide).
  void CountUnit() { ++units_; }

  std::string& text() { return text_; }
  long long units() const { return units_; }

 private:
  // Appends one line; false when it was empty.
  bool AddLine(std::string_view line);

  std::string text_;
  long long units_ = 0;
};

}  // namespace verko::documents
