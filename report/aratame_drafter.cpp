#include "report/aratame_drafter.h"

#include <algorithm>

#include "report/aratame_applier.h"
#include "report/aratame_line_draft.h"

namespace verko {
namespace {

// A unit at the top of a document: an article with its 見出し, or a line outside articles.
struct Block {
  int begin = 0;
  int end = 0;
  int head = -1;  // the article's numbered line; -1 for a line outside articles
  bool supplementary = false;
  CitedNumber number;
  bool Article() const { return head >= 0; }
};

bool EndsArticle(LineRole role) {
  return role == LineRole::kArticle || role == LineRole::kHeading || role == LineRole::kChapter ||
         role == LineRole::kSupplementary;
}

std::vector<Block> BlocksOf(const std::vector<std::string>& lines) {
  int count = static_cast<int>(lines.size());
  int supplementary = SupplementaryStart(lines);
  std::vector<LineLabel> labels = LabelsOf(lines);
  std::vector<Block> blocks;
  for (int i = 0; i < count;) {
    int head = labels[i].role == LineRole::kArticle ? i
               : labels[i].role == LineRole::kHeading && i + 1 < count &&
                       labels[i + 1].role == LineRole::kArticle
                   ? i + 1
                   : -1;
    if (head < 0) {
      blocks.push_back({i, i + 1, -1, i > supplementary, {}});
      ++i;
      continue;
    }
    int end = head + 1;
    while (end < count && !EndsArticle(labels[end].role)) ++end;
    blocks.push_back({i, end, head, head > supplementary, labels[head].number});
    i = end;
  }
  return blocks;
}

// The text of lines [begin, end) with the label of line `head` taken off: an article's
// words whatever its number.
std::string Body(const std::vector<std::string>& lines, int begin, int end, int head) {
  std::string body;
  for (int i = begin; i < end; ++i) {
    body += i == head ? lines[i].substr(LabelOf(lines[i]).length) : lines[i];
    body += '\n';
  }
  return body;
}

// The provisions one level down: the 項 of an article, the 号 of a 項 (the lines before the
// first of them lead). Each part is [begin, end) of the document's lines.
struct Parts {
  int leadEnd = 0;
  std::vector<LineRange> parts;
  std::vector<CitedNumber> numbers;
};

Parts PartsOf(const std::vector<LineLabel>& labels, LineRange range, LineRole role) {
  Parts out;
  out.leadEnd = range.end;
  LineLabel first;
  for (int i = range.begin; i < range.end; ++i) {
    const LineLabel& label = labels[i];
    if (label.role != role) continue;
    if (!out.parts.empty() && (label.parenthesised != first.parenthesised)) continue;
    if (out.parts.empty()) {
      first = label;
      out.leadEnd = i;
    } else {
      out.parts.back().end = i;
    }
    out.parts.push_back({i, range.end});
    out.numbers.push_back(label.number);
  }
  return out;
}

// One clause of a sentence: the provision it names and what happens to it. Words changed
// in it are `edits`; anything else is `going` (改め, 削り, 加え) and `ending` (改める …)
// after the name; a renumbering names `target` between them.
struct Clause {
  AmendmentPath path;
  std::vector<PhraseEdit> edits;
  std::string going, ending;
  bool renumber = false;
  AmendmentPath target;
  std::vector<std::string> quoted;
};

Clause Action(const AmendmentPath& path, std::string going, std::string ending) {
  Clause clause;
  clause.path = path;
  clause.going = std::move(going);
  clause.ending = std::move(ending);
  return clause;
}

class ArticleDrafter {
 public:
  ArticleDrafter(const std::vector<std::string>& oldLines, const std::vector<std::string>& newLines,
                 AratameStyle style)
      : old_(oldLines),
        new_(newLines),
        oldLabels_(LabelsOf(oldLines)),
        newLabels_(LabelsOf(newLines)),
        style_(style) {}

