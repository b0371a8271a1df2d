#include "report/provisions.h"

#include <array>

namespace verko {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";
constexpr std::array<std::string_view, 48> kIroha = {
    "イ", "ロ", "ハ", "ニ", "ホ", "ヘ", "ト", "チ", "リ", "ヌ", "ル", "ヲ", "ワ", "カ", "ヨ", "タ",
    "レ", "ソ", "ツ", "ネ", "ナ", "ラ", "ム", "ウ", "ヰ", "ノ", "オ", "ク", "ヤ", "マ", "ケ", "フ",
    "コ", "エ", "テ", "ア", "サ", "キ", "ユ", "メ", "ミ", "シ", "ヱ", "ヒ", "モ", "セ", "ス", "ン"};
constexpr std::array<std::string_view, 10> kKanjiDigits = {"〇", "一", "二", "三", "四",
                                                           "五", "六", "七", "八", "九"};

// The length in bytes of the UTF-8 character that starts at `text[pos]` (1 for a stray byte).
std::size_t CharLength(std::string_view text, std::size_t pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return pos + length <= text.size() ? length : 1;
}

// The value of one numeral character, as a digit (0-9) or a multiplier (10, 100, 1000,
// 10000); -1 when it is none.
struct NumeralChar {
  int digit = -1;
  int multiplier = 0;
};
NumeralChar NumeralCharOf(std::string_view ch) {
  for (int d = 0; d < 10; ++d) {
    if (ch == kKanjiDigits[d]) return {d, 0};
  }
  if (ch == "零") return {0, 0};
  if (ch == "十") return {-1, 10};
  if (ch == "百") return {-1, 100};
  if (ch == "千") return {-1, 1000};
  if (ch == "万") return {-1, 10000};
  if (ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9') return {ch[0] - '0', 0};
  // Full-width digits ０-９ are EF BC 90 - EF BC 99.
  if (ch.size() == 3 && ch[0] == '\xEF' && ch[1] == '\xBC' && ch[2] >= '\x90' && ch[2] <= '\x99') {
    return {ch[2] - '\x90', 0};
  }
  return {};
}

// The longest run of numeral characters at `pos`; its end.
std::size_t NumeralEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size()) {
    const std::size_t length = CharLength(text, pos);
    const NumeralChar value = NumeralCharOf(text.substr(pos, length));
    if (value.digit < 0 && value.multiplier == 0) break;
    pos += length;
  }
  return pos;
}

bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view prefix) {
  return text.substr(pos, prefix.size()) == prefix;
}

// The branches の二, の二の三 at `pos` into `number`; returns their end.
std::size_t ReadBranches(std::string_view text, std::size_t pos, ProvisionNumber* number) {
  for (int* branch : {&number->branch, &number->subBranch}) {
    if (!StartsWithAt(text, pos, "の")) break;
    const std::size_t from = pos + std::string_view("の").size();
    const std::size_t end = NumeralEnd(text, from);
    const std::optional<int> value = ParseNumeral(text.substr(from, end - from));
    if (!value || *value == 0) break;
    *branch = *value;
    pos = end;
  }
  return pos;
}

// A number at `pos` (十, or 八の二 where `branches`), its end in `*end`; nullopt if none is
// there.
std::optional<ProvisionNumber> ReadNumber(std::string_view text, std::size_t pos, std::size_t* end,
                                          bool branches = true) {
  const std::size_t stop = NumeralEnd(text, pos);
  const std::optional<int> value = ParseNumeral(text.substr(pos, stop - pos));
  if (!value || *value == 0) return std::nullopt;
  ProvisionNumber number{*value};
  *end = branches ? ReadBranches(text, stop, &number) : stop;
  return number;
}

