// A 改め文 read into its instructions: each sentence (「第十四条中「第十号」を「第十一号」に
// 改める。」) becomes clauses — words replaced, deleted or added in a provision, a provision
// replaced, deleted, renumbered, shifted or added — with 同条・同項・同号 resolved to the
// provisions they stand for, and the quoted provisions that follow a sentence attached to
// the clause that adds or replaces them. Reads 縦書き (「A」の下に「B」を加える, 第十三条)
// and 横書き (「A」の次に「B」を加える, 第１３条, (4)) alike. Applying is aratame_applier's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/aratame_document.h"

namespace verko {

// One change of words inside a provision.
struct PhraseEdit {
  enum class Kind { kReplace, kDelete, kAddAfter };
  Kind kind = Kind::kReplace;
  std::string from;  // the quoted words found in the provision
  std::string to;    // the replacement, or the words added after `from`
};

enum class ClauseKind {
  kPhrases,       // 第十四条中「A」を「B」に改め
  kHeadingText,   // 第十三条の見出しを「（委任）」に改め
  kReplace,       // 第五条を次のように改める
  kDelete,        // 第五条を削る
  kRenumber,      // 第十二号を第十三号とし
  kShift,         // 第六号から第九号までを一号ずつ繰り下げ
  kInsertAfter,   // 第七号の次に次の一号を加える
  kInsertBefore,  // 第一条の前に次の一条を加える
  kAppend,        // 同項に次の一号を加える
};

struct AratameClause {
  ClauseKind kind = ClauseKind::kPhrases;
  std::vector<AmendmentPath> targets;   // several where joined by 及び
  AmendmentPath to;                     // kRenumber: the new number; kShift: the range's last
  int shift = 0;                        // kShift: +K 繰り下げ, -K 繰り上げ
  std::vector<PhraseEdit> edits;        // kPhrases
  std::string heading;                  // kHeadingText
  std::vector<std::string> provisions;  // kReplace, kInsert*, kAppend: the quoted lines
  bool lineQuotes = false;              // the provisions are lines of a document without provisions
  std::string source;                   // the sentence the clause belongs to, for messages
};

// Reads `text` (the 改め文, UTF-8, lines as written); a title line ending 「改正する。」 is
// skipped. On failure returns false with `error` naming the line and what could not be read.
bool ParseAratame(std::string_view text, std::vector<AratameClause>* clauses, std::string* error);

}  // namespace verko
