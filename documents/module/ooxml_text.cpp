#include "documents/module/ooxml_text.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "documents/module/paragraph_walker.h"
#include "documents/module/refusal.h"
#include "documents/module/xml_part.h"
#include "documents/module_interface.h"

namespace verko::documents {
namespace {

struct Relationship {
  std::string id, type, target;  // target resolved to a zip path
};

// The relationships of `part`, in the order its .rels part lists them.
std::vector<Relationship> ReadRelationships(ZipParts& zip, const std::string& part) {
  const std::size_t slash = part.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
  const std::string rels =
      folder + "_rels/" + (slash == std::string::npos ? part : part.substr(slash + 1)) + ".rels";
  std::vector<Relationship> found;
  std::string bytes;
  if (!zip.Read(rels, &bytes)) return found;
  pugi::xml_document document;
  ParsePart(bytes, rels, document);
  for (const pugi::xml_node& node : document.document_element().children()) {
    if (LocalName(node) != "Relationship") continue;
    if (std::string_view(AttributeOf(node, "TargetMode").value()) == "External") continue;
    found.push_back({AttributeOf(node, "Id").value(), AttributeOf(node, "Type").value(),
                     ResolveTarget(part, AttributeOf(node, "Target").value())});
  }
  return found;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The package's main part (its officeDocument relationship), else `fallback`.
std::string MainPart(ZipParts& zip, const std::string& fallback) {
  for (const Relationship& relationship : ReadRelationships(zip, "")) {
    if (EndsWith(relationship.type, "/officeDocument")) return relationship.target;
  }
  return fallback;
}

// The relationship id of an element ("r:id"): an attribute of a prefix, since a slide's
// own "id" has none.
std::string_view RelationshipId(const pugi::xml_node& node) {
  for (const pugi::xml_attribute& attribute : node.attributes()) {
    const std::string_view name = attribute.name();
    const std::size_t colon = name.find(':');
    if (colon != std::string_view::npos && name.substr(colon + 1) == "id") return attribute.value();
  }
  return {};
}

std::string TargetById(const std::vector<Relationship>& relationships, std::string_view id) {
  for (const Relationship& relationship : relationships) {
    if (relationship.id == id) return relationship.target;
  }
  return "";
}

pugi::xml_node ReadPart(ZipParts& zip, const std::string& name, pugi::xml_document& document) {
  std::string bytes;
  if (!zip.Read(name, &bytes)) throw Refusal("文書に必要な部分 " + name + " がありません。");
  ParsePart(bytes, name, document);
  return document.document_element();
}

// Word's text: paragraphs of the body, table cells, text boxes, notes.
class WordWalker : public ParagraphWalker {
 public:
  using ParagraphWalker::ParagraphWalker;

  // Every paragraph under `node`, tables and content controls included.
  void Blocks(const pugi::xml_node& node, int depth) override {
    CheckDepth(depth);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = LocalName(child);
      if (name == "p") {
        Paragraph(child, depth + 1);
      } else if (Deleted(name)) {
        tracked_ = true;
      } else if (name != "Fallback") {
        if (name == "ins" || name == "moveTo") tracked_ = true;
        Blocks(child, depth + 1);
      }
    }
  }

 private:
  // Text that reads no more once the changes are accepted.
  static bool Deleted(std::string_view name) { return name == "del" || name == "moveFrom"; }

  // A text box anchored in a paragraph reads after it.
  void Inline(const pugi::xml_node& node, int depth, std::string& text,
              std::vector<pugi::xml_node>& boxes) override {
    CheckDepth(depth);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = LocalName(child);
      if (name == "t") {
        text += child.text().get();
      } else if (name == "tab" || name == "ptab") {
        text += '\t';
      } else if (name == "br" || name == "cr") {
        const std::string_view type = AttributeOf(child, "type").value();
        if (type != "page" && type != "column") text += '\n';
      } else if (name == "noBreakHyphen") {
        text += '-';
      } else if (name == "txbxContent") {
        boxes.push_back(child);
      } else if (Deleted(name)) {
        tracked_ = true;
      } else if (name == "ins" || name == "moveTo") {
        tracked_ = true;
        Inline(child, depth + 1, text, boxes);
      } else if (name != "pPr" && name != "rPr" && name != "instrText" && name != "delText" &&
                 name != "Fallback") {
        Inline(child, depth + 1, text, boxes);
      }
    }
  }
};

// Footnotes and endnotes, the separators that Word keeps among them left out.
void TakeNotes(ZipParts& zip, const std::string& part, WordWalker& walker) {
  pugi::xml_document document;
  for (const pugi::xml_node& note : ReadPart(zip, part, document).children()) {
    const std::string_view type = AttributeOf(note, "type").value();
    if (type == "separator" || type == "continuationSeparator" || type == "continuationNotice") {
      continue;
    }
    walker.Blocks(note, 1);
  }
}

// Each target of the main part's relationships whose type ends with `type`, each once.
std::vector<std::string> PartsOfType(const std::vector<Relationship>& relationships,
                                     std::string_view type) {
  std::vector<std::string> parts;
  for (const Relationship& relationship : relationships) {
    if (EndsWith(relationship.type, type)) parts.push_back(relationship.target);
  }
  return parts;
}

// Headers or footers: a text that several of them repeat (the first page's, the even pages')
// is taken once.
void TakeHeaders(ZipParts& zip, const std::vector<std::string>& parts, TextLines& lines) {
  std::set<std::string> seen;
  for (const std::string& part : parts) {
    TextLines own;
    WordWalker walker(own);
    pugi::xml_document document;
    walker.Blocks(ReadPart(zip, part, document), 1);
    if (own.text().empty() || !seen.insert(own.text()).second) continue;
    lines.Add(own.text(), false);
  }
}

// A number as Excel shows it in general format: at most 15 significant digits, so that the
// binary value written as 0.30000000000000004 reads 0.3.
std::string GeneralNumber(const std::string& value) {
  char* end = nullptr;
  const double number = std::strtod(value.c_str(), &end);
  if (value.empty() || end != value.c_str() + value.size()) return value;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", number);
  return buffer;
}

// A rich text's characters: its runs' texts, the phonetic guides (furigana) left out.
std::string RichText(const pugi::xml_node& node, int depth) {
  CheckDepth(depth);
  std::string text;
  for (const pugi::xml_node& child : node.children()) {
    const std::string_view name = LocalName(child);
    if (name == "t") {
      text += child.text().get();
    } else if (name != "rPh" && name != "phoneticPr" && child.type() == pugi::node_element) {
      text += RichText(child, depth + 1);
    }
  }
  return text;
}

// The column of a cell reference ("C12" → 2), or -1.
int ColumnOf(std::string_view reference) {
  int column = 0;
  std::size_t i = 0;
  for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
    column = column * 26 + (reference[i] - 'A' + 1);
    if (column > 16384) return -1;
  }
  return i == 0 ? -1 : column - 1;
}