// The end of the separator after a label (one ideographic or ASCII space), or `pos` itself
// at the line's end; npos when the label runs on into text without one.
std::size_t SeparatorEnd(std::string_view text, std::size_t pos) {
  if (pos == text.size()) return pos;
  if (StartsWithAt(text, pos, kIdeographicSpace)) return pos + kIdeographicSpace.size();
  if (text[pos] == ' ' || text[pos] == '\t') return pos + 1;
  return std::string_view::npos;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size()) {
    if (text[pos] == ' ' || text[pos] == '\t') {
      ++pos;
    } else if (StartsWithAt(text, pos, kIdeographicSpace)) {
      pos += kIdeographicSpace.size();
    } else {
      break;
    }
  }
  return pos;
}

std::string_view TrimBlanks(std::string_view text) {
  text.remove_prefix(SkipBlanks(text, 0));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  while (text.size() >= kIdeographicSpace.size() && text.ends_with(kIdeographicSpace)) {
    text.remove_suffix(kIdeographicSpace.size());
  }
  return text;
}

// What one line is, before its path is known.
struct LineShape {
  ProvisionKind kind = ProvisionKind::kText;
  ProvisionNumber number;
  std::size_t labelBegin = 0, labelEnd = 0, textBegin = 0;
};

// 第…条 (also 第十三条から第十五条まで, a range deleted at once; 第1条（目的）, a 規程's
// article with its caption on the line).
bool ReadArticle(std::string_view text, std::size_t begin, LineShape* shape) {
  if (!StartsWithAt(text, begin, "第")) return false;
  std::size_t pos = begin + std::string_view("第").size();
  std::optional<ProvisionNumber> number = ReadNumber(text, pos, &pos, false);
  if (!number || !StartsWithAt(text, pos, "条")) return false;
  pos = ReadBranches(text, pos + std::string_view("条").size(), &*number);
  for (std::string_view joiner : {"から", "及び"}) {
    if (!StartsWithAt(text, pos, joiner)) continue;
    const std::size_t close = text.find("条", pos);
    if (close == std::string_view::npos) return false;
    pos = close + std::string_view("条").size();
    if (StartsWithAt(text, pos, "まで")) pos += std::string_view("まで").size();
  }
  std::size_t textBegin = SeparatorEnd(text, pos);
  if (textBegin == std::string_view::npos) {
    if (!StartsWithAt(text, pos, "（")) return false;
    textBegin = pos;
  }
  *shape = {ProvisionKind::kArticle, *number, begin, pos, textBegin};
  return true;
}

// 第一編, 第二章, 第三節, 第一款, 第一目 with their title.
bool ReadChapter(std::string_view text, std::size_t begin, LineShape* shape) {
  if (!StartsWithAt(text, begin, "第")) return false;
  std::size_t pos = begin + std::string_view("第").size();
  std::optional<ProvisionNumber> number = ReadNumber(text, pos, &pos, false);
  if (!number) return false;
  for (std::string_view unit : {"編", "章", "節", "款", "目"}) {
    if (!StartsWithAt(text, pos, unit)) continue;
    const std::size_t labelEnd = ReadBranches(text, pos + unit.size(), &*number);
    const std::size_t textBegin = SeparatorEnd(text, labelEnd);
    if (textBegin == std::string_view::npos) return false;
    *shape = {ProvisionKind::kChapter, *number, begin, labelEnd, textBegin};
    return true;
  }
  return false;
}

// A number followed by a separator: ２　… (項, digits) or 十一　… (号, kanji).
bool ReadNumberedLine(std::string_view text, std::size_t begin, LineShape* shape) {
  const std::size_t first = CharLength(text, begin);
  const bool digits = NumeralCharOf(text.substr(begin, first)).multiplier == 0 &&
                      ((text[begin] >= '0' && text[begin] <= '9') || text[begin] == '\xEF');
  std::size_t pos = begin;
  const std::optional<ProvisionNumber> number = ReadNumber(text, pos, &pos);
  if (!number) return false;
  const std::size_t textBegin = SeparatorEnd(text, pos);
  if (textBegin == std::string_view::npos || textBegin == pos) return false;
  *shape = {digits ? ProvisionKind::kParagraph : ProvisionKind::kItem, *number, begin, pos,
            textBegin};
  return true;
}

