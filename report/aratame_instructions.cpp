#include "report/aratame_instructions.h"

#include <algorithm>

namespace verko {
namespace {

constexpr std::string_view kIdeographicSpace = "　";

// What may follow a quote that is the words found (「A」を「B」に, 「A」を削る,
// 「A」及び「B」を削る, 「A」の下に「B」を加える), the words put in their place, the
// words added, a new 見出し.
using Tokens = std::vector<std::string_view>;
const Tokens kAfterFound = {"を「", "を削", "及び「", "、「", "の下に「", "の次に「"};
const Tokens kAfterReplacement = {"に、", "に改め"};
const Tokens kAfterAdded = {"を加え"};

std::string_view StripIndent(std::string_view line) {
  while (line.starts_with(kIdeographicSpace)) line.remove_prefix(kIdeographicSpace.size());
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  return line;
}

bool StartsWithDigitLine(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
  return at > 0 && line.substr(at).starts_with("行目");
}

// Whether a line (indentation removed) is an instruction rather than a quoted provision: it
// names a provision and says what happens to it before any U+3000 that would follow the
// label of a provision (第十三条　…, 第三章　…).
bool IsInstruction(std::string_view line) {
  if (!line.ends_with("。")) return false;
  if (StartsWithDigitLine(line)) return true;
  if (!line.starts_with("第") && !line.starts_with("附則") && !line.starts_with("同") &&
      !line.starts_with("目次")) {
    return false;
  }
  std::size_t space = line.find(kIdeographicSpace);
  std::size_t action = std::string_view::npos;
  for (std::string_view word : {"中", "を", "の次", "の前", "の見出し", "に次"}) {
    action = std::min(action, line.find(word));
  }
  return action != std::string_view::npos && action < space;
}

bool TakesProvisions(ClauseKind kind) {
  return kind == ClauseKind::kReplace || kind == ClauseKind::kInsertAfter ||
         kind == ClauseKind::kInsertBefore || kind == ClauseKind::kAppend;
}

// Reads one sentence into clauses, resolving 同条・同項・同号 against the provision named
// last (carried from sentence to sentence).
class SentenceReader {
 public:
  SentenceReader(std::string_view sentence, AmendmentPath* last) : text_(sentence), last_(last) {}

  bool Read(std::vector<AratameClause>* clauses, std::string* error) {
    while (at_ < text_.size()) {
      AratameClause clause;
      clause.source = std::string(text_);
      if (!ReadClause(&clause)) {
        *error = "読めない指示です（" + std::string(text_.substr(at_, 60)) + "）";
        return false;
      }
      if (!clause.targets.empty()) clauses->push_back(std::move(clause));
      if (Eat("。")) return at_ == text_.size() || Fail(error);
      Eat("、");
    }
    *error = "指示が「。」で終わっていません";
    return false;
  }

 private:
  bool Fail(std::string* error) {
    *error = "「。」の後に読めない文字があります";
    return false;
  }

  bool Peek(std::string_view token) const { return text_.substr(at_).starts_with(token); }
  bool Eat(std::string_view token) {
    if (!Peek(token)) return false;
    at_ += token.size();
    return true;
  }

  // 第 N counter (の N)*: 第十三条の二, 第三項, 第十一号.
  bool ReadNumbered(std::string_view counter, CitedNumber* number) {
    std::size_t start = at_;
    int value = 0;
    std::size_t used = 0;
    if (!Eat("第") || !ReadNumeral(text_, at_, &value, &used)) {
      at_ = start;
      return false;
    }
    at_ += used;
    if (!Eat(counter)) {
      at_ = start;
      return false;
    }
    number->assign(1, value);
    while (Peek("の") && ReadNumeral(text_, at_ + 3, &value, &used)) {
      number->push_back(value);
      at_ += 3 + used;
    }
    return true;
  }

