#include "report/aratame_applier.h"

#include <algorithm>

namespace verko {
namespace {

struct Match {
  std::size_t at;
  std::size_t length;
  std::string put;  // what replaces [at, at + length)
};

// The changes of `edits` in one line, all found in the line as it stood (they do not see
// each other's results). Counts the matches of each edit into `found`.
std::string EditLine(const std::string& line, const std::vector<PhraseEdit>& edits,
                     std::vector<int>* found, bool* overlap) {
  std::vector<Match> matches;
  for (std::size_t e = 0; e < edits.size(); ++e) {
    const PhraseEdit& edit = edits[e];
    if (edit.from.empty()) continue;
    for (std::size_t at = line.find(edit.from); at != std::string::npos;
         at = line.find(edit.from, at + edit.from.size())) {
      ++(*found)[e];
      switch (edit.kind) {
        case PhraseEdit::Kind::kReplace:
          matches.push_back({at, edit.from.size(), edit.to});
          break;
        case PhraseEdit::Kind::kDelete:
          matches.push_back({at, edit.from.size(), ""});
          break;
        case PhraseEdit::Kind::kAddAfter:
          matches.push_back({at, edit.from.size(), edit.from + edit.to});
          break;
      }
    }
  }
  std::sort(matches.begin(), matches.end(),
            [](const Match& a, const Match& b) { return a.at < b.at; });
  std::string out;
  std::size_t done = 0;
  for (const Match& match : matches) {
    if (match.at < done) {
      *overlap = true;
      continue;
    }
    out.append(line, done, match.at - done);
    out += match.put;
    done = match.at + match.length;
  }
  out.append(line, done);
  return out;
}

class Applier {
 public:
  explicit Applier(std::vector<std::string>* lines) : lines_(*lines) {}

  bool Apply(const AratameClause& clause, std::string* why) {
    switch (clause.kind) {
      case ClauseKind::kPhrases:
        return std::all_of(
            clause.targets.begin(), clause.targets.end(),
            [&](const AmendmentPath& target) { return EditWords(target, clause.edits, why); });
      case ClauseKind::kHeadingText:
        return SetHeading(clause.targets[0], clause.heading, why);
      case ClauseKind::kReplace:
        return Splice(clause.targets[0], Where::kOver, clause.provisions, why);
      case ClauseKind::kDelete:
        return Splice(clause.targets[0], Where::kOver, {}, why);
      case ClauseKind::kInsertAfter:
      case ClauseKind::kAppend:
        return Splice(clause.targets[0], Where::kAfter, clause.provisions, why);
      case ClauseKind::kInsertBefore:
        return Splice(clause.targets[0], Where::kBefore, clause.provisions, why);
      case ClauseKind::kRenumber:
        return Renumber({clause.targets[0]}, {clause.to}, why);
      case ClauseKind::kShift:
        return Shift(clause, why);
    }
    return false;
  }

 private:
  enum class Where { kOver, kAfter, kBefore };

  bool EditWords(const AmendmentPath& target, const std::vector<PhraseEdit>& edits,
                 std::string* why) {
    LineRange range;
    if (!FindTextScope(lines_, target, &range, why)) return false;
    std::vector<int> found(edits.size(), 0);
    bool overlap = false;
    std::vector<std::string> edited;
    for (int i = range.begin; i < range.end; ++i) {
      edited.push_back(EditLine(lines_[i], edits, &found, &overlap));
    }
    for (std::size_t e = 0; e < edits.size(); ++e) {
      if (found[e] == 0) {
        *why = PathName(target, NumeralStyle::kKanji) + "に「" + edits[e].from + "」がありません";
        return false;
      }
    }
    if (overlap) {
      *why = PathName(target, NumeralStyle::kKanji) + "で改める字句が重なっています";
      return false;
    }
    std::copy(edited.begin(), edited.end(), lines_.begin() + range.begin);
    return true;
  }