// (1), （１）: the items of a 規程.
bool ReadParenthesisedItem(std::string_view text, std::size_t begin, LineShape* shape) {
  for (auto [open, close] :
       {std::pair<std::string_view, std::string_view>{"(", ")"}, {"（", "）"}}) {
    if (!StartsWithAt(text, begin, open)) continue;
    const std::size_t from = begin + open.size();
    const std::size_t stop = NumeralEnd(text, from);
    if (stop == from || !StartsWithAt(text, stop, close)) return false;
    const std::optional<int> value = ParseNumeral(text.substr(from, stop - from));
    if (!value || *value == 0) return false;
    const std::size_t labelEnd = stop + close.size();
    const std::size_t textBegin = SeparatorEnd(text, labelEnd);
    *shape = {ProvisionKind::kItem,
              {*value},
              begin,
              labelEnd,
              textBegin == std::string_view::npos ? labelEnd : textBegin};
    return true;
  }
  return false;
}

bool ReadSubitem(std::string_view text, std::size_t begin, LineShape* shape) {
  const std::size_t length = CharLength(text, begin);
  for (std::size_t i = 0; i < kIroha.size(); ++i) {
    if (text.substr(begin, length) != kIroha[i]) continue;
    const std::size_t textBegin = SeparatorEnd(text, begin + length);
    if (textBegin == std::string_view::npos || textBegin == begin + length) return false;
    *shape = {ProvisionKind::kSubitem, {static_cast<int>(i) + 1}, begin, begin + length, textBegin};
    return true;
  }
  return false;
}

// 附則 (or 附　則) alone or followed by its law's number.
bool ReadSupplementary(std::string_view text, std::size_t begin, LineShape* shape) {
  for (std::string_view word : {"附則", "附\u3000則"}) {
    if (!StartsWithAt(text, begin, word)) continue;
    const std::size_t pos = begin + word.size();
    if (pos != text.size() && !StartsWithAt(text, pos, "（") &&
        SeparatorEnd(text, pos) == std::string_view::npos) {
      return false;
    }
    *shape = {ProvisionKind::kSupplementary, {}, begin, pos, SkipBlanks(text, pos)};
    return true;
  }
  return false;
}

// 別表, 別表第二, each alone or followed by its title or （第二条関係）.
bool ReadAppendedTable(std::string_view text, std::size_t begin, LineShape* shape) {
  if (!StartsWithAt(text, begin, "別表")) return false;
  std::size_t pos = begin + std::string_view("別表").size();
  ProvisionNumber number{1};
  if (StartsWithAt(text, pos, "第")) {
    const std::optional<ProvisionNumber> read =
        ReadNumber(text, pos + std::string_view("第").size(), &pos);
    if (!read) return false;
    number = *read;
  }
  if (pos != text.size() && !StartsWithAt(text, pos, "（") &&
      SeparatorEnd(text, pos) == std::string_view::npos) {
    return false;
  }
  *shape = {ProvisionKind::kAppendedTable, number, begin, pos, SkipBlanks(text, pos)};
  return true;
}

// A line that is one parenthesised group （…） and nothing else.
bool IsCaption(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.starts_with("（") || !text.ends_with("）")) return false;
  int depth = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
    if (StartsWithAt(text, pos, "（")) ++depth;
    if (StartsWithAt(text, pos, "）") && --depth == 0 && pos + 3 != text.size()) return false;
  }
  return depth == 0;
}

// Whether a line holds cells of a table (joined by U+3000 after its first) or continues
// one (an empty first cell).
bool IsTableRow(std::string_view text) {
  if (text.starts_with(kIdeographicSpace)) return true;
  const std::size_t first = text.find(kIdeographicSpace);
  return first != std::string_view::npos &&
         text.find(kIdeographicSpace, first + kIdeographicSpace.size()) != std::string_view::npos;
}

