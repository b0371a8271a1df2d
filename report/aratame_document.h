// The lines of a law or rule as a 改め文 addresses them: 条 (第十三条, 第１３条の２), their
// 見出し, 項 (２, ３), 号 (一, 十一, (4)), 附則 and 目次, found on the document's lines by
// their labels. The applier edits the lines in place; the drafter reads the same paths so
// that what it writes, the applier finds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/aratame_numbers.h"

namespace verko {

enum class ProvisionLevel { kNone, kArticle, kParagraph, kItem, kLine, kContents };

// Where an instruction points: 附則第七条第六項第二号, 第十三条の見出し, 15行目, 目次.
struct AmendmentPath {
  bool supplementary = false;  // in the 附則
  CitedNumber article;         // empty: none
  int paragraph = 0;           // 0: none (the article's only or whole text)
  CitedNumber item;            // empty: none
  int line = 0;                // a line of a document without provisions, from 1
  bool heading = false;        // the article's 見出し
  bool contents = false;       // the 目次

  ProvisionLevel Level() const;
  bool operator==(const AmendmentPath&) const = default;
};

// Lines [begin, end) of a document.
struct LineRange {
  int begin = 0;
  int end = 0;
  bool Empty() const { return begin >= end; }
};

// What a line's label makes it.
enum class LineRole {
  kOther,
  kArticle,        // 第十三条　…
  kParagraph,      // ２　…
  kItem,           // 一　… or (4)…
  kHeading,        // （見出し）
  kChapter,        // 第三章　業務 (and 節, 款, 目)
  kSupplementary,  // 附　則
};

struct LineLabel {
  LineRole role = LineRole::kOther;
  CitedNumber number;
  std::size_t length = 0;  // bytes of the label (第十三条, ２, 十一, (4)) at the line's start
  NumeralStyle style = NumeralStyle::kKanji;
  bool parenthesised = false;  // an item written (4) or （４）
};

// The label of one line read alone (as if below an article: a quoted 項 or 号).
LineLabel LabelOf(std::string_view line);
// The labels of a document's lines, read by the provisions reader in their context.
std::vector<LineLabel> LabelsOf(const std::vector<std::string>& lines);

// The range of `path` in `lines`: an article with its 見出し; a 項 or 号 with the lines
// below it; the 見出し line alone. False with a reason (Japanese) when it is not there.
bool FindProvision(const std::vector<std::string>& lines, const AmendmentPath& path,
                   LineRange* range, std::string* why);

// The lines whose words "第十三条中" reaches: as FindProvision, without the article's 見出し.
bool FindTextScope(const std::vector<std::string>& lines, const AmendmentPath& path,
                   LineRange* range, std::string* why);

// `line` with its label numbered `number` instead, in the label's own style.
std::string Relabel(std::string_view line, const CitedNumber& number);

// The provisions at the level of `path` (its siblings, `path` itself included) whose first
// number lies in [from, to], as paths.
std::vector<AmendmentPath> SiblingsInRange(const std::vector<std::string>& lines,
                                           const AmendmentPath& path, int from, int to);

// The path written as an instruction names it: 附則第七条第六項, 第十三条の見出し, 15行目.
std::string PathName(const AmendmentPath& path, NumeralStyle style);

// The index of the first line of the 附則 (lines.size() when there is none).
int SupplementaryStart(const std::vector<std::string>& lines);

}  // namespace verko
