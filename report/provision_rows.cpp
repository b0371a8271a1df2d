#include "report/provision_rows.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

#include "report/changed_characters.h"
#include "report/provisions.h"

namespace verko {
namespace {

// One non-blank line of a side with what it is and the group it is shown in: the article
// (or chapter, 附則 or 別表 heading, or the text before the first) that holds it.
struct Unit {
  std::string_view text;
  ProvisionLine line;
  int group = 0;
  bool head = false;  // the group's own line (an article's line) or a caption of it

  std::string_view Label() const {
    return text.substr(line.labelBegin, line.labelEnd - line.labelBegin);
  }
  // The text without its number: what stays when a provision is renumbered.
  std::string_view Body() const {
    return OpensProvision(line.kind) ? text.substr(line.textBegin) : text;
  }
};

std::vector<Unit> UnitsOf(const std::vector<std::string>& lines,
                          const std::vector<ProvisionLine>& provisions) {
  std::vector<Unit> units;
  int group = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ProvisionKind kind = provisions[i].kind;
    if (kind == ProvisionKind::kBlank) continue;
    const bool opensGroup = kind == ProvisionKind::kArticle || kind == ProvisionKind::kChapter ||
                            kind == ProvisionKind::kSupplementary ||
                            kind == ProvisionKind::kAppendedTable ||
                            kind == ProvisionKind::kContents;
    // A caption opens the group of the article it heads.
    const bool captionOpens = kind == ProvisionKind::kCaption &&
                              (units.empty() || units.back().line.kind != ProvisionKind::kCaption);
    if (opensGroup || captionOpens) {
      const bool joinsCaption = kind == ProvisionKind::kArticle && !units.empty() &&
                                units.back().line.kind == ProvisionKind::kCaption;
      if (!joinsCaption) ++group;
    }
    units.push_back({lines[i], provisions[i], group,
                     kind == ProvisionKind::kArticle || kind == ProvisionKind::kCaption});
  }
  return units;
}

// Whether two lines may be forms of one provision: the same kind of line.
bool SameKind(const Unit& a, const Unit& b) {
  return a.line.kind == b.line.kind;
}

// A pair of aligned units (-1 where a side has none).
struct Aligned {
  int oldIndex = -1, newIndex = -1;
  bool moved = false;  // joined out of the old side's order
};

// Pairs, in order, the old units `oldAt` with the new units `newAt` (indexes, increasing) by
// likeness of their bodies (LineSimilarity at least kMinPairSimilarity, the same kind), the
// sum of likeness the largest; equal labels weigh a little in a tie.
void AlignByLikeness(const std::vector<Unit>& olds, const std::vector<Unit>& news,
                     const std::vector<int>& oldAt, const std::vector<int>& newAt,
                     std::vector<Aligned>* out) {
  const int rows = static_cast<int>(oldAt.size()), cols = static_cast<int>(newAt.size());
  std::vector<double> best((rows + 1) * (cols + 1), 0.0);
  std::vector<double> score(rows * cols, 0.0);
  auto at = [cols](int i, int j) { return i * (cols + 1) + j; };
  for (int i = rows - 1; i >= 0; --i) {
    for (int j = cols - 1; j >= 0; --j) {
      const Unit& a = olds[oldAt[i]];
      const Unit& b = news[newAt[j]];
      double s = 0;
      if (SameKind(a, b)) {
        const double like = LineSimilarity(a.Body(), b.Body(), TextEncoding::kUtf8);
        if (like >= kMinPairSimilarity) s = like + (a.Label() == b.Label() ? 0.01 : 0.0);
      }
      score[i * cols + j] = s;
      double value = std::max(best[at(i + 1, j)], best[at(i, j + 1)]);
      if (s > 0) value = std::max(value, s + best[at(i + 1, j + 1)]);
      best[at(i, j)] = value;
    }
  }
  int i = 0, j = 0;
  while (i < rows && j < cols) {
    const double s = score[i * cols + j];
    if (s > 0 && best[at(i, j)] == s + best[at(i + 1, j + 1)]) {
      out->push_back({oldAt[i++], newAt[j++]});
    } else if (best[at(i, j)] == best[at(i + 1, j)]) {
      out->push_back({oldAt[i++], -1});
    } else {
      out->push_back({-1, newAt[j++]});
    }
  }
  while (i < rows) out->push_back({oldAt[i++], -1});
  while (j < cols) out->push_back({-1, newAt[j++]});
}

std::vector<int> Span(int begin, int end) {
  std::vector<int> span;
  for (int k = begin; k < end; ++k) span.push_back(k);
  return span;
}

// The alignment of the two sides: first the longest chain of units whose kind and body are
// equal (so a provision only renumbered is found whatever its number), then, between two
// links of that chain, the units alike by likeness. False past the cost bound.
bool Align(const std::vector<Unit>& olds, const std::vector<Unit>& news,
           std::vector<Aligned>* out) {
  const int n = static_cast<int>(olds.size()), m = static_cast<int>(news.size());
  if (static_cast<long long>(n + 1) * (m + 1) > kMaxProvisionCells) return false;
  std::vector<int> chain((n + 1) * (m + 1), 0);
  auto at = [m](int i, int j) { return i * (m + 1) + j; };
  auto equal = [&](int i, int j) {
    return SameKind(olds[i], news[j]) && olds[i].Body() == news[j].Body();
  };
  for (int i = n - 1; i >= 0; --i) {
    for (int j = m - 1; j >= 0; --j) {
      chain[at(i, j)] = equal(i, j) ? chain[at(i + 1, j + 1)] + 1
                                    : std::max(chain[at(i + 1, j)], chain[at(i, j + 1)]);
    }
  }
  int i = 0, j = 0, gapOld = 0, gapNew = 0;
  while (i < n && j < m) {
    if (equal(i, j) && chain[at(i, j)] == chain[at(i + 1, j + 1)] + 1) {
      if (static_cast<long long>(i - gapOld) * (j - gapNew) > kMaxProvisionCells) return false;
      AlignByLikeness(olds, news, Span(gapOld, i), Span(gapNew, j), out);
      out->push_back({i++, j++});
      gapOld = i, gapNew = j;
    } else if (chain[at(i + 1, j)] >= chain[at(i, j + 1)]) {
      ++i;
    } else {
      ++j;
    }
  }
  if (static_cast<long long>(n - gapOld) * (m - gapNew) > kMaxProvisionCells) return false;
  AlignByLikeness(olds, news, Span(gapOld, n), Span(gapNew, m), out);
  return true;
}

// The units of each group left without partner on one side: group → indexes into `aligned`.
std::map<int, std::vector<int>> UnpairedGroups(const std::vector<Unit>& units,
                                               const std::vector<Aligned>& aligned, bool old) {
  std::map<int, std::vector<int>> groups;
  for (int k = 0; k < static_cast<int>(aligned.size()); ++k) {
    const int own = old ? aligned[k].oldIndex : aligned[k].newIndex;
    const int other = old ? aligned[k].newIndex : aligned[k].oldIndex;
    if (own >= 0 && other < 0) groups[units[own].group].push_back(k);
  }
  return groups;
}

std::string BodiesOf(const std::vector<Unit>& units, const std::vector<Aligned>& aligned,
                     const std::vector<int>& entries, bool old) {
  std::string bodies;
  for (int k : entries) bodies += units[old ? aligned[k].oldIndex : aligned[k].newIndex].Body();
  return bodies;
}

// An article (or chapter) that left its place: the unpaired lines of an old group and of a
// new group elsewhere, alike as a whole, are paired line by line at the new place, so that a
// moved provision is never （削る） at one place and （新設） at another.
void JoinMovedGroups(const std::vector<Unit>& olds, const std::vector<Unit>& news,
                     std::vector<Aligned>* aligned) {
  const std::map<int, std::vector<int>> deleted = UnpairedGroups(olds, *aligned, true);
  const std::map<int, std::vector<int>> added = UnpairedGroups(news, *aligned, false);
  std::vector<std::pair<std::string, const std::vector<int>*>> candidates;
  for (const auto& [group, entries] : deleted) {
    candidates.emplace_back(BodiesOf(olds, *aligned, entries, true), &entries);
  }
  std::vector<bool> taken(candidates.size(), false);
  for (const auto& [group, entries] : added) {
    const std::string bodies = BodiesOf(news, *aligned, entries, false);
    double best = kMinPairSimilarity;
    int chosen = -1;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
      if (taken[c]) continue;
      const double like = LineSimilarity(candidates[c].first, bodies, TextEncoding::kUtf8);
      if (like >= best) best = like, chosen = static_cast<int>(c);
    }
    if (chosen < 0) continue;
    taken[chosen] = true;
    std::vector<int> oldAt, newAt;
    for (int k : *candidates[chosen].second) oldAt.push_back((*aligned)[k].oldIndex);
    for (int k : entries) newAt.push_back((*aligned)[k].newIndex);
    std::vector<Aligned> pairs;
    AlignByLikeness(olds, news, oldAt, newAt, &pairs);
    for (const Aligned& pair : pairs) {
      if (pair.oldIndex < 0 || pair.newIndex < 0) continue;
      for (int k : *candidates[chosen].second) {
        if ((*aligned)[k].oldIndex == pair.oldIndex) (*aligned)[k].oldIndex = -1;
      }
      for (int k : entries) {
        if ((*aligned)[k].newIndex == pair.newIndex) {
          (*aligned)[k].oldIndex = pair.oldIndex, (*aligned)[k].moved = true;
        }
      }
    }
  }
}

