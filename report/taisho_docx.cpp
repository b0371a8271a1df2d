#include "report/taisho_docx.h"

#include <string_view>

#include "platform/zip_library.h"

namespace verko {
namespace {

constexpr std::string_view kXmlHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kWordNamespace =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// The Japanese font of official tables (明朝), with the one Word takes where it is missing;
// other programs take their own Japanese serif font for the family.
constexpr std::string_view kFont = "游明朝";
constexpr std::string_view kAltFont = "ＭＳ 明朝";
// Sizes in half points, lengths in twentieths of a point.
constexpr int kFontSize = 21;                           // 10.5 pt
constexpr int kTitleSize = 28;                          // 14 pt
constexpr int kPageWidth = 16838, kPageHeight = 11906;  // A4 landscape
constexpr int kMargin = 851;                            // 15 mm
constexpr int kNumberWidth = 700;                       // a line-number column

// Appends a text shown safely (AppendShownText: no control character, which XML may not
// hold) with the characters XML gives a meaning escaped.
void AppendEscaped(std::string_view utf8, std::string* out) {
  std::string shown;
  AppendShownText(utf8, &shown);
  for (const char c : shown) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      default:
        out->push_back(c);
    }
  }
}

// A run of text, underlined once or doubly or not; a tab becomes Word's tab.
void AppendRun(std::string_view text, const char* underline, std::string* out) {
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t tab = text.find('\t', at);
    const std::string_view piece = text.substr(at, tab == std::string_view::npos ? tab : tab - at);
    *out += "<w:r>";
    if (underline != nullptr)
      *out += std::string("<w:rPr><w:u w:val=\"") + underline + "\"/></w:rPr>";
    if (!piece.empty()) {
      *out += "<w:t xml:space=\"preserve\">";
      AppendEscaped(piece, out);
      *out += "</w:t>";
    }
    if (tab != std::string_view::npos) *out += "<w:tab/>";
    *out += "</w:r>";
    if (tab == std::string_view::npos) break;
    at = tab + 1;
  }
}

void AppendParagraph(std::string_view text, const char* properties, std::string* out) {
  *out += "<w:p>";
  *out += properties;
  AppendRun(text, nullptr, out);
  *out += "</w:p>";
}

void OpenCell(int width, bool shaded, std::string* out) {
  *out += "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/>";
  if (shaded) *out += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"EEEEEE\"/>";
  *out += "</w:tcPr>";
}

void AppendTextCell(const TaishoCell& cell, int width, std::string* out) {
  OpenCell(width, false, out);
  *out += "<w:p>";
  if (!cell.note.empty()) AppendRun(cell.note, nullptr, out);
  for (const TaishoPiece& piece : cell.pieces) {
    AppendRun(piece.text, piece.doubled ? "double" : piece.changed ? "single" : nullptr, out);
  }
  *out += "</w:p></w:tc>";
}

void AppendNumberCell(const std::string& number, std::string* out) {
  OpenCell(kNumberWidth, false, out);
  AppendParagraph(number, "<w:pPr><w:jc w:val=\"right\"/></w:pPr>", out);
  *out += "</w:tc>";
}

void AppendHeadingCell(std::string_view heading, std::string_view name, int width,
                       std::string* out) {
  OpenCell(width, true, out);
  *out += "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t>";
  AppendEscaped(heading, out);
  *out += "</w:t></w:r>";
  if (!name.empty()) {
    *out += "<w:r><w:rPr><w:sz w:val=\"16\"/></w:rPr><w:br/><w:t xml:space=\"preserve\">";
    AppendEscaped(name, out);
    *out += "</w:t></w:r>";
  }
  *out += "</w:p></w:tc>";
}

