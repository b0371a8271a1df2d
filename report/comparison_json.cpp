// The comparison as JSON data: the two files, the options, every line the report lists
// (in its order, with its kind, numbers and text) and the statistics. The layout is
// described in doc/comparison-json.md.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "common/program_version.h"
#include "compare/lines/line_functions.h"
#include "report/format_writer.h"

namespace verko {
namespace {

// The length of the valid UTF-8 character at `pos` (1 to 4), or 0 when the bytes there
// are not one (a stray continuation byte, a cut or overlong sequence, a surrogate).
std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  const auto b = static_cast<unsigned char>(text[pos]);
  std::size_t length;
  uint32_t cp;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[pos + i]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return length;
}

// A JSON string of UTF-8 text. A byte that is not part of a valid UTF-8 character (one
// that was not valid in its file) is written as the lone surrogate \udcXX, XX its value,
// so that the bytes can be told back.
void AppendString(std::string& out, std::string_view text) {
  out += '"';
  char escape[8];
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    const std::size_t length = Utf8CharLength(text, pos);
    if (length == 0) {
      std::snprintf(escape, sizeof escape, "\\udc%02x", b);
      out += escape;
      ++pos;
      continue;
    }
    if (b == '"' || b == '\\') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b == '\n') {
      out += "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b < 0x20 || b == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\u%04x", b);
      out += escape;
    } else {
      out.append(text, pos, length);
    }
    pos += length;
  }
  out += '"';
}

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "utf-8";
    case TextEncoding::kEucJp:
      return "euc-jp";
    default:
      return "cp932";
  }
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::kCommon:
      return "common";
    case EntryKind::kDeleted:
      return "deleted";
    case EntryKind::kAdded:
      return "added";
    case EntryKind::kMovedOld:
      return "moved-old";
    case EntryKind::kMovedNew:
      return "moved-new";
    default:
      return "gap";
  }
}

// Writes the object member by member, with the commas between them.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
  void Close() { out_ += '}'; }

  std::string& Key(const char* key) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\":";
    return out_;
  }
  void Number(const char* key, long long value) { Key(key) += std::to_string(value); }
  void Bool(const char* key, bool value) { Key(key) += value ? "true" : "false"; }
  void String(const char* key, std::string_view value) { AppendString(Key(key), value); }

 private:
  std::string& out_;
  bool first_ = true;
};

class JsonWriter {
 public:
  JsonWriter(const ExportInput& input, std::string& out)
      : input_(input), comparison_(*input.comparison), out_(out) {}

  void Write() {
    JsonObject top(out_);
    top.String("program", "Verko " + ProgramVersionText());
    top.Number("schema", 1);
    top.String("date", input_.dateTime);
    WriteFiles(top.Key("files"));
    WriteOptions(top.Key("options"));
    WriteLines(top.Key("lines"));
    WriteStatistics(top.Key("statistics"));
    top.Close();
    out_ += '\n';
  }

 private:
  void WriteFiles(std::string& out) {
    JsonObject files(out);
    JsonObject oldFile(files.Key("old"));
    oldFile.String("name", input_.oldName);
    oldFile.String("encoding", EncodingName(input_.oldEncoding));
    oldFile.Close();
    JsonObject newFile(files.Key("new"));
    newFile.String("name", input_.newName);
    newFile.String("encoding", EncodingName(input_.newEncoding));
    newFile.Close();
    files.Close();
  }

  void WriteOptions(std::string& out) {
    const ExportOptions& options = input_.options;
    JsonObject object(out);
    object.Bool("trimTop", options.trimTop);
    object.Bool("trimTrailing", options.trimTail);
    object.Bool("compress", options.compress);
    if (options.split) {
      JsonObject split(object.Key("split"));
      split.Number("width", options.splitWidth);
      split.String("chars", options.splitChar.empty() ? kDefaultSplitChar : options.splitChar);
      split.Close();
    } else {
      object.Key("split") += "null";
    }
    object.Bool("diffOnly", options.diffOnly);
    object.Number("contextLines", options.contextLines);
    object.Bool("fewestMoves", options.fewestMoves);
    object.Bool("caseSensitive", options.caseSensitive);
    object.Bool("ignoreWidth", options.ignoreWidth);
    object.String("units", options.units == ChangeUnits::kWords ? "word" : "char");
    object.Close();
  }

