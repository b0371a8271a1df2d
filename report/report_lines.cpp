#include "report/report_lines.h"

#include <cstring>
#include <string_view>

#include "compare/lines/line_functions.h"
#include "report/report_format.h"

namespace verko {
namespace {

// The columns before the text of one report line, built on the stack and appended at once:
// a line is written tens of thousands of times, and every separate append checks the
// string's room again.
class LineHead {
 public:
  LineHead& Put(std::string_view literal) {
    std::memcpy(at_, literal.data(), literal.size());
    at_ += literal.size();
    return *this;
  }
  LineHead& Blanks(int count) {
    std::memset(at_, ' ', static_cast<std::size_t>(count));
    at_ += count;
    return *this;
  }
  LineHead& Number(int32_t n, int width) {
    at_ = PutNumber(at_, n, width);
    return *this;
  }
  LineHead& Part(int partNo) {
    at_ = PutPartNo(at_, partNo);
    return *this;
  }
  // Appends the columns, the line's text and the line end.
  void AppendWith(std::string& out, const LineRecord& line) {
    std::string_view text = CutNull(line.Text);
    const std::size_t head = static_cast<std::size_t>(at_ - buffer_);
    const std::size_t start = out.size();
    out.resize(start + head + text.size() + 2);
    char* to = out.data() + start;
    std::memcpy(to, buffer_, head);
    if (!text.empty())
      std::memcpy(to + head, text.data(), text.size());  // empty: data() may be null
    to[head + text.size()] = '\r';
    to[head + text.size() + 1] = '\n';
  }

 private:
  char buffer_[kWidestLineHead];  // two numbers of six, two parts, a few marks
  char* at_ = buffer_;
};

}  // namespace

void AppendCommonLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine,
                      const LineRecord& textSide) {
  LineHead()
      .Put("  ")
      .Number(oldLine.LineNo, 6)
      .Part(oldLine.PartNo)
      .Number(newLine.LineNo, 6)
      .Part(newLine.PartNo)
      .Put(" | ")
      .AppendWith(out, textSide);
}

void AppendDeletedLine(std::string& out, const LineRecord& oldLine) {
  LineHead()
      .Put("- ")
      .Number(oldLine.LineNo, 6)
      .Part(oldLine.PartNo)
      .Blanks(9)
      .Put(" | ")
      .AppendWith(out, oldLine);
}

void AppendAddedLine(std::string& out, const LineRecord& newLine) {
  LineHead()
      .Put("+ ")
      .Blanks(9)
      .Number(newLine.LineNo, 6)
      .Part(newLine.PartNo)
      .Put(" | ")
      .AppendWith(out, newLine);
}

void AppendMovedNewLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine) {
  LineHead()
      .Put(">+(")
      .Number(oldLine.LineNo, 5)
      .Part(oldLine.PartNo)
      .Put(")")
      .Number(newLine.LineNo, 5)
      .Part(newLine.PartNo)
      .Put(" | ")
      .AppendWith(out, newLine);
}

void AppendMovedOldLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine) {
  LineHead()
      .Put("<-")
      .Number(oldLine.LineNo, 6)
      .Part(oldLine.PartNo)
      .Put("(")
      .Number(newLine.LineNo, 5)
      .Part(newLine.PartNo)
      .Put(")| ")
      .AppendWith(out, oldLine);
}

}  // namespace verko