  // The clauses turning old article `a` into new article `b`; false where they cannot be
  // drafted finer than the whole article.
  bool Draft(const Block& a, const Block& b, std::vector<Clause>* clauses) {
    AmendmentPath article;
    article.supplementary = a.supplementary;
    article.article = a.number;
    bool oldHeading = a.begin < a.head;
    bool newHeading = b.begin < b.head;
    if (oldHeading != newHeading) return false;
    if (oldHeading && old_[a.begin] != new_[b.begin]) {
      AmendmentPath heading = article;
      heading.heading = true;
      if (!AddEdits(heading, old_[a.begin], new_[b.begin], {a.begin, a.head}, clauses)) {
        return false;
      }
    }
    Parts oldParas = PartsOf(oldLabels_, {a.head + 1, a.end}, LineRole::kParagraph);
    Parts newParas = PartsOf(newLabels_, {b.head + 1, b.end}, LineRole::kParagraph);
    if (oldParas.parts.size() != newParas.parts.size()) return false;
    bool numbered = !oldParas.parts.empty();
    for (std::size_t k = 0; k <= oldParas.parts.size(); ++k) {
      LineRange oldPara = k == 0 ? LineRange{a.head, oldParas.leadEnd} : oldParas.parts[k - 1];
      LineRange newPara = k == 0 ? LineRange{b.head, newParas.leadEnd} : newParas.parts[k - 1];
      AmendmentPath path = article;
      if (numbered) path.paragraph = k == 0 ? 1 : oldParas.numbers[k - 1][0];
      if (!DraftParagraph(path, oldPara, newPara, a.head, b.head, clauses)) return false;
    }
    if (a.number != b.number) {
      Clause renumber = Action(article, "とし", "とする");
      renumber.renumber = true;
      renumber.target = article;
      renumber.target.article = b.number;
      clauses->push_back(renumber);
    }
    return true;
  }

 private:
  // The old line as it compares to the new: an article's number as the new text has it, so
  // that a renumbered article's first line shows only its changed words.
  std::string Comparable(int oldIndex, int oldHead, int newHead) const {
    if (oldIndex != oldHead) return old_[oldIndex];
    return Relabel(old_[oldIndex], LabelOf(new_[newHead]).number);
  }

  bool AddEdits(const AmendmentPath& path, const std::string& oldLine, const std::string& newLine,
                LineRange scope, std::vector<Clause>* clauses, bool labelled = false) {
    std::vector<std::string_view> lines;
    for (int i = scope.begin; i < scope.end; ++i) lines.push_back(old_[i]);
    std::vector<PhraseEdit> edits;
    // A number stays out of the words: the renumbering clause changes it.
    std::size_t oldLabel = labelled ? LabelOf(oldLine).length : 0;
    std::size_t newLabel = labelled ? LabelOf(newLine).length : 0;
    if (!DraftLineEdits(std::string_view(oldLine).substr(oldLabel),
                        std::string_view(newLine).substr(newLabel), lines, &edits)) {
      return false;
    }
    if (edits.empty()) return true;
    if (clauses->empty() || clauses->back().path != path || clauses->back().edits.empty()) {
      Clause clause;
      clause.path = path;
      clauses->push_back(clause);
    }
    std::vector<PhraseEdit>& into = clauses->back().edits;
    into.insert(into.end(), edits.begin(), edits.end());
    return true;
  }

  bool DraftParagraph(const AmendmentPath& path, LineRange a, LineRange b, int oldHead, int newHead,
                      std::vector<Clause>* clauses) {
    Parts oldItems = PartsOf(oldLabels_, {a.begin + 1, a.end}, LineRole::kItem);
    Parts newItems = PartsOf(newLabels_, {b.begin + 1, b.end}, LineRole::kItem);
    int oldLead = (oldItems.parts.empty() ? a.end : oldItems.leadEnd) - a.begin;
    int newLead = (newItems.parts.empty() ? b.end : newItems.leadEnd) - b.begin;
    if (oldLead != newLead) return false;
    for (int i = 0; i < oldLead; ++i) {
      int o = a.begin + i;
      int n = b.begin + i;
      if (Comparable(o, oldHead, newHead) == new_[n]) continue;
      bool labelled = o == oldHead || (i == 0 && path.paragraph > 1);
      if (!AddEdits(path, old_[o], new_[n], a, clauses, labelled)) {
        return false;
      }
    }
    return DraftItems(path, oldItems, newItems, clauses);
  }