  // One side of a line: its number and part.
  void WriteSide(std::string& out, const LineRecord& record) {
    JsonObject side(out);
    side.Number("line", record.LineNo);
    side.Number("part", record.PartNo);
    side.Close();
  }

  // The line a deleted or added line is paired with as its changed version: the other
  // side's number and part.
  void WritePartner(JsonObject& line, const ComparisonEntry& entry,
                    const ComparisonEntry& partner) {
    if (entry.oldId > 0 && partner.newId > 0) {
      WriteSide(line.Key("partner"), comparison_.newText->Line(partner.newId));
    } else if (entry.newId > 0 && partner.oldId > 0) {
      WriteSide(line.Key("partner"), comparison_.oldText->Line(partner.oldId));
    }
  }

  void WriteLines(std::string& out) {
    const std::vector<std::string> texts = input_.ShownTexts();
    const std::vector<ChangedLineMarks> marks = input_.ChangedMarks(texts);
    auto mark = marks.begin();
    out += '[';
    for (std::size_t k = 0; k < comparison_.entries.size(); ++k) {
      const ComparisonEntry& entry = comparison_.entries[k];
      out += k == 0 ? "\n" : ",\n";
      JsonObject line(out);
      line.String("kind", KindName(entry.kind));
      if (entry.oldId > 0) WriteSide(line.Key("old"), comparison_.oldText->Line(entry.oldId));
      if (entry.newId > 0) WriteSide(line.Key("new"), comparison_.newText->Line(entry.newId));
      if (entry.kind != EntryKind::kGap) line.String("text", texts[k]);
      if (mark != marks.end() && mark->line == static_cast<int>(k)) {
        WriteRanges(line.Key("changes"), texts[k], mark->ranges);
        WritePartner(line, entry, comparison_.entries[mark->partner]);
        ++mark;
      }
      line.Close();
    }
    out += "\n]";
  }

  // Changed ranges as [begin, end) pairs of character positions in the text (a byte that
  // is escaped counts as one character, like a character).
  static void WriteRanges(std::string& out, std::string_view text,
                          const std::vector<ByteRange>& ranges) {
    out += '[';
    std::size_t pos = 0, chars = 0;
    auto charsTo = [&](std::size_t offset) {
      for (; pos < offset && pos < text.size(); ++chars) {
        pos += std::max<std::size_t>(Utf8CharLength(text, pos), 1);
      }
      return chars;
    };
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      if (i > 0) out += ',';
      const std::size_t begin = charsTo(ranges[i].begin);
      out += '[' + std::to_string(begin) + ',' + std::to_string(charsTo(ranges[i].end)) + ']';
    }
    out += ']';
  }

  void WriteCount(JsonObject& parent, const char* key, int lines, int32_t words) {
    JsonObject count(parent.Key(key));
    count.Number("lines", lines);
    count.Number("words", words);
    count.Close();
  }

  void WriteStatistics(std::string& out) {
    const ReportCounts& c = comparison_.counts;
    JsonObject stats(out);
    stats.Bool("differences", c.Differences() > 0);
    WriteCount(stats, "old", comparison_.oldText->Count(),
               c.WordsCommon + c.WordsDeleted + c.WordsMoved);
    WriteCount(stats, "new", comparison_.newText->Count(),
               c.WordsCommon + c.WordsAdded + c.WordsMoved);
    WriteCount(stats, "common", c.CountCommon, c.WordsCommon);
    WriteCount(stats, "deleted", c.CountDeleted, c.WordsDeleted);
    WriteCount(stats, "added", c.CountAdded, c.WordsAdded);
    WriteCount(stats, "moved", c.CountMoved, c.WordsMoved);
    stats.Close();
  }

  const ExportInput& input_;
  const Comparison& comparison_;
  std::string& out_;
};

}  // namespace

Status WriteComparisonJson(const ExportInput& input, std::string& out) {
  JsonWriter(input, out).Write();
  return Status::Ok();
}

}  // namespace verko