// What the reader knows of the lines above when it shapes the next.
struct ShapeContext {
  bool inArticle = false;       // 項 and 号 may open
  bool inItem = false;          // イ, ロ may open
  bool parenItems = false;      // (1) opens a 号 (not a level below イ)
  bool afterTable = false;      // the line above was a row of a table
  bool tableAnnounced = false;  // the provision above introduces a table (次の表)
};

LineShape ShapeOf(std::string_view text, const ShapeContext& context) {
  LineShape shape;
  const std::size_t begin = SkipBlanks(text, 0);
  if (begin == text.size()) return {ProvisionKind::kBlank, {}, 0, 0, 0};
  // An article's number at a table row's start is a cell citing it (読替え tables).
  const bool rowOfTable = text.starts_with(kIdeographicSpace) || context.afterTable ||
                          (context.tableAnnounced && IsTableRow(text));
  if (!rowOfTable &&
      (ReadArticle(text, begin, &shape) || ReadChapter(text, begin, &shape) ||
       ReadSupplementary(text, begin, &shape) || ReadAppendedTable(text, begin, &shape))) {
    return shape;
  }
  if (IsCaption(text)) {
    return {ProvisionKind::kCaption, {}, begin, TrimBlanks(text).size() + begin, text.size()};
  }
  if (!context.inArticle) return {};
  if (ReadNumberedLine(text, begin, &shape) ||
      (context.parenItems && ReadParenthesisedItem(text, begin, &shape))) {
    return shape;
  }
  if (context.inItem && ReadSubitem(text, begin, &shape)) return shape;
  return {};
}

ProvisionPath PathIn(int supplementary, int appendedTable) {
  ProvisionPath path;
  path.supplementary = supplementary, path.appendedTable = appendedTable;
  return path;
}

// Follows the provisions down the lines, giving each its path.
class ProvisionReader {
 public:
  ProvisionLine Read(std::string_view text) {
    const ShapeContext context = {inProvision_, path_.item.present(),
                                  !path_.item.present() || parenItems_, afterTable_,
                                  tableAnnounced_};
    LineShape shape = ShapeOf(text, context);
    // An article numbered at or below the one it would follow is a citation, not an article.
    if (shape.kind == ProvisionKind::kArticle && path_.article.present() &&
        !(path_.article < shape.number)) {
      shape = {};
    }
    ProvisionLine line;
    if (ReadContents(text, &shape)) {
      line.kind = ProvisionKind::kContents;
      line.path = path_;
      return line;
    }
    ApplyShape(shape);
    if (shape.kind != ProvisionKind::kBlank) {
      afterTable_ =
          shape.kind == ProvisionKind::kText && path_.article.present() && IsTableRow(text);
      if (OpensProvision(shape.kind)) {
        tableAnnounced_ = text.find("次の表") != std::string_view::npos;
      }
    }
    if (shape.kind == ProvisionKind::kItem) {
      const std::string_view label = text.substr(shape.labelBegin);
      parenItems_ = label.starts_with("(") || label.starts_with("（");
    }
    line.kind = shape.kind;
    line.path = path_;
    line.labelBegin = shape.labelBegin, line.labelEnd = shape.labelEnd;
    line.textBegin = shape.textBegin;
    line.deleted = OpensProvision(shape.kind) && shape.kind != ProvisionKind::kSupplementary &&
                   TrimBlanks(text.substr(shape.textBegin)) == "削除";
    return line;
  }

 private:
  // The 目次: from its heading through its chapter and 附則 lines, until a chapter line
  // names again the first chapter it listed (the body's first chapter).
  bool ReadContents(std::string_view text, LineShape* shape) {
    if (TrimBlanks(text) == "目次" && !inProvision_) {
      inContents_ = true;
      firstContentsLabel_.clear();
      return true;
    }
    if (!inContents_) return false;
    const bool listed =
        shape->kind == ProvisionKind::kChapter || shape->kind == ProvisionKind::kSupplementary;
    const std::string_view label =
        text.substr(shape->labelBegin, shape->labelEnd - shape->labelBegin);
    if (!listed || (shape->kind == ProvisionKind::kChapter && label == firstContentsLabel_)) {
      inContents_ = false;
      return false;
    }
    if (firstContentsLabel_.empty() && shape->kind == ProvisionKind::kChapter) {
      firstContentsLabel_ = label;
    }
    return true;
  }