// Whether a unit is known enough by its text to be found again elsewhere: long enough that
// it is not a stock phrase.
bool Distinctive(const Unit& unit) {
  constexpr std::size_t kMinMovedBytes = 60;  // about twenty Japanese characters
  return unit.line.kind != ProvisionKind::kText && unit.Body().size() >= kMinMovedBytes;
}

// A provision that left its place alone: an old line without partner whose body equals that
// of one new line without partner elsewhere, each the only one of its side with that body,
// is shown beside it, at the new place.
void JoinMoved(const std::vector<Unit>& olds, const std::vector<Unit>& news,
               std::vector<Aligned>* aligned) {
  std::map<std::pair<ProvisionKind, std::string_view>, std::pair<int, int>> found;  // counts
  for (const Aligned& a : *aligned) {
    if (a.oldIndex >= 0 && a.newIndex < 0 && Distinctive(olds[a.oldIndex])) {
      ++found[{olds[a.oldIndex].line.kind, olds[a.oldIndex].Body()}].first;
    }
    if (a.newIndex >= 0 && a.oldIndex < 0 && Distinctive(news[a.newIndex])) {
      ++found[{news[a.newIndex].line.kind, news[a.newIndex].Body()}].second;
    }
  }
  for (Aligned& added : *aligned) {
    if (added.oldIndex >= 0 || added.newIndex < 0) continue;
    const Unit& unit = news[added.newIndex];
    if (!Distinctive(unit) || found[{unit.line.kind, unit.Body()}] != std::pair(1, 1)) continue;
    for (Aligned& deleted : *aligned) {
      if (deleted.newIndex >= 0 || deleted.oldIndex < 0) continue;
      const Unit& old = olds[deleted.oldIndex];
      if (!SameKind(old, unit) || old.Body() != unit.Body()) continue;
      added.oldIndex = deleted.oldIndex;
      added.moved = true;
      deleted.oldIndex = -1;
      break;
    }
  }
  std::erase_if(*aligned, [](const Aligned& a) { return a.oldIndex < 0 && a.newIndex < 0; });
}