  std::string ItemBody(const std::vector<std::string>& lines, LineRange range) const {
    return Body(lines, range.begin, range.end, range.begin);
  }

  bool DraftItems(const AmendmentPath& paragraph, const Parts& a, const Parts& b,
                  std::vector<Clause>* clauses) {
    int n = static_cast<int>(a.parts.size());
    int m = static_cast<int>(b.parts.size());
    if (n == 0 && m == 0) return true;
    auto pairs = AlignByScore(n, m, [&](int i, int j) -> int {
      std::string x = ItemBody(old_, a.parts[i]);
      std::string y = ItemBody(new_, b.parts[j]);
      return x == y ? 3 : Likeness(x, y) >= kAlikeEnough ? 1 : 0;
    });
    // From the last 号 to the first, each gap of added ones after the 号 before it.
    pairs.insert(pairs.begin(), {-1, -1});
    pairs.emplace_back(n, m);
    for (std::size_t p = pairs.size() - 1; p > 0; --p) {
      auto [i, j] = pairs[p];
      auto [pi, pj] = pairs[p - 1];
      if (i < n && !DraftItem(paragraph, a, b, i, j, clauses)) return false;
      for (int k = i - 1; k > pi; --k) {
        AmendmentPath item = paragraph;
        item.item = a.numbers[k];
        clauses->push_back(Action(item, "を削り", "を削る"));
      }
      if (j - pj > 1) AddItems(paragraph, a, pi, i, b, pj + 1, j, clauses);
    }
    return true;
  }

  bool DraftItem(const AmendmentPath& paragraph, const Parts& a, const Parts& b, int i, int j,
                 std::vector<Clause>* clauses) {
    AmendmentPath item = paragraph;
    item.item = a.numbers[i];
    LineRange x = a.parts[i];
    LineRange y = b.parts[j];
    if (x.end - x.begin != y.end - y.begin) {
      Clause whole = Action(item, "を次のように改め", "を次のように改める");
      whole.quoted.assign(new_.begin() + y.begin, new_.begin() + y.end);
      clauses->push_back(whole);
      return true;
    }
    for (int k = 0; k < x.end - x.begin; ++k) {
      std::string oldLine = k == 0 ? Relabel(old_[x.begin], b.numbers[j]) : old_[x.begin + k];
      if (oldLine == new_[y.begin + k]) continue;
      if (!AddEdits(item, old_[x.begin + k], new_[y.begin + k], x, clauses, k == 0)) {
        return false;
      }
    }
    if (a.numbers[i] != b.numbers[j]) {
      Clause renumber = Action(item, "とし", "とする");
      renumber.renumber = true;
      renumber.target = item;
      renumber.target.item = b.numbers[j];
      clauses->push_back(renumber);
    }
    return true;
  }

  void AddItems(const AmendmentPath& paragraph, const Parts& a, int before, int after,
                const Parts& b, int from, int to, std::vector<Clause>* clauses) {
    std::string count = "次の" + WriteNumeral(to - from, NumeralsOf(style_)) + "号を加え";
    Clause add = Action(paragraph, "に" + count, "に" + count + "る");
    if (before >= 0) {
      add.path.item = a.numbers[before];
      add = Action(add.path, "の次に" + count, "の次に" + count + "る");
    } else if (after < static_cast<int>(a.parts.size())) {
      add.path.item = a.numbers[after];
      add = Action(add.path, "の前に" + count, "の前に" + count + "る");
    }
    add.quoted.assign(new_.begin() + b.parts[from].begin, new_.begin() + b.parts[to - 1].end);
    clauses->push_back(add);
  }