  bool SetHeading(AmendmentPath target, const std::string& heading, std::string* why) {
    LineRange range;
    if (FindProvision(lines_, target, &range, why)) {
      lines_[range.begin] = heading;
      return true;
    }
    // An article without a 見出し gets one above its number.
    target.heading = false;
    if (!FindTextScope(lines_, target, &range, why)) return false;
    lines_.insert(lines_.begin() + range.begin, heading);
    return true;
  }

  bool Splice(const AmendmentPath& target, Where where, const std::vector<std::string>& put,
              std::string* why) {
    LineRange range;
    if (!FindProvision(lines_, target, &range, why)) return false;
    if (where != Where::kOver && put.empty()) {
      *why = "加える条文が引用されていません";
      return false;
    }
    if (where == Where::kOver) {
      lines_.erase(lines_.begin() + range.begin, lines_.begin() + range.end);
      lines_.insert(lines_.begin() + range.begin, put.begin(), put.end());
    } else {
      int at = where == Where::kAfter ? range.end : range.begin;
      lines_.insert(lines_.begin() + at, put.begin(), put.end());
    }
    return true;
  }

  // The number of a provision as its level counts it.
  static const CitedNumber* NumberOf(const AmendmentPath& path, CitedNumber* scratch) {
    switch (path.Level()) {
      case ProvisionLevel::kItem:
        return &path.item;
      case ProvisionLevel::kParagraph:
        *scratch = {path.paragraph};
        return scratch;
      default:
        return &path.article;
    }
  }

  // Renumbers every provision of `from` to the number of `to` at once: the lines are found
  // first, so that a number given is not taken for one still to change.
  bool Renumber(const std::vector<AmendmentPath>& from, const std::vector<AmendmentPath>& to,
                std::string* why) {
    std::vector<int> heads;
    for (std::size_t i = 0; i < from.size(); ++i) {
      if (from[i].Level() != to[i].Level() || from[i].Level() == ProvisionLevel::kLine) {
        *why = "番号を改める条項の段が合いません";
        return false;
      }
      LineRange range;
      if (!FindTextScope(lines_, from[i], &range, why)) return false;
      heads.push_back(range.begin);
    }
    for (std::size_t i = 0; i < from.size(); ++i) {
      CitedNumber scratch;
      lines_[heads[i]] = Relabel(lines_[heads[i]], *NumberOf(to[i], &scratch));
    }
    return true;
  }

  bool Shift(const AratameClause& clause, std::string* why) {
    const AmendmentPath& first = clause.targets[0];
    CitedNumber a, b;
    const CitedNumber& low = *NumberOf(first, &a);
    const CitedNumber& high = *NumberOf(clause.to, &b);
    std::vector<AmendmentPath> from = SiblingsInRange(lines_, first, low[0], high[0]);
    if (from.empty()) {
      *why = PathName(first, NumeralStyle::kKanji) + "が見つかりません";
      return false;
    }
    std::vector<AmendmentPath> to = from;
    for (AmendmentPath& path : to) {
      switch (path.Level()) {
        case ProvisionLevel::kItem:
          path.item[0] += clause.shift;
          break;
        case ProvisionLevel::kParagraph:
          path.paragraph += clause.shift;
          break;
        default:
          path.article[0] += clause.shift;
      }
    }
    return Renumber(from, to, why);
  }

  std::vector<std::string>& lines_;
};

}  // namespace

bool ApplyClauses(const std::vector<AratameClause>& clauses, std::vector<std::string>* lines,
                  std::string* error) {
  Applier applier(lines);
  for (const AratameClause& clause : clauses) {
    std::string why;
    if (!applier.Apply(clause, &why)) {
      *error = "「" + clause.source + "」を適用できません: " + why;
      return false;
    }
  }
  return true;
}

bool ApplyAratame(std::string_view amendment, std::vector<std::string>* lines, std::string* error) {
  std::vector<AratameClause> clauses;
  if (!ParseAratame(amendment, &clauses, error)) return false;
  return ApplyClauses(clauses, lines, error);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace verko