  bool ReadPath(AmendmentPath* path) {
    *path = AmendmentPath();
    if (Eat("目次")) {
      path->contents = true;
      *last_ = *path;
      return true;
    }
    if (StartsWithDigitLine(text_.substr(at_))) {
      std::size_t used = 0;
      ReadNumeral(text_, at_, &path->line, &used);
      at_ += used;
      Eat("行目");
      *last_ = *path;
      return true;
    }
    bool explicitSupplementary = Eat("附則");
    path->supplementary = explicitSupplementary;
    bool article = false;
    if (Eat("同条")) {
      path->supplementary = last_->supplementary;
      path->article = last_->article;
      article = true;
    } else {
      article = ReadNumbered("条", &path->article);
    }
    CitedNumber paragraph;
    bool hasParagraph = false;
    if (Eat("同項")) {
      *path = *last_;
      path->item.clear();
      path->heading = false;
      hasParagraph = true;
    } else if (ReadNumbered("項", &paragraph)) {
      if (!article && !explicitSupplementary) {
        path->supplementary = last_->supplementary;
        path->article = last_->article;
      }
      path->paragraph = paragraph[0];
      hasParagraph = true;
    }
    if (Eat("同号")) {
      *path = *last_;
      path->heading = false;
    } else if (CitedNumber item; ReadNumbered("号", &item)) {
      if (!article && !hasParagraph) {
        path->supplementary = last_->supplementary;
        path->article = last_->article;
        path->paragraph = last_->paragraph;
      }
      path->item = item;
    } else if (!article && !hasParagraph && !explicitSupplementary) {
      return false;
    }
    // Parts of a provision narrow where its words are; the words are looked for in the
    // whole provision, where the drafter quotes enough to be found once.
    for (std::string_view part : {"各号列記以外の部分", "ただし書", "本文", "前段", "後段"}) {
      Eat(part);
    }
    *last_ = *path;
    return true;
  }

  bool ReadTargets(std::vector<AmendmentPath>* targets) {
    do {
      AmendmentPath path;
      if (!ReadPath(&path)) return false;
      targets->push_back(path);
    } while (Eat("及び"));
    return true;
  }

  // The quoted text from here to the 」 that the grammar may follow with one of `after`.
  bool ReadQuote(const Tokens& after, std::string* quoted) {
    for (std::size_t close = text_.find("」", at_); close != std::string_view::npos;
         close = text_.find("」", close + 3)) {
      std::string_view rest = text_.substr(close + 3);
      if (std::any_of(after.begin(), after.end(),
                      [&](std::string_view token) { return rest.starts_with(token); })) {
        *quoted = std::string(text_.substr(at_, close - at_));
        at_ = close + 3;
        return true;
      }
    }
    return false;
  }

  // 一条, 二号, １項: how many provisions follow.
  bool ReadCount(int* count) {
    std::size_t used = 0;
    if (!ReadNumeral(text_, at_, count, &used)) return false;
    at_ += used;
    return Eat("条") || Eat("項") || Eat("号") || Eat("行");
  }

  // The verb ending that closes a clause's words: 改め, 改める; 削り, 削る; 加え, 加える.
  void EatVerbEnd() {
    Eat("る");
    Eat("り");
  }

  // 「A」を「B」に、「C」を削り、「D」の下に「E」を加える …
  bool ReadEdits(std::vector<PhraseEdit>* edits) {
    while (Eat("「")) {
      std::vector<std::string> found(1);
      if (!ReadQuote(kAfterFound, &found[0])) return false;
      while (Eat("及び「") || Eat("、「")) {
        found.emplace_back();
        if (!ReadQuote(kAfterFound, &found.back())) return false;
      }
      if (found.size() == 1 && Eat("を「")) {
        PhraseEdit edit{PhraseEdit::Kind::kReplace, found[0], ""};
        if (!ReadQuote(kAfterReplacement, &edit.to) || !Eat("に")) return false;
        edits->push_back(edit);
        if (Peek("、「")) {
          Eat("、");
          continue;
        }
        if (!Eat("改め")) return false;
        EatVerbEnd();
      } else if (Eat("を削")) {
        EatVerbEnd();
        for (const std::string& words : found) {
          edits->push_back({PhraseEdit::Kind::kDelete, words, ""});
        }
      } else if (found.size() == 1 && (Eat("の下に「") || Eat("の次に「"))) {
        PhraseEdit edit{PhraseEdit::Kind::kAddAfter, found[0], ""};
        if (!ReadQuote(kAfterAdded, &edit.to) || !Eat("を加え")) return false;
        EatVerbEnd();
        edits->push_back(edit);
      } else {
        return false;
      }
      if (!Peek("、「")) break;
      Eat("、");
    }
    return !edits->empty();
  }

