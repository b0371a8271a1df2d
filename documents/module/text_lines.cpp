#include "documents/module/text_lines.h"

#include "documents/module/refusal.h"

namespace verko::documents {

void TextLines::Add(std::string_view paragraph, bool unit) {
  bool added = false;
  std::size_t start = 0;
  while (start <= paragraph.size()) {
    std::size_t end = paragraph.find_first_of("\n\v\f\r", start);
    if (end == std::string_view::npos) end = paragraph.size();
    added |= AddLine(paragraph.substr(start, end - start));
    start = end + 1;
  }
  if (added && unit) ++units_;
}

bool TextLines::AddLine(std::string_view line) {
  // Blanks at the end of a line are layout, not text; a line of nothing but them (an empty
  // paragraph that spaces the page) is no line at all. Blanks at its start stay: a Japanese
  // paragraph's indent is a full-width space the author typed.
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.empty()) return false;
  if (text_.size() + line.size() + 1 > kMaxTextBytes) {
    throw Refusal("文書のテキストが大きすぎます（256 MB を超えます）。");
  }
  text_.append(line);
  text_ += '\n';
  return true;
}

}  // namespace verko::documents