  const std::vector<std::string>& old_;
  const std::vector<std::string>& new_;
  std::vector<LineLabel> oldLabels_, newLabels_;
  AratameStyle style_;
};

// The sentences of `clauses`: each clause named after the one before it (同条, 同項), a
// sentence closed after a clause that quotes provisions (they follow it) and at the end.
void WriteClauses(const std::vector<Clause>& clauses, AratameStyle style,
                  std::vector<DraftSentence>* sentences) {
  std::string text;
  const AmendmentPath* previous = nullptr;
  for (std::size_t i = 0; i < clauses.size(); ++i) {
    const Clause& clause = clauses[i];
    bool closes = i + 1 == clauses.size() || !clause.quoted.empty();
    text += RelativeName(clause.path, previous, style);
    if (!clause.edits.empty()) {
      text += "中" + WordEdits(clause.edits, style, closes);
    } else if (clause.renumber) {
      text += "を" + RelativeName(clause.target, &clause.path, style) +
              (closes ? clause.ending : clause.going);
    } else {
      text += closes ? clause.ending : clause.going;
    }
    previous = clause.renumber ? &clause.target : &clause.path;
    if (closes) {
      sentences->push_back({text + "。", clause.quoted, false});
      text.clear();
      previous = nullptr;
    } else {
      text += "、";
    }
  }
}

AmendmentPath ArticlePath(const Block& block) {
  AmendmentPath path;
  path.supplementary = block.supplementary;
  path.article = block.number;
  return path;
}

std::vector<std::string> LinesOf(const std::vector<std::string>& lines, const Block& block) {
  return {lines.begin() + block.begin, lines.begin() + block.end};
}

// The lines of the article `path` in `lines`, empty when it is not there.
std::vector<std::string> ArticleLines(const std::vector<std::string>& lines,
                                      const AmendmentPath& path) {
  LineRange range;
  std::string why;
  if (!FindProvision(lines, path, &range, &why)) return {};
  return {lines.begin() + range.begin, lines.begin() + range.end};
}

bool Applies(const std::vector<DraftSentence>& sentences, std::vector<std::string>* lines) {
  std::string error;
  return ApplyAratame(WriteSentences(sentences), lines, &error);
}

class DocumentDrafter {
 public:
  DocumentDrafter(const std::vector<std::string>& oldLines,
                  const std::vector<std::string>& newLines, AratameStyle style)
      : old_(oldLines), new_(newLines), style_(style), articles_(oldLines, newLines, style) {}

  // The sentences by provisions; false where the document's changes are not all in its
  // articles' reach (then the document is drafted by its lines).
  bool Draft(std::vector<DraftSentence>* out, int* whole) {
    std::vector<Block> a = BlocksOf(old_);
    std::vector<Block> b = BlocksOf(new_);
    bool articles = std::any_of(a.begin(), a.end(), [](const Block& x) { return x.Article(); });
    if (!articles) return false;
    auto pairs = AlignByScore(static_cast<int>(a.size()), static_cast<int>(b.size()),
                              [&](int i, int j) { return Score(a[i], b[j]); });
    pairs.insert(pairs.begin(), {-1, -1});
    pairs.emplace_back(a.size(), b.size());
    // Articles added, deleted or renumbered: every sentence from the end towards the start.
    bool reordered = false;
    std::vector<std::vector<DraftSentence>> groups;
    for (std::size_t p = pairs.size() - 1; p > 0; --p) {
      auto [i, j] = pairs[p];
      auto [pi, pj] = pairs[p - 1];
      if (i < static_cast<int>(a.size())) {
        if (a[i].Article()) {
          reordered |= a[i].number != b[j].number;
          groups.push_back(DraftArticle(a[i], b[j], whole));
        }
      }
      std::vector<DraftSentence> gap;
      if (!DraftGap(a, pi, i, b, pj, j, &gap)) return false;
      reordered |= !gap.empty();
      if (!gap.empty()) groups.push_back(gap);
    }
    if (!reordered) std::reverse(groups.begin(), groups.end());
    out->insert(out->end(), lineSentences_.begin(), lineSentences_.end());
    for (const auto& group : groups) out->insert(out->end(), group.begin(), group.end());
    return true;
  }

