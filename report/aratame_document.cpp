#include "report/aratame_document.h"

#include "report/provisions.h"

namespace verko {
namespace {

constexpr std::string_view kIdeographicSpace = "　";

CitedNumber CitedOf(const ProvisionNumber& number) {
  CitedNumber cited = {number.value};
  if (number.branch > 0) cited.push_back(number.branch);
  if (number.subBranch > 0) cited.push_back(number.subBranch);
  return cited;
}

// The label of a line as the provisions reader found it, in the terms the 改め文 uses.
LineLabel LabelFrom(std::string_view line, const ProvisionLine& read) {
  LineLabel label;
  switch (read.kind) {
    case ProvisionKind::kArticle:
      label.role = LineRole::kArticle;
      label.number = CitedOf(read.path.article);
      break;
    case ProvisionKind::kParagraph:
      label.role = LineRole::kParagraph;
      label.number = {read.path.paragraph};
      break;
    case ProvisionKind::kItem:
      label.role = LineRole::kItem;
      label.number = CitedOf(read.path.item);
      break;
    case ProvisionKind::kCaption:
      label.role = LineRole::kHeading;
      return label;
    case ProvisionKind::kChapter:
    case ProvisionKind::kAppendedTable:
      label.role = LineRole::kChapter;
      return label;
    case ProvisionKind::kSupplementary:
      label.role = LineRole::kSupplementary;
      return label;
    default:
      return label;
  }
  // Only a label at the line's start is renumbered in place.
  if (read.labelBegin != 0 || read.labelEnd == 0) return LineLabel();
  label.length = read.labelEnd;
  std::string_view text = line.substr(0, read.labelEnd);
  label.parenthesised = text.starts_with("(") || text.starts_with("（");
  std::size_t at = text.starts_with("第")  ? 3
                   : text.starts_with("(") ? 1
                   : label.parenthesised   ? 3
                                           : 0;
  int value = 0;
  std::size_t used = 0;
  ReadNumeral(text, at, &value, &used, &label.style);
  return label;
}

bool SameKind(const LineLabel& a, const LineLabel& b) {
  return a.role == b.role && a.parenthesised == b.parenthesised &&
         (a.style == NumeralStyle::kKanji) == (b.style == NumeralStyle::kKanji);
}

struct Outline {
  std::vector<LineLabel> labels;
  int supplementary = 0;
};

Outline OutlineOf(const std::vector<std::string>& lines) {
  Outline outline;
  outline.labels = LabelsOf(lines);
  outline.supplementary = static_cast<int>(lines.size());
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (outline.labels[i].role == LineRole::kSupplementary) {
      outline.supplementary = i;
      break;
    }
  }
  return outline;
}

// Whether a line closes the article before it.
bool EndsArticle(LineRole role) {
  return role == LineRole::kArticle || role == LineRole::kHeading || role == LineRole::kChapter ||
         role == LineRole::kSupplementary;
}

std::string NumberName(const CitedNumber& number) {
  return WriteCitedNumber(number, NumeralStyle::kKanji);
}

bool Fail(std::string* why, std::string reason) {
  *why = std::move(reason);
  return false;
}

// The 目次: the lines after a line "目次" up to the first that is no entry of it.
LineRange ContentsOf(const std::vector<std::string>& lines, const Outline& outline) {
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i] != "目次") continue;
    int end = i + 1;
    while (end < static_cast<int>(lines.size()) &&
           (lines[end].ends_with("）") || outline.labels[end].role == LineRole::kSupplementary) &&
           outline.labels[end].role != LineRole::kHeading &&
           outline.labels[end].role != LineRole::kArticle) {
      ++end;
    }
    return {i + 1, end};
  }
  return {};
}

