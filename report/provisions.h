// The provisions of a document: which of its lines open a 章・節, a 見出し, a 条, 項, 号 or
// イ・ロ・ハ, a 附則 or a 別表, and the provision each line belongs to (its path, with the
// numbers as values). Reads UTF-8 lines of e-Gov law texts (第十条の二　…, ２　…, 十一　…) and
// of ordinary 規程 and contracts (第1条, 2 …, (1) …). Also reads and writes kanji numerals.
// What is done with the provisions (rows of a table, amendment sentences) is left to others.
#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

// A provision's number: 第十条の二の三 is {10, 2, 3}; 0 where there is none.
struct ProvisionNumber {
  int value = 0;
  int branch = 0;     // の二
  int subBranch = 0;  // の二の三
  bool present() const { return value > 0; }
  friend auto operator<=>(const ProvisionNumber&, const ProvisionNumber&) = default;
};

// Where a line stands: the numbers of the provisions that hold it, outermost first. A level
// without a number is {0}. The first 項 of an article (on the article's own line) is 1.
struct ProvisionPath {
  int supplementary = 0;    // 0 in the main provisions, k in the k-th 附則
  int appendedTable = 0;    // k in 別表第k (1 for a lone 別表); then the others are 0
  ProvisionNumber article;  // 条
  int paragraph = 0;        // 項
  ProvisionNumber item;     // 号
  int subitem = 0;          // イ = 1, ロ = 2, … (いろは order)
  friend auto operator<=>(const ProvisionPath&, const ProvisionPath&) = default;
};

enum class ProvisionKind {
  kText,           // a line of text inside a provision (or before the first), not opening one
  kBlank,          // an empty line, or one of blanks only
  kContents,       // a line of the 目次 (its heading, its chapter lines)
  kChapter,        // 第一編, 第一章, 第一節, 第一款, 第一目 and their title
  kCaption,        // a 見出し （…） on its own line; its path is the article it heads
  kArticle,        // 第十条　… (with the article's first 項)
  kParagraph,      // ２　… (a later 項)
  kItem,           // 十一　… or (1) … (a 号)
  kSubitem,        // イ　… (and ロ, ハ, …)
  kSupplementary,  // 附則 (with what follows it on the line: its law's number)
  kAppendedTable,  // 別表第一 … (the heading line of an appended table)
};

struct ProvisionLine {
  ProvisionKind kind = ProvisionKind::kText;
  ProvisionPath path;
  // The line's own label in bytes [labelBegin, labelEnd) ("第十条の二", "２", "十一", "イ"),
  // and where its text starts after the label and its separator; all 0 for a line without
  // a label. For a caption the label is the whole （…）.
  std::size_t labelBegin = 0, labelEnd = 0, textBegin = 0;
  // The provision is a placeholder: its text is 削除 (第十三条　削除, 八　削除).
  bool deleted = false;
};

// The provisions of `lines` (UTF-8, each without its line end), one entry per line.
std::vector<ProvisionLine> ReadProvisions(const std::vector<std::string_view>& lines);

// Whether the lines read as a document of provisions: at least two articles, or an article
// with items or paragraphs. A document without provisions is compared line by line.
bool HasProvisions(const std::vector<ProvisionLine>& provisions);

// Whether the line opens a provision of its own (an article, paragraph, item, subitem,
// 附則 or 別表 heading).
bool OpensProvision(ProvisionKind kind);

// A kanji numeral (〇 一 … 九 十 百 千 万, as laws write them: 十三, 百二十一, 千, 一万二千)
// or a number in ASCII or full-width digits; nullopt for anything else or a value past
// 99,999,999.
std::optional<int> ParseNumeral(std::string_view text);
// A positive number as laws write it in kanji: 13 → 十三, 121 → 百二十一, 1000 → 千,
// 10000 → 一万. Empty for 0 or less.
std::string KanjiNumeral(int value);
// A number in full-width digits (２, １２), as 項 are numbered.
std::string FullWidthNumeral(int value);
// The i-th letter (from 1) of the いろは order: イ, ロ, ハ, …; empty past the last.
std::string IrohaLetter(int index);

// A number with its branches in kanji as a 号 is labelled: {8, 2} → 八の二.
std::string KanjiNumberOf(const ProvisionNumber& number);
// A number as laws cite it, with 第 and its counter (条, 号, 章, …) before the branches:
// ({10, 2}, "条") → 第十条の二.
std::string CitedNumberOf(const ProvisionNumber& number, std::string_view counter);
// The name of the provision at `path` as amending texts cite it: 第十条の二第三項第十一号イ,
// 附則第二条, 別表第一. The first 項 is named only when `nameFirstParagraph` (第十条第一項).
std::string ProvisionName(const ProvisionPath& path, bool nameFirstParagraph = false);

}  // namespace verko