std::vector<ChangedRange> RangesOf(const std::vector<ByteRange>& ranges, std::size_t shift) {
  std::vector<ChangedRange> out;
  for (const ByteRange& range : ranges) out.push_back({range.begin + shift, range.end + shift});
  return out;
}

// The marks of a unit shown whole as added or deleted: in the formal style its number (or
// its whole 見出し) doubly underlined and the rest underlined; else all of it underlined.
void MarkWhole(const Unit& unit, TaishoStyle style, std::vector<ChangedRange>* single,
               std::vector<ChangedRange>* doubled) {
  const std::size_t size = unit.text.size();
  if (style == TaishoStyle::kFormal && unit.line.kind == ProvisionKind::kCaption) {
    doubled->push_back({0, size});
  } else if (style == TaishoStyle::kFormal && unit.line.labelEnd > unit.line.labelBegin) {
    doubled->push_back({unit.line.labelBegin, unit.line.labelEnd});
    single->push_back({unit.line.textBegin, size});
  } else {
    single->push_back({0, size});
  }
}

// The row of a provision in both texts, changed or moved: its changed words underlined, its
// number too where it changed or the provision moved (doubly in the formal style).
TaishoRow ChangedRow(const Unit& old, const Unit& now, bool moved, TaishoStyle style) {
  TaishoRow row;
  row.kind = TaishoRowKind::kChanged;
  row.oldText = old.text, row.newText = now.text;
  const bool renumbered = OpensProvision(now.line.kind) && (moved || old.Label() != now.Label());
  const std::size_t oldBody = OpensProvision(old.line.kind) ? old.line.textBegin : 0;
  const std::size_t newBody = OpensProvision(now.line.kind) ? now.line.textBegin : 0;
  const ChangedRanges body = FindChangedCharacters(old.Body(), now.Body(), TextEncoding::kUtf8);
  row.oldChanged = RangesOf(body.oldRanges, oldBody);
  row.newChanged = RangesOf(body.newRanges, newBody);
  if (renumbered) {
    auto& oldMarks = style == TaishoStyle::kFormal ? row.oldDouble : row.oldChanged;
    auto& newMarks = style == TaishoStyle::kFormal ? row.newDouble : row.newChanged;
    oldMarks.push_back({old.line.labelBegin, old.line.labelEnd});
    newMarks.push_back({now.line.labelBegin, now.line.labelEnd});
  }
  return row;
}