// The article of `path` with its 見出し line (when it has one) and the line of its number.
bool FindArticle(const std::vector<std::string>& lines, const Outline& outline,
                 const AmendmentPath& path, LineRange* range, int* head, std::string* why) {
  int count = static_cast<int>(lines.size());
  int from = path.supplementary ? outline.supplementary : 0;
  int to = path.supplementary ? count : outline.supplementary;
  if (path.article.empty()) {
    // A 附則 without articles: its 項 follow its title.
    if (!path.supplementary || from >= count) return Fail(why, "附則が見つかりません");
    *range = {from + 1, count};
    *head = from;
    return true;
  }
  for (int i = from; i < to; ++i) {
    const LineLabel& label = outline.labels[i];
    if (label.role != LineRole::kArticle || label.number != path.article) continue;
    int end = i + 1;
    while (end < to && !EndsArticle(outline.labels[end].role)) ++end;
    int begin = i > from && outline.labels[i - 1].role == LineRole::kHeading ? i - 1 : i;
    *range = {begin, end};
    *head = i;
    return true;
  }
  return Fail(why, (path.supplementary ? "附則第" : "第") + NumberName(path.article) +
                       "条が見つかりません");
}

// The 項 `number` within the article lines [head, end): 1 is the article's own first line.
bool FindParagraph(const Outline& outline, int head, int end, int number, bool numberedFirst,
                   LineRange* range) {
  int begin = -1;
  int i = head + (numberedFirst ? 0 : 1);
  if (number == 1 && !numberedFirst) begin = head;
  for (; i < end; ++i) {
    const LineLabel& label = outline.labels[i];
    if (label.role != LineRole::kParagraph) continue;
    if (begin >= 0) break;
    if (label.number.size() == 1 && label.number[0] == number) begin = i;
  }
  if (begin < 0) return false;
  *range = {begin, i};
  return true;
}

// The 号 `number` among the items of the first kind met in `within` (号 of a kanji list,
// not the (1) below its イ).
bool FindItem(const Outline& outline, LineRange within, const CitedNumber& number,
              LineRange* range) {
  const LineLabel* kind = nullptr;
  for (int i = within.begin; i < within.end; ++i) {
    const LineLabel& label = outline.labels[i];
    if (label.role != LineRole::kItem) continue;
    if (kind == nullptr) kind = &label;
    if (!SameKind(label, *kind) || label.number != number) continue;
    int end = i + 1;
    while (end < within.end && !SameKind(outline.labels[end], label)) ++end;
    *range = {i, end};
    return true;
  }
  return false;
}

// The range of a path below its article: the 見出し, a 項, a 号.
bool FindWithin(const std::vector<std::string>& lines, const Outline& outline,
                const AmendmentPath& path, bool withHeading, LineRange* range, std::string* why) {
  if (path.contents) {
    *range = ContentsOf(lines, outline);
    return !range->Empty() || Fail(why, "目次が見つかりません");
  }
  if (path.line > 0) {
    if (path.line > static_cast<int>(lines.size())) {
      return Fail(why, std::to_string(path.line) + "行目がありません");
    }
    *range = {path.line - 1, path.line};
    return true;
  }
  LineRange article;
  int head = 0;
  if (!FindArticle(lines, outline, path, &article, &head, why)) return false;
  std::string name = PathName(path, NumeralStyle::kKanji);
  if (path.heading) {
    if (article.begin == head) return Fail(why, name + "がありません");
    *range = {article.begin, head};
    return true;
  }
  LineRange scope = withHeading ? article : LineRange{head, article.end};
  if (path.paragraph > 0) {
    bool numberedFirst = path.article.empty();
    if (!FindParagraph(outline, head, article.end, path.paragraph, numberedFirst, &scope)) {
      return Fail(why, name + "が見つかりません");
    }
  }
  if (!path.item.empty()) {
    LineRange within = {scope.begin + 1, scope.end};
    if (!FindItem(outline, within, path.item, &scope)) return Fail(why, name + "が見つかりません");
  }
  *range = scope;
  return true;
}

}  // namespace