  bool ReadClause(AratameClause* clause) {
    if (!ReadTargets(&clause->targets)) return false;
    if (Eat("の見出し")) {
      for (AmendmentPath& target : clause->targets) target.heading = true;
      if (Eat("を「")) {
        clause->kind = ClauseKind::kHeadingText;
        if (!ReadQuote(kAfterReplacement, &clause->heading) || !Eat("に改め")) return false;
        EatVerbEnd();
        return true;
      }
      if (!Eat("中")) return false;
      clause->kind = ClauseKind::kPhrases;
      return ReadEdits(&clause->edits);
    }
    if (Eat("中")) {
      if (Peek("「")) {
        clause->kind = ClauseKind::kPhrases;
        return ReadEdits(&clause->edits);
      }
      // 同項中第十号を第十一号とし: the provision named is where the next clause reads.
      clause->targets.clear();
      return true;
    }
    clause->lineQuotes = clause->targets[0].line > 0;
    if (Eat("を次のように改め")) {
      clause->kind = ClauseKind::kReplace;
    } else if (Eat("を削")) {
      clause->kind = ClauseKind::kDelete;
    } else if (Eat("から")) {
      clause->kind = ClauseKind::kShift;
      int count = 0;
      if (!ReadPath(&clause->to) || !Eat("までを") || !ReadCount(&count) || !Eat("ずつ")) {
        return false;
      }
      if (Eat("繰り下げ")) {
        clause->shift = count;
      } else if (Eat("繰り上げ")) {
        clause->shift = -count;
      } else {
        return false;
      }
    } else if (Eat("の次に次の") || Eat("の前に次の") || Eat("に次の")) {
      std::string_view how = text_.substr(0, at_);
      clause->kind = how.ends_with("の次に次の")   ? ClauseKind::kInsertAfter
                     : how.ends_with("の前に次の") ? ClauseKind::kInsertBefore
                                                   : ClauseKind::kAppend;
      int count = 0;
      if (!ReadCount(&count) || !Eat("を加え")) return false;
    } else if (Eat("を")) {
      clause->kind = ClauseKind::kRenumber;
      if (!ReadPath(&clause->to) || !(Eat("とする") || Eat("とし"))) return false;
      return true;
    } else {
      return false;
    }
    EatVerbEnd();
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  AmendmentPath* last_;
};

// A quoted line without its quotation indent: one U+3000, and one more before a 号 (the
// official texts set a 号 one step in). A line of the law that starts with U+3000 (a table
// row with an empty first cell) keeps its own.
std::string QuotedLine(std::string_view line, bool lineQuotes) {
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.starts_with(kIdeographicSpace)) line.remove_prefix(kIdeographicSpace.size());
  if (lineQuotes || !line.starts_with(kIdeographicSpace)) return std::string(line);
  std::string_view inner = line.substr(kIdeographicSpace.size());
  LineLabel label = LabelOf(inner);
  if (label.role == LineRole::kItem && !label.parenthesised) return std::string(inner);
  return std::string(line);
}

}  // namespace

bool ParseAratame(std::string_view text, std::vector<AratameClause>* clauses, std::string* error) {
  clauses->clear();
  AmendmentPath last;
  int lineNo = 0;
  // The clause of the sentence before that takes quoted provisions, if it has one.
  int takesQuotes = -1;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNo;
    std::string_view line = StripIndent(raw);
    // Lines quoted from a document without provisions may be blank or read like an
    // instruction; they are indented by one U+3000, instructions by two.
    bool lineQuotes = takesQuotes >= 0 && (*clauses)[takesQuotes].lineQuotes;
    bool quotedLine = lineQuotes && raw.starts_with(kIdeographicSpace) &&
                      !raw.substr(kIdeographicSpace.size()).starts_with(kIdeographicSpace);
    if (line.empty() && !quotedLine) continue;
    bool titled = !raw.starts_with(kIdeographicSpace) && line.ends_with("改正する。");
    if (titled && clauses->empty()) continue;
    if (quotedLine || !IsInstruction(line)) {
      if (takesQuotes < 0) {
        *error = std::to_string(lineNo) + "行目: 指示として読めません（" +
                 std::string(line.substr(0, 60)) + "）";
        return false;
      }
      AratameClause& clause = (*clauses)[takesQuotes];
      clause.provisions.push_back(QuotedLine(raw, clause.lineQuotes));
      continue;
    }
    std::size_t before = clauses->size();
    std::string why;
    if (!SentenceReader(line, &last).Read(clauses, &why)) {
      *error = std::to_string(lineNo) + "行目: " + why;
      return false;
    }
    takesQuotes = -1;
    for (std::size_t i = before; i < clauses->size(); ++i) {
      if (TakesProvisions((*clauses)[i].kind)) takesQuotes = static_cast<int>(i);
    }
  }
  return true;
}

}  // namespace verko