  void ApplyShape(const LineShape& shape) {
    switch (shape.kind) {
      case ProvisionKind::kArticle:
        path_ = PathIn(path_.supplementary, path_.appendedTable);
        path_.article = shape.number, path_.paragraph = 1;
        inProvision_ = true;
        break;
      case ProvisionKind::kParagraph:
        path_.paragraph = shape.number.value;
        path_.item = {}, path_.subitem = 0;
        break;
      case ProvisionKind::kItem:
        path_.item = shape.number, path_.subitem = 0;
        break;
      case ProvisionKind::kSubitem:
        path_.subitem = shape.number.value;
        break;
      case ProvisionKind::kSupplementary:
        path_ = PathIn(path_.supplementary + 1, 0);
        // A 附則 without articles holds 項 from its first line on.
        inProvision_ = true;
        pendingFirstParagraph_ = true;
        return;
      case ProvisionKind::kAppendedTable:
        path_ = PathIn(0, shape.number.value);
        inProvision_ = false;
        break;
      case ProvisionKind::kChapter:
        path_.article = {}, path_.paragraph = 0, path_.item = {}, path_.subitem = 0;
        inProvision_ = path_.supplementary > 0;
        break;
      case ProvisionKind::kText:
        if (pendingFirstParagraph_ && !path_.article.present()) path_.paragraph = 1;
        break;
      case ProvisionKind::kBlank:
      case ProvisionKind::kContents:
      case ProvisionKind::kCaption:
        return;
    }
    pendingFirstParagraph_ = false;
  }

  ProvisionPath path_;
  bool inProvision_ = false;
  bool inContents_ = false;
  bool pendingFirstParagraph_ = false;
  bool parenItems_ = false;  // the items of the current 項 are numbered (1), (2)
  bool afterTable_ = false;
  bool tableAnnounced_ = false;
  std::string firstContentsLabel_;
};

}  // namespace

std::vector<ProvisionLine> ReadProvisions(const std::vector<std::string_view>& lines) {
  std::vector<ProvisionLine> provisions;
  provisions.reserve(lines.size());
  ProvisionReader reader;
  for (std::string_view line : lines) provisions.push_back(reader.Read(line));
  // A caption heads the provision that follows it (blank lines between allowed); one that
  // heads nothing is text.
  for (std::size_t i = provisions.size(); i-- > 0;) {
    if (provisions[i].kind != ProvisionKind::kCaption) continue;
    std::size_t next = i + 1;
    while (next < provisions.size() && provisions[next].kind == ProvisionKind::kBlank) ++next;
    const bool heads =
        next < provisions.size() &&
        (provisions[next].kind == ProvisionKind::kArticle ||
         provisions[next].kind == ProvisionKind::kCaption ||
         // A 附則 without articles heads its 項 (（施行期日）, then その法律は…).
         (provisions[next].path.supplementary > 0 && !provisions[next].path.article.present() &&
          (provisions[next].kind == ProvisionKind::kParagraph ||
           provisions[next].kind == ProvisionKind::kText)));
    if (heads) {
      provisions[i].path = provisions[next].path;
    } else {
      provisions[i].kind = ProvisionKind::kText;
    }
  }
  return provisions;
}

bool HasProvisions(const std::vector<ProvisionLine>& provisions) {
  int articles = 0, parts = 0;
  for (const ProvisionLine& line : provisions) {
    if (line.kind == ProvisionKind::kArticle) ++articles;
    if (line.kind == ProvisionKind::kParagraph || line.kind == ProvisionKind::kItem) ++parts;
  }
  return articles >= 2 || (articles == 1 && parts > 0);
}