std::string CellValue(const pugi::xml_node& cell, const std::vector<std::string>& shared) {
  const std::string_view type = AttributeOf(cell, "t").value();
  if (type == "inlineStr") return RichText(ChildOf(cell, "is"), 1);
  const std::string value = ChildOf(cell, "v").text().get();
  if (type == "s") {
    char* end = nullptr;
    const unsigned long index = std::strtoul(value.c_str(), &end, 10);
    return index < shared.size() ? shared[index] : std::string();
  }
  if (type == "b") return value == "1" ? "TRUE" : value.empty() ? "" : "FALSE";
  if (type == "str" || type == "e" || type == "d") return value;
  return GeneralNumber(value);
}

}  // namespace

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

namespace {

void TakeSheet(const pugi::xml_node& worksheet, const std::vector<std::string>& shared,
               TextLines& lines) {
  for (const pugi::xml_node& row : ChildOf(worksheet, "sheetData").children()) {
    if (LocalName(row) != "row") continue;
    std::vector<std::string> cells;
    int next = 0;
    for (const pugi::xml_node& cell : row.children()) {
      if (LocalName(cell) != "c") continue;
      const int column = ColumnOf(AttributeOf(cell, "r").value());
      const int at = column >= 0 ? column : next;
      if (static_cast<std::size_t>(at) >= cells.size()) cells.resize(at + 1);
      cells[at] = OneLine(CellValue(cell, shared));
      next = at + 1;
    }
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    if (line.find_first_not_of('\t') != std::string::npos) lines.Add(line);
  }
}

// The text of a DrawingML paragraph (a:p): its runs and fields, line breaks as "\n".
void DrawingText(const pugi::xml_node& node, int depth, std::string& text) {
  CheckDepth(depth);
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view name = LocalName(child);
    if (name == "t") {
      text += child.text().get();
    } else if (name == "br") {
      text += '\n';
    } else if (name != "pPr" && name != "rPr" && name != "endParaRPr") {
      DrawingText(child, depth + 1, text);
    }
  }
}