std::string DocumentXml(const TaishoTable& table) {
  const TaishoSide sides[] = {LeftSide(table), RightSide(table)};
  const int textWidth = (kPageWidth - 2 * kMargin - (table.byProvision ? 0 : 2 * kNumberWidth)) / 2;
  std::string out(kXmlHead);
  out += "<w:document ";
  out += kWordNamespace;
  out += "><w:body>";
  // The title: centred, bold and larger.
  out +=
      "<w:p><w:pPr><w:jc w:val=\"center\"/><w:spacing w:after=\"120\"/></w:pPr><w:r><w:rPr>"
      "<w:b/><w:sz w:val=\"" +
      std::to_string(kTitleSize) + "\"/></w:rPr><w:t xml:space=\"preserve\">";
  AppendEscaped(table.title, &out);
  out += "</w:t></w:r></w:p>";
  AppendParagraph(std::string(kTaishoDateLabel) + table.dateTime,
                  "<w:pPr><w:jc w:val=\"right\"/></w:pPr>", &out);
  AppendParagraph(NoteOf(table), "<w:pPr><w:jc w:val=\"right\"/></w:pPr>", &out);

  out +=
      "<w:tbl><w:tblPr><w:tblW w:w=\"5000\" w:type=\"pct\"/><w:tblLayout w:type=\"fixed\"/>"
      "<w:tblBorders>";
  for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
    out += std::string("<w:") + edge +
           " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
  }
  out +=
      "</w:tblBorders><w:tblCellMar><w:left w:w=\"80\" w:type=\"dxa\"/>"
      "<w:right w:w=\"80\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
  for (int i = 0; i < 2; ++i) {
    if (!table.byProvision) out += "<w:gridCol w:w=\"" + std::to_string(kNumberWidth) + "\"/>";
    out += "<w:gridCol w:w=\"" + std::to_string(textWidth) + "\"/>";
  }
  out += "</w:tblGrid>";
  // The header row repeats at the top of every page.
  out += "<w:tr><w:trPr><w:tblHeader/><w:cantSplit/></w:trPr>";
  for (TaishoSide side : sides) {
    if (!table.byProvision) AppendHeadingCell(kTaishoLineHeading, {}, kNumberWidth, &out);
    AppendHeadingCell(HeadingOf(side), FileNameOf(table, side), textWidth, &out);
  }
  out += "</w:tr>";
  for (const TaishoRow& row : table.rows) {
    out += "<w:tr>";
    for (TaishoSide side : sides) {
      const TaishoCell cell = CellOf(row, side);
      if (!table.byProvision) AppendNumberCell(cell.number, &out);
      AppendTextCell(cell, textWidth, &out);
    }
    out += "</w:tr>";
  }
  out += "</w:tbl>";
  // The section: A4 landscape, the footer with the page number.
  out += "<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/><w:pgSz w:w=\"" +
         std::to_string(kPageWidth) + "\" w:h=\"" + std::to_string(kPageHeight) +
         "\" w:orient=\"landscape\"/><w:pgMar w:top=\"" + std::to_string(kMargin) +
         "\" w:right=\"" + std::to_string(kMargin) + "\" w:bottom=\"" + std::to_string(kMargin) +
         "\" w:left=\"" + std::to_string(kMargin) +
         "\" w:header=\"425\" w:footer=\"425\" w:gutter=\"0\"/></w:sectPr>";
  out += "</w:body></w:document>";
  return out;
}

std::string StylesXml() {
  std::string out(kXmlHead);
  out += "<w:styles ";
  out += kWordNamespace;
  out += "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"";
  out += kFont;
  out += "\" w:eastAsia=\"";
  out += kFont;
  out += "\" w:hAnsi=\"";
  out += kFont;
  out += "\" w:cs=\"";
  out += kFont;
  out += "\"/><w:sz w:val=\"" + std::to_string(kFontSize) + "\"/><w:szCs w:val=\"" +
         std::to_string(kFontSize) +
         "\"/><w:lang w:val=\"ja-JP\" w:eastAsia=\"ja-JP\"/></w:rPr></w:rPrDefault>"
         "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"300\" w:lineRule=\"auto\"/>"
         "</w:pPr></w:pPrDefault></w:docDefaults>"
         "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
         "w:val=\"Normal\"/></w:style></w:styles>";
  return out;
}

std::string FontTableXml() {
  std::string out(kXmlHead);
  out += "<w:fonts ";
  out += kWordNamespace;
  out += "><w:font w:name=\"";
  out += kFont;
  out += "\"><w:altName w:val=\"";
  out += kAltFont;
  out +=
      "\"/><w:charset w:val=\"80\"/><w:family w:val=\"roman\"/><w:pitch w:val=\"variable\"/>"
      "</w:font></w:fonts>";
  return out;
}

std::string FooterXml() {
  std::string out(kXmlHead);
  out += "<w:ftr ";
  out += kWordNamespace;
  out +=
      "><w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>"
      "<w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple>"
      "<w:r><w:t xml:space=\"preserve\"> / </w:t></w:r>"
      "<w:fldSimple w:instr=\" NUMPAGES \"><w:r><w:t>1</w:t></w:r></w:fldSimple></w:p></w:ftr>";
  return out;
}