bool OpensProvision(ProvisionKind kind) {
  switch (kind) {
    case ProvisionKind::kArticle:
    case ProvisionKind::kParagraph:
    case ProvisionKind::kItem:
    case ProvisionKind::kSubitem:
    case ProvisionKind::kSupplementary:
    case ProvisionKind::kAppendedTable:
      return true;
    case ProvisionKind::kText:
    case ProvisionKind::kBlank:
    case ProvisionKind::kContents:
    case ProvisionKind::kChapter:
    case ProvisionKind::kCaption:
      return false;
  }
  return false;
}

std::optional<int> ParseNumeral(std::string_view text) {
  if (text.empty()) return std::nullopt;
  constexpr long long kLimit = 99'999'999;
  long long total = 0;    // the 万 groups read
  long long section = 0;  // below 万
  long long digits = -1;  // a run of digits not yet multiplied
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharLength(text, pos);
    const NumeralChar value = NumeralCharOf(text.substr(pos, length));
    pos += length;
    if (value.digit >= 0) {
      digits = (digits < 0 ? 0 : digits * 10) + value.digit;
    } else if (value.multiplier == 10000) {
      section += digits < 0 ? 0 : digits;
      total += (section == 0 ? 1 : section) * 10000;
      section = 0, digits = -1;
    } else if (value.multiplier > 0) {
      section += (digits < 0 ? 1 : digits) * value.multiplier;
      digits = -1;
    } else {
      return std::nullopt;
    }
    if (total + section + (digits < 0 ? 0 : digits) > kLimit) return std::nullopt;
  }
  return static_cast<int>(total + section + (digits < 0 ? 0 : digits));
}

std::string KanjiNumeral(int value) {
  if (value <= 0) return {};
  std::string out;
  auto appendGroup = [&out](int group) {  // 1..9999
    static constexpr std::array<std::pair<int, std::string_view>, 3> kUnits = {
        {{1000, "千"}, {100, "百"}, {10, "十"}}};
    for (auto [unit, name] : kUnits) {
      const int digit = group / unit % 10;
      if (digit > 1) out += kKanjiDigits[digit];
      if (digit > 0) out += name;
    }
    if (group % 10 > 0) out += kKanjiDigits[group % 10];
  };
  if (value >= 10000) {
    const int man = value / 10000;
    if (man == 1) {
      out += "一";
    } else {
      appendGroup(man);
    }
    out += "万";
  }
  appendGroup(value % 10000);
  return out;
}

std::string FullWidthNumeral(int value) {
  std::string out;
  for (char c : std::to_string(value)) {
    out += "\xEF\xBC";
    out += static_cast<char>('\x90' + (c - '0'));
  }
  return out;
}

namespace {
std::string BranchesOf(const ProvisionNumber& number) {
  std::string out;
  if (number.branch > 0) out += "の" + KanjiNumeral(number.branch);
  if (number.subBranch > 0) out += "の" + KanjiNumeral(number.subBranch);
  return out;
}
}  // namespace

std::string IrohaLetter(int index) {
  if (index < 1 || index > static_cast<int>(kIroha.size())) return {};
  return std::string(kIroha[index - 1]);
}

std::string KanjiNumberOf(const ProvisionNumber& number) {
  return KanjiNumeral(number.value) + BranchesOf(number);
}

std::string CitedNumberOf(const ProvisionNumber& number, std::string_view counter) {
  return "第" + KanjiNumeral(number.value) + std::string(counter) + BranchesOf(number);
}

std::string ProvisionName(const ProvisionPath& path, bool nameFirstParagraph) {
  std::string out;
  if (path.supplementary > 0) out += "附則";
  if (path.appendedTable > 0) out += "別表第" + KanjiNumeral(path.appendedTable);
  if (path.article.present()) out += CitedNumberOf(path.article, "条");
  if (path.paragraph > 1 ||
      (path.paragraph == 1 && (nameFirstParagraph || !path.article.present()))) {
    out += "第" + KanjiNumeral(path.paragraph) + "項";
  }
  if (path.item.present()) out += CitedNumberOf(path.item, "号");
  if (path.subitem > 0) out += IrohaLetter(path.subitem);
  return out;
}

}  // namespace verko
