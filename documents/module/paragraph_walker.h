// What the walks of Word's and OpenDocument's text have in common: a paragraph becomes a
// line, and what is anchored in it (a text box, a note) reads after it, paragraph by
// paragraph. Each format names its own elements in Blocks and Inline.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "documents/module/text_lines.h"

namespace verko::documents {

class ParagraphWalker {
 public:
  explicit ParagraphWalker(TextLines& lines) : lines_(lines) {}
  virtual ~ParagraphWalker() = default;

  // Every paragraph under `node`, in order.
  virtual void Blocks(const pugi::xml_node& node, int depth) = 0;
  // Whether the text held tracked changes (taken as accepted).
  bool tracked() const { return tracked_; }

 protected:
  // Appends the text of `node`'s runs to `text`, and the blocks anchored there to `later`.
  virtual void Inline(const pugi::xml_node& node, int depth, std::string& text,
                      std::vector<pugi::xml_node>& later) = 0;

  void Paragraph(const pugi::xml_node& paragraph, int depth) {
    std::string text;
    std::vector<pugi::xml_node> later;
    Inline(paragraph, depth, text, later);
    lines_.Add(text);
    for (const pugi::xml_node& node : later) Blocks(node, depth + 1);
  }

  TextLines& lines_;
  bool tracked_ = false;
};

}  // namespace verko::documents