ProvisionLevel AmendmentPath::Level() const {
  if (contents) return ProvisionLevel::kContents;
  if (line > 0) return ProvisionLevel::kLine;
  if (!item.empty()) return ProvisionLevel::kItem;
  if (paragraph > 0) return ProvisionLevel::kParagraph;
  if (!article.empty()) return ProvisionLevel::kArticle;
  return ProvisionLevel::kNone;
}

LineLabel LabelOf(std::string_view line) {
  // Read below an article, so that a 項 or 号 quoted alone is known as one.
  std::vector<std::string_view> lines = {"第一条　", line};
  return LabelFrom(line, ReadProvisions(lines)[1]);
}

std::vector<LineLabel> LabelsOf(const std::vector<std::string>& lines) {
  std::vector<std::string_view> views(lines.begin(), lines.end());
  std::vector<ProvisionLine> read = ReadProvisions(views);
  std::vector<LineLabel> labels;
  labels.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) labels.push_back(LabelFrom(lines[i], read[i]));
  return labels;
}

int SupplementaryStart(const std::vector<std::string>& lines) {
  return OutlineOf(lines).supplementary;
}

bool FindProvision(const std::vector<std::string>& lines, const AmendmentPath& path,
                   LineRange* range, std::string* why) {
  return FindWithin(lines, OutlineOf(lines), path, true, range, why);
}

bool FindTextScope(const std::vector<std::string>& lines, const AmendmentPath& path,
                   LineRange* range, std::string* why) {
  return FindWithin(lines, OutlineOf(lines), path, false, range, why);
}

std::string Relabel(std::string_view line, const CitedNumber& number) {
  LineLabel label = LabelOf(line);
  std::string written = WriteCitedNumber(number, label.style);
  std::string_view rest = line.substr(label.length);
  switch (label.role) {
    case LineRole::kArticle:
      return "第" + WriteNumeral(number[0], label.style) + "条" +
             (number.size() > 1
                  ? "の" +
                        WriteCitedNumber(CitedNumber(number.begin() + 1, number.end()), label.style)
                  : "") +
             std::string(rest);
    case LineRole::kParagraph:
      return written + std::string(rest);
    case LineRole::kItem:
      if (label.parenthesised) {
        bool wide = line.starts_with("（");
        return (wide ? "（" : "(") + written + (wide ? "）" : ")") + std::string(rest);
      }
      return written + std::string(rest);
    default:
      return std::string(line);
  }
}

std::vector<AmendmentPath> SiblingsInRange(const std::vector<std::string>& lines,
                                           const AmendmentPath& path, int from, int to) {
  std::vector<AmendmentPath> found;
  for (int n = from; n <= to; ++n) {
    AmendmentPath sibling = path;
    switch (path.Level()) {
      case ProvisionLevel::kItem:
        sibling.item = {n};
        break;
      case ProvisionLevel::kParagraph:
        sibling.paragraph = n;
        break;
      case ProvisionLevel::kArticle:
        sibling.article = {n};
        break;
      default:
        return found;
    }
    LineRange range;
    std::string why;
    if (FindProvision(lines, sibling, &range, &why)) found.push_back(sibling);
  }
  return found;
}

std::string PathName(const AmendmentPath& path, NumeralStyle style) {
  if (path.contents) return "目次";
  if (path.line > 0) return WriteNumeral(path.line, NumeralStyle::kAscii) + "行目";
  std::string name = path.supplementary ? "附則" : "";
  if (!path.article.empty()) {
    name += "第" + WriteNumeral(path.article[0], style) + "条";
    for (std::size_t i = 1; i < path.article.size(); ++i) {
      name += "の" + WriteNumeral(path.article[i], style);
    }
  }
  if (path.heading) return name + "の見出し";
  if (path.paragraph > 0) name += "第" + WriteNumeral(path.paragraph, style) + "項";
  if (!path.item.empty()) name += "第" + WriteCitedNumber(path.item, style) + "号";
  return name;
}

}  // namespace verko