 private:
  int Score(const Block& x, const Block& y) const {
    if (x.Article() != y.Article()) return 0;
    if (!x.Article()) return old_[x.begin] == new_[y.begin] ? 3 : 0;
    if (x.supplementary != y.supplementary) return 0;
    std::string p = Body(old_, x.begin, x.end, x.head);
    std::string q = Body(new_, y.begin, y.end, y.head);
    if (p == q) return 4;
    if (x.number == y.number) return 2;
    return Likeness(p, q) >= 0.8 ? 1 : 0;
  }

  // An article changed: its finer clauses when applying them gives its new text, else the
  // article written whole.
  std::vector<DraftSentence> DraftArticle(const Block& a, const Block& b, int* whole) {
    std::vector<std::string> wanted = LinesOf(new_, b);
    if (LinesOf(old_, a) == wanted) return {};
    auto proven = [&](const std::vector<Clause>& clauses, std::vector<DraftSentence>* out) {
      WriteClauses(clauses, style_, out);
      std::vector<std::string> lines = old_;
      if (Applies(*out, &lines) && ArticleLines(lines, ArticlePath(b)) == wanted) return true;
      out->clear();
      return false;
    };
    std::vector<DraftSentence> sentences;
    std::vector<Clause> clauses;
    if (WordsEverywhere(a, b, &clauses) && proven(clauses, &sentences)) return sentences;
    clauses.clear();
    if (articles_.Draft(a, b, &clauses) && proven(clauses, &sentences)) return sentences;
    ++*whole;
    Clause clause = Action(ArticlePath(a), "を次のように改め", "を次のように改める");
    clause.quoted = wanted;
    WriteClauses({clause}, style_, &sentences);
    return sentences;
  }

  // An article whose lines changed only in their words, as one clause that changes each
  // phrase wherever it occurs in the article (第十四条中「第十号」を「第十一号」に改める),
  // quoting the shortest whole words; false where its lines, labels or 見出し changed.
  bool WordsEverywhere(const Block& a, const Block& b, std::vector<Clause>* clauses) const {
    if (a.number != b.number || a.end - a.begin != b.end - b.begin ||
        a.head - a.begin != b.head - b.begin) {
      return false;
    }
    if (a.begin < a.head && old_[a.begin] != new_[b.begin]) return false;
    Clause clause;
    clause.path = ArticlePath(a);
    for (int k = a.head - a.begin; k < a.end - a.begin; ++k) {
      const std::string& x = old_[a.begin + k];
      const std::string& y = new_[b.begin + k];
      if (x == y) continue;
      std::size_t label = LabelOf(x).length;
      if (label != LabelOf(y).length || x.compare(0, label, y, 0, label) != 0) return false;
      std::vector<PhraseEdit> edits;
      if (!DraftLineEdits(std::string_view(x).substr(label), std::string_view(y).substr(label), {},
                          &edits)) {
        return false;
      }
      for (const PhraseEdit& edit : edits) {
        auto same = std::find_if(clause.edits.begin(), clause.edits.end(),
                                 [&](const PhraseEdit& e) { return e.from == edit.from; });
        if (same == clause.edits.end()) {
          clause.edits.push_back(edit);
        } else if (same->kind != edit.kind || same->to != edit.to) {
          return false;
        }
      }
    }
    if (clause.edits.empty()) return false;
    clauses->push_back(clause);
    return true;
  }

