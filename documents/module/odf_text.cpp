#include "documents/module/odf_text.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "documents/module/ooxml_text.h"
#include "documents/module/paragraph_walker.h"
#include "documents/module/refusal.h"
#include "documents/module/xml_part.h"
#include "documents/module_interface.h"

namespace verko::documents {
namespace {

// Repeated rows and columns beyond this many are taken this many times: a sheet that fills
// a million rows with one value is made that way, not typed.
constexpr long kMaxRepeat = 10000;

long Repeat(const pugi::xml_node& node, const char* attribute) {
  return std::clamp<long>(AttributeOf(node, attribute).as_llong(1), 1, kMaxRepeat);
}

// The paragraphs of an OpenDocument body: text:p and text:h, in lists, sections, tables and
// frames; notes after the paragraphs that cite them.
class OdfWalker : public ParagraphWalker {
 public:
  using ParagraphWalker::ParagraphWalker;

  void Blocks(const pugi::xml_node& node, int depth) override {
    CheckDepth(depth);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = LocalName(child);
      if (name == "p" || name == "h") {
        Paragraph(child, depth + 1);
      } else if (name == "tracked-changes") {
        // The deleted text lives here; the text as it reads now lies outside.
        tracked_ |= !child.first_child().empty();
      } else if (!Hidden(name)) {
        Blocks(child, depth + 1);
      }
    }
  }

  // One cell's text on one line.
  static std::string CellText(const pugi::xml_node& cell) {
    TextLines own;
    OdfWalker(own).Blocks(cell, 1);
    std::string text = own.text();
    if (!text.empty()) text.pop_back();
    return OneLine(text);
  }

 private:
  // Parts of the body that are not its text: comments, speaker notes, the templates of an
  // index, the old text of a change.
  static bool Hidden(std::string_view name) {
    return name == "annotation" || name == "notes" || name == "note-citation" ||
           name == "ruby-text" || name.ends_with("-source") || name == "forms";
  }

  void Inline(const pugi::xml_node& node, int depth, std::string& text,
              std::vector<pugi::xml_node>& later) override {
    CheckDepth(depth);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() == pugi::node_pcdata) {
        AppendCollapsed(child.value(), text);
        continue;
      }
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = LocalName(child);
      if (name == "s") {
        text.append(std::clamp<long>(AttributeOf(child, "c").as_llong(1), 1, 1000), ' ');
      } else if (name == "tab") {
        text += '\t';
      } else if (name == "line-break") {
        text += '\n';
      } else if (name == "note-body" || name == "text-box") {
        later.push_back(child);
      } else if (!Hidden(name)) {
        Inline(child, depth + 1, text, later);
      }
    }
  }

  // Blanks in a paragraph's characters count once, as OpenDocument reads them (text:s
  // stands for more).
  static void AppendCollapsed(std::string_view characters, std::string& text) {
    for (char c : characters) {
      const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
      if (!blank) {
        text += c;
      } else if (text.empty() || text.back() != ' ') {
        text += ' ';
      }
    }
  }
};

pugi::xml_node BodyOf(const pugi::xml_node& root, std::string_view kind) {
  return ChildOf(ChildOf(root, "body"), kind);
}

// The headers or footers (`which`: "header", "footer") of every page style, each different
// text once.
void TakeMasterPages(const pugi::xml_node& styles, std::string_view which, TextLines& lines) {
  std::set<std::string> seen;
  for (const pugi::xml_node& page : ChildOf(styles, "master-styles").children()) {
    for (const pugi::xml_node& part : page.children()) {
      if (!LocalName(part).starts_with(which)) continue;
      TextLines own;
      OdfWalker(own).Blocks(part, 1);
      if (!own.text().empty() && seen.insert(own.text()).second) lines.Add(own.text(), false);
    }
  }
}

void TakeRows(const pugi::xml_node& node, TextLines& lines, int depth) {
  CheckDepth(depth);
  for (const pugi::xml_node& child : node.children()) {
    const std::string_view name = LocalName(child);
    if (name != "table-row") {
      if (name.starts_with("table-row") || name == "table-header-rows") {
        TakeRows(child, lines, depth + 1);
      }
      continue;
    }
    std::vector<std::string> cells;
    for (const pugi::xml_node& cell : child.children()) {
      const std::string_view cellName = LocalName(cell);
      if (cellName != "table-cell" && cellName != "covered-table-cell") continue;
      const std::string text = OdfWalker::CellText(cell);
      const long times = std::min<long>(Repeat(cell, "number-columns-repeated"), 1024);
      cells.insert(cells.end(), static_cast<std::size_t>(times), text);
    }
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    if (cells.empty()) continue;
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    for (long i = 0; i < Repeat(child, "number-rows-repeated"); ++i) lines.Add(line);
  }
}

}  // namespace

int OdfKind(ZipParts& zip) {
  std::string mimetype;
  if (!zip.Has("mimetype") || !zip.Read("mimetype", &mimetype)) return kVerkoNotDocument;
  if (mimetype == "application/vnd.oasis.opendocument.text") return kVerkoOdfText;
  if (mimetype == "application/vnd.oasis.opendocument.spreadsheet") return kVerkoOdfSpreadsheet;
  if (mimetype == "application/vnd.oasis.opendocument.presentation") {
    return kVerkoOdfPresentation;
  }
  return kVerkoNotDocument;
}

void TakeOdfText(ZipParts& zip, int kind, TextLines& lines, bool* tracked) {
  std::string manifest;
  if (zip.Read("META-INF/manifest.xml", &manifest) &&
      manifest.find("encryption-data") != std::string::npos) {
    throw Refusal("文書はパスワードで保護されています。保護を外してから比較してください。");
  }
  std::string bytes;
  if (!zip.Read("content.xml", &bytes))
    throw Refusal("文書に必要な部分 content.xml がありません。");
  pugi::xml_document content;
  ParsePart(bytes, "content.xml", content);
  const pugi::xml_node root = content.document_element();
  OdfWalker walker(lines);
  if (kind == kVerkoOdfText) {
    pugi::xml_document styles;
    std::string styleBytes;
    const bool hasStyles = zip.Read("styles.xml", &styleBytes);
    if (hasStyles) ParsePart(styleBytes, "styles.xml", styles);
    if (hasStyles) TakeMasterPages(styles.document_element(), "header", lines);
    walker.Blocks(BodyOf(root, "text"), 1);
    if (hasStyles) TakeMasterPages(styles.document_element(), "footer", lines);
    *tracked = walker.tracked();
  } else if (kind == kVerkoOdfSpreadsheet) {
    for (const pugi::xml_node& table : BodyOf(root, "spreadsheet").children()) {
      if (LocalName(table) != "table") continue;
      lines.Heading(std::string("[シート] ") + AttributeOf(table, "name").value());
      TakeRows(table, lines, 1);
    }
  } else {
    int number = 0;
    for (const pugi::xml_node& page : BodyOf(root, "presentation").children()) {
      if (LocalName(page) != "page") continue;
      lines.Heading("[スライド " + std::to_string(++number) + "]");
      lines.CountUnit();
      TextLines own;
      OdfWalker(own).Blocks(page, 1);
      lines.Add(own.text(), false);
    }
  }
}

}  // namespace verko::documents