// What became of each aligned pair, and the row it shows when shown.
struct Placed {
  Aligned units;
  bool changed = false;
  int group = 0;  // the group it is shown in (new side's, else the old side's), numbered
                  // across both sides by order of appearance
  bool head = false;
  TaishoRow row;
};

// The label a （略） row gives a left-out run: the number of the provision the run is, when
// it is one provision with what it holds (２　（略）); else none.
std::string OmittedLabel(const std::vector<Unit>& units, const std::vector<int>& run) {
  if (run.empty()) return {};
  const Unit& first = units[run.front()];
  if (!OpensProvision(first.line.kind) || first.line.kind == ProvisionKind::kArticle) return {};
  const ProvisionPath& path = first.line.path;
  for (int index : run) {
    const ProvisionPath& inner = units[index].line.path;
    const bool within = inner.article == path.article && inner.paragraph == path.paragraph &&
                        (first.line.kind == ProvisionKind::kParagraph || inner.item == path.item);
    if (!within) return {};
  }
  return std::string(first.Label());
}

}  // namespace

std::optional<std::vector<TaishoRow>> ProvisionRowsOf(const std::vector<std::string>& oldLines,
                                                      const std::vector<std::string>& newLines,
                                                      const ProvisionRowOptions& options) {
  auto provisionsOf = [](const std::vector<std::string>& lines) {
    return ReadProvisions(std::vector<std::string_view>(lines.begin(), lines.end()));
  };
  const std::vector<ProvisionLine> oldProvisions = provisionsOf(oldLines);
  const std::vector<ProvisionLine> newProvisions = provisionsOf(newLines);
  if (!HasProvisions(oldProvisions) || !HasProvisions(newProvisions)) return std::nullopt;
  const std::vector<Unit> olds = UnitsOf(oldLines, oldProvisions);
  const std::vector<Unit> news = UnitsOf(newLines, newProvisions);
  std::vector<Aligned> aligned;
  if (!Align(olds, news, &aligned)) return std::nullopt;
  JoinMovedGroups(olds, news, &aligned);
  JoinMoved(olds, news, &aligned);

  // Each pair's row, and the groups that hold a change.
  std::vector<Placed> placed;
  std::vector<bool> groupChanged;
  int lastOldGroup = -1, lastNewGroup = -1, group = -1;
  for (const Aligned& pair : aligned) {
    Placed p;
    p.units = pair;
    const Unit* old = pair.oldIndex >= 0 ? &olds[pair.oldIndex] : nullptr;
    const Unit* now = pair.newIndex >= 0 ? &news[pair.newIndex] : nullptr;
    // A new group starts where either side's group changes.
    const bool opens = (old && old->group != lastOldGroup) || (now && now->group != lastNewGroup);
    if (opens) ++group, groupChanged.push_back(false);
    if (old) lastOldGroup = old->group;
    if (now) lastNewGroup = now->group;
    p.group = group;
    p.head = (now ? now : old)->head;
    if (old && now && old->text == now->text && !pair.moved) {
      p.row.kind = TaishoRowKind::kCommon;
      p.row.oldText = old->text, p.row.newText = now->text;
    } else if (old && now) {
      p.row = ChangedRow(*old, *now, pair.moved, options.style);
      p.changed = true;
    } else if (now) {
      p.row.kind = TaishoRowKind::kAdded;
      p.row.newText = now->text;
      MarkWhole(*now, options.style, &p.row.newChanged, &p.row.newDouble);
      p.changed = true;
    } else {
      p.row.kind = TaishoRowKind::kDeleted;
      p.row.oldText = old->text;
      MarkWhole(*old, options.style, &p.row.oldChanged, &p.row.oldDouble);
      p.changed = true;
    }
    if (p.changed) groupChanged[group] = true;
    placed.push_back(std::move(p));
  }
  // A caption of a renumbered article carries the double underline of its number.
  if (options.style == TaishoStyle::kFormal) {
    for (std::size_t k = 0; k + 1 < placed.size(); ++k) {
      Placed& caption = placed[k];
      const Placed& next = placed[k + 1];
      if (caption.row.kind != TaishoRowKind::kCommon || caption.units.newIndex < 0 ||
          news[caption.units.newIndex].line.kind != ProvisionKind::kCaption ||
          next.row.oldDouble.empty() || next.row.newDouble.empty()) {
        continue;
      }
      caption.row.kind = TaishoRowKind::kChanged;
      caption.row.oldDouble.push_back({0, caption.row.oldText.size()});
      caption.row.newDouble.push_back({0, caption.row.newText.size()});
      caption.changed = true;
    }
  }

  // A 附則's heading is shown above its changed provisions (their numbers start again there).
  bool changedBelow = false;
  for (std::size_t k = placed.size(); k-- > 0;) {
    Placed& p = placed[k];
    const Unit& unit = p.units.newIndex >= 0 ? news[p.units.newIndex] : olds[p.units.oldIndex];
    if (unit.line.kind == ProvisionKind::kSupplementary) {
      p.head = changedBelow;
      changedBelow = false;
      if (p.head) groupChanged[p.group] = true;
    } else {
      changedBelow = changedBelow || p.changed;
    }
  }

  std::vector<TaishoRow> rows;
  std::vector<int> omittedOld, omittedNew;
  auto flushOmitted = [&] {
    if (omittedOld.empty() && omittedNew.empty()) return;
    TaishoRow row;
    row.kind = TaishoRowKind::kOmitted;
    row.oldText = OmittedLabel(olds, omittedOld);
    row.newText = OmittedLabel(news, omittedNew);
    rows.push_back(std::move(row));
    omittedOld.clear(), omittedNew.clear();
  };
  for (Placed& p : placed) {
    const bool shown = options.allLines || p.changed || (groupChanged[p.group] && p.head);
    if (!shown) {
      if (p.units.oldIndex >= 0) omittedOld.push_back(p.units.oldIndex);
      if (p.units.newIndex >= 0) omittedNew.push_back(p.units.newIndex);
      continue;
    }
    flushOmitted();
    rows.push_back(std::move(p.row));
  }
  flushOmitted();
  return rows;
}

}  // namespace verko