std::string CorePropertiesXml(const TaishoTable& table) {
  std::string out(kXmlHead);
  out +=
      "<cp:coreProperties "
      "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>";
  AppendEscaped(table.title, &out);
  out += "</dc:title><dc:creator>Verko</dc:creator></cp:coreProperties>";
  return out;
}

constexpr std::string_view kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "<Override PartName=\"/word/fontTable.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml\"/>"
    "<Override PartName=\"/word/footer1.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\" "
    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/></Types>";

constexpr std::string_view kPackageRelations =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"word/document.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
    "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/></Relationships>";

constexpr std::string_view kDocumentRelations =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rIdStyles\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
    "2006/relationships/styles\" Target=\"styles.xml\"/>"
    "<Relationship Id=\"rIdFonts\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
    "2006/relationships/fontTable\" Target=\"fontTable.xml\"/>"
    "<Relationship Id=\"rIdFooter\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
    "2006/relationships/footer\" Target=\"footer1.xml\"/></Relationships>";

// A zip of the document's XML files in memory, each deflated; the archive's bytes into *bytes.
Status ZipParts(const std::vector<DocumentPart>& parts, std::string* bytes) {
  if (Status available = TaishoDocumentAvailable(); !available.ok()) return available;
  const ZipFunctions& z = Zip();
  zip_error_t error;
  z.zip_error_init(&error);
  zip_source_t* source = z.zip_source_buffer_create(nullptr, 0, 0, &error);
  if (source == nullptr) {
    const std::string reason = z.zip_error_strerror(&error);
    z.zip_error_fini(&error);
    return Status::Error(reason);
  }
  // The source outlives the archive: its bytes are read after the archive is closed.
  z.zip_source_keep(source);
  zip_t* archive = z.zip_open_from_source(source, ZIP_TRUNCATE, &error);
  struct SourceOwner {
    const ZipFunctions& z;
    zip_source_t* source;
    ~SourceOwner() { z.zip_source_free(source); }
  } owner{z, source};
  if (archive == nullptr) {
    const std::string reason = z.zip_error_strerror(&error);
    z.zip_error_fini(&error);
    return Status::Error(reason);
  }
  z.zip_error_fini(&error);
  for (const DocumentPart& part : parts) {
    zip_source_t* content =
        z.zip_source_buffer(archive, part.content.data(), part.content.size(), 0);
    if (content == nullptr ||
        z.zip_file_add(archive, part.name.c_str(), content, ZIP_FL_ENC_UTF_8) < 0) {
      const std::string reason = z.zip_strerror(archive);
      if (content != nullptr) z.zip_source_free(content);
      z.zip_discard(archive);
      return Status::Error(reason);
    }
  }
  if (z.zip_close(archive) < 0) {
    const std::string reason = z.zip_strerror(archive);
    z.zip_discard(archive);
    return Status::Error(reason);
  }
  zip_stat_t stat;
  z.zip_stat_init(&stat);
  if (z.zip_source_stat(source, &stat) < 0 || z.zip_source_open(source) < 0) {
    return Status::Error("zip: the packed document cannot be read back");
  }
  bytes->resize(static_cast<std::size_t>(stat.size));
  const zip_int64_t read = z.zip_source_read(source, bytes->data(), stat.size);
  z.zip_source_close(source);
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
    return Status::Error("zip: the packed document cannot be read back");
  }
  return Status::Ok();
}

}  // namespace

std::vector<DocumentPart> TaishoDocumentParts(const TaishoTable& table) {
  auto xml = [](std::string_view body) { return std::string(kXmlHead) + std::string(body); };
  return {{"[Content_Types].xml", xml(kContentTypes)},
          {"_rels/.rels", xml(kPackageRelations)},
          {"docProps/core.xml", CorePropertiesXml(table)},
          {"word/_rels/document.xml.rels", xml(kDocumentRelations)},
          {"word/document.xml", DocumentXml(table)},
          {"word/styles.xml", StylesXml()},
          {"word/fontTable.xml", FontTableXml()},
          {"word/footer1.xml", FooterXml()}};
}

Status TaishoDocumentAvailable() {
  std::string missing;
  return LoadZip(&missing) ? Status::Ok() : Status::Error(missing);
}

Status MakeTaishoDocument(const TaishoTable& table, std::string* bytes) {
  return ZipParts(TaishoDocumentParts(table), bytes);
}

}  // namespace verko