  // Blocks a(pi, i) deleted and b(pj, j) added between two kept ones. Lines outside
  // articles are drafted by their numbers into `lineSentences_`, written before all else.
  bool DraftGap(const std::vector<Block>& a, int pi, int i, const std::vector<Block>& b, int pj,
                int j, std::vector<DraftSentence>* out) {
    std::vector<int> oldPlain;
    std::vector<std::string> newPlain;
    std::vector<int> oldArticles, newArticles;
    for (int k = pi + 1; k < i; ++k) (a[k].Article() ? oldArticles : oldPlain).push_back(k);
    for (int k = pj + 1; k < j; ++k) {
      if (b[k].Article()) {
        newArticles.push_back(k);
      } else {
        newPlain.push_back(new_[b[k].begin]);
      }
    }
    // Lines outside articles among added articles go in with them, quoted where they stand.
    bool withArticles = !newArticles.empty();
    if (oldPlain.size() == newPlain.size() && !withArticles) {
      for (int k = static_cast<int>(oldPlain.size()) - 1; k >= 0; --k) {
        lineSentences_.push_back(DraftLineChange(old_, a[oldPlain[k]].begin, newPlain[k], style_));
      }
    } else {
      // The deleted lines lie after the one the new lines follow: they go first.
      for (auto k = oldPlain.rbegin(); k != oldPlain.rend(); ++k) {
        lineSentences_.push_back(DraftLineDeletion(a[*k].begin));
      }
      if (!newPlain.empty() && !withArticles) {
        int after = pi >= 0 ? a[pi].end : 0;
        lineSentences_.push_back(DraftLineInsertion(after, newPlain, style_));
      }
    }
    std::vector<Clause> clauses;
    if (withArticles) {
      std::vector<std::string> added(new_.begin() + b[pj + 1].begin, new_.begin() + b[j - 1].end);
      std::string count = "次の" +
                          WriteNumeral(static_cast<int>(newArticles.size()), NumeralsOf(style_)) +
                          "条を加え";
      bool supplementary = b[pj + 1].supplementary;
      const Block* before =
          pi >= 0 && a[pi].Article() && a[pi].supplementary == supplementary ? &a[pi] : nullptr;
      const Block* after =
          i < static_cast<int>(a.size()) && a[i].Article() && a[i].supplementary == supplementary
              ? &a[i]
              : nullptr;
      Clause add;
      if (before != nullptr) {
        add = Action(ArticlePath(*before), "の次に" + count, "の次に" + count + "る");
      } else if (after != nullptr) {
        // The article after the gap was drafted first: it has its new number by now.
        add = Action(ArticlePath(b[j]), "の前に" + count, "の前に" + count + "る");
      } else {
        return false;
      }
      add.quoted = added;
      clauses.push_back(add);
    }
    // Deleted articles go before the added ones come in after the article before them, so
    // that no article stands out of its number's order meanwhile.
    std::vector<Clause> deletions;
    for (auto k = oldArticles.rbegin(); k != oldArticles.rend(); ++k) {
      deletions.push_back(Action(ArticlePath(a[*k]), "を削り", "を削る"));
    }
    clauses.insert(clauses.begin(), deletions.begin(), deletions.end());
    for (const Clause& clause : clauses) WriteClauses({clause}, style_, out);
    return true;
  }

  const std::vector<std::string>& old_;
  const std::vector<std::string>& new_;
  AratameStyle style_;
  ArticleDrafter articles_;
  std::vector<DraftSentence> lineSentences_;
};

}  // namespace

AratameDraft DraftAratame(const std::vector<std::string>& oldLines,
                          const std::vector<std::string>& newLines, AratameStyle style) {
  AratameDraft draft;
  std::vector<DraftSentence> sentences;
  if (DocumentDrafter(oldLines, newLines, style).Draft(&sentences, &draft.wholeProvisions)) {
    std::vector<std::string> lines = oldLines;
    if (Applies(sentences, &lines) && lines == newLines) {
      draft.text = WriteSentences(sentences);
      draft.proven = true;
      return draft;
    }
  }
  draft.byLines = true;
  draft.wholeProvisions = 0;
  sentences = DraftByLines(oldLines, newLines, style);
  std::vector<std::string> lines = oldLines;
  draft.proven = Applies(sentences, &lines) && lines == newLines;
  if (draft.proven) draft.text = WriteSentences(sentences);
  return draft;
}

}  // namespace verko