void DrawingParagraphs(const pugi::xml_node& node, int depth, TextLines& lines) {
  CheckDepth(depth);
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() != pugi::node_element || LocalName(child) == "Fallback") continue;
    if (LocalName(child) == "p") {
      std::string text;
      DrawingText(child, depth + 1, text);
      lines.Add(text, false);
    } else {
      DrawingParagraphs(child, depth + 1, lines);
    }
  }
}

}  // namespace

int OfficeKind(const ZipParts& zip) {
  if (!zip.Has("[Content_Types].xml")) return kVerkoNotDocument;
  if (zip.Has("word/document.xml")) return kVerkoWord;
  if (zip.Has("xl/workbook.xml")) return kVerkoExcel;
  if (zip.Has("ppt/presentation.xml")) return kVerkoPowerPoint;
  return kVerkoNotDocument;
}

void TakeWordText(ZipParts& zip, TextLines& lines, bool* tracked) {
  const std::string main = MainPart(zip, "word/document.xml");
  const std::vector<Relationship> relationships = ReadRelationships(zip, main);
  TakeHeaders(zip, PartsOfType(relationships, "/header"), lines);
  WordWalker walker(lines);
  pugi::xml_document document;
  walker.Blocks(ReadPart(zip, main, document), 1);
  for (const std::string& part : PartsOfType(relationships, "/footnotes")) {
    TakeNotes(zip, part, walker);
  }
  for (const std::string& part : PartsOfType(relationships, "/endnotes")) {
    TakeNotes(zip, part, walker);
  }
  TakeHeaders(zip, PartsOfType(relationships, "/footer"), lines);
  *tracked = walker.tracked();
}

void TakeExcelText(ZipParts& zip, TextLines& lines) {
  const std::string main = MainPart(zip, "xl/workbook.xml");
  const std::vector<Relationship> relationships = ReadRelationships(zip, main);
  std::vector<std::string> shared;
  for (const std::string& part : PartsOfType(relationships, "/sharedStrings")) {
    pugi::xml_document document;
    for (const pugi::xml_node& item : ReadPart(zip, part, document).children()) {
      if (LocalName(item) == "si") shared.push_back(RichText(item, 1));
    }
  }
  pugi::xml_document workbook;
  for (const pugi::xml_node& sheet : ChildOf(ReadPart(zip, main, workbook), "sheets").children()) {
    if (LocalName(sheet) != "sheet") continue;
    const std::string part = TargetById(relationships, RelationshipId(sheet));
    lines.Heading(std::string("[シート] ") + AttributeOf(sheet, "name").value());
    // A chart sheet has no cells; a sheet whose part is missing has nothing to show.
    std::string bytes;
    if (part.empty() || !zip.Read(part, &bytes)) continue;
    pugi::xml_document document;
    ParsePart(bytes, part, document);
    if (LocalName(document.document_element()) == "worksheet") {
      TakeSheet(document.document_element(), shared, lines);
    }
  }
}

void TakePowerPointText(ZipParts& zip, TextLines& lines) {
  const std::string main = MainPart(zip, "ppt/presentation.xml");
  const std::vector<Relationship> relationships = ReadRelationships(zip, main);
  pugi::xml_document presentation;
  const pugi::xml_node slides = ChildOf(ReadPart(zip, main, presentation), "sldIdLst");
  int number = 0;
  for (const pugi::xml_node& slide : slides.children()) {
    if (LocalName(slide) != "sldId") continue;
    lines.Heading("[スライド " + std::to_string(++number) + "]");
    lines.CountUnit();
    const std::string part = TargetById(relationships, RelationshipId(slide));
    if (part.empty()) continue;
    pugi::xml_document document;
    DrawingParagraphs(ReadPart(zip, part, document), 1, lines);
  }
}

}  // namespace verko::documents
