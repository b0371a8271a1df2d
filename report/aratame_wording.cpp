#include "report/aratame_wording.h"

#include <algorithm>
#include <cctype>

#include "common/text_encoding.h"
#include "report/changed_characters.h"

namespace verko {
namespace {

// A text cut into its UTF-8 characters (a byte that begins none is one of its own).
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> chars;
  for (std::size_t at = 0; at < text.size();) {
    uint32_t code = 0;
    std::size_t length = DecodeCharacter(text, at, TextEncoding::kUtf8, &code);
    if (length == 0) length = 1;
    chars.push_back(text.substr(at, length));
    at += length;
  }
  return chars;
}

enum class CharClass { kKanji, kKatakana, kAlnum, kOther };

CharClass ClassOf(std::string_view c) {
  if (c.size() == 1) {
    return std::isalnum(static_cast<unsigned char>(c[0])) ? CharClass::kAlnum : CharClass::kOther;
  }
  uint32_t code = 0;
  if (DecodeCharacter(c, 0, TextEncoding::kUtf8, &code) != c.size()) return CharClass::kOther;
  if ((code >= 0x4E00 && code <= 0x9FFF) || code == 0x3005 || code == 0x3007) {
    return CharClass::kKanji;
  }
  if ((code >= 0x30A1 && code <= 0x30FA) || code == 0x30FC) return CharClass::kKatakana;
  if ((code >= 0xFF10 && code <= 0xFF19) || (code >= 0xFF21 && code <= 0xFF3A) ||
      (code >= 0xFF41 && code <= 0xFF5A)) {
    return CharClass::kAlnum;
  }
  return CharClass::kOther;
}

using Hunk = SequenceHunk;

// More edits than this in one line are quoted as one change, from the first to the last.
constexpr std::size_t kMostEditsInALine = 5;

std::string Join(const std::vector<std::string_view>& chars, int begin, int end) {
  std::string out;
  for (int i = begin; i < end; ++i) out += chars[i];
  return out;
}

int Occurrences(const std::vector<std::string_view>& scope, const std::string& phrase) {
  int count = 0;
  for (std::string_view line : scope) {
    for (std::size_t at = line.find(phrase); at != std::string_view::npos;
         at = line.find(phrase, at + phrase.size())) {
      ++count;
    }
  }
  return count;
}

// Whether the character before a hunk belongs to the same run as its first changed one.
bool SameRun(std::string_view outside, std::string_view inside) {
  CharClass kind = ClassOf(inside);
  return kind != CharClass::kOther && ClassOf(outside) == kind;
}

// Grows the hunks to whole runs of kanji, katakana or digits, merging hunks that meet.
std::vector<Hunk> GrowToWords(std::vector<Hunk> hunks, const std::vector<std::string_view>& a,
                              const std::vector<std::string_view>& b) {
  for (Hunk& hunk : hunks) {
    auto firstChanged = [&]() -> std::string_view {
      return hunk.oldBegin < hunk.oldEnd ? a[hunk.oldBegin] : b[hunk.newBegin];
    };
    auto lastChanged = [&]() -> std::string_view {
      return hunk.oldBegin < hunk.oldEnd ? a[hunk.oldEnd - 1] : b[hunk.newEnd - 1];
    };
    if (hunk.oldBegin == hunk.oldEnd && hunk.newBegin == hunk.newEnd) continue;
    while (hunk.oldBegin > 0 && hunk.newBegin > 0 && a[hunk.oldBegin - 1] == b[hunk.newBegin - 1] &&
           SameRun(a[hunk.oldBegin - 1], firstChanged())) {
      --hunk.oldBegin, --hunk.newBegin;
    }
    while (hunk.oldEnd < static_cast<int>(a.size()) && hunk.newEnd < static_cast<int>(b.size()) &&
           a[hunk.oldEnd] == b[hunk.newEnd] && SameRun(a[hunk.oldEnd], lastChanged())) {
      ++hunk.oldEnd, ++hunk.newEnd;
    }
  }
  std::vector<Hunk> merged;
  for (const Hunk& hunk : hunks) {
    if (!merged.empty() && hunk.oldBegin <= merged.back().oldEnd + 1) {
      merged.back().oldEnd = std::max(merged.back().oldEnd, hunk.oldEnd);
      merged.back().newEnd = std::max(merged.back().newEnd, hunk.newEnd);
    } else {
      merged.push_back(hunk);
    }
  }
  return merged;
}

bool Overlaps(const Hunk& a, const Hunk& b) {
  return a.oldBegin < b.oldEnd + 1 && b.oldBegin < a.oldEnd + 1;
}

std::string QuoteNumber(int value, AratameStyle style) {
  return WriteNumeral(value, NumeralsOf(style));
}

}  // namespace

std::vector<std::pair<int, int>> AlignByScore(int n, int m,
                                              const std::function<int(int, int)>& score) {
  std::vector<int> best((n + 1) * (m + 1), 0);
  auto at = [&](int i, int j) -> int& { return best[i * (m + 1) + j]; };
  for (int i = n - 1; i >= 0; --i) {
    for (int j = m - 1; j >= 0; --j) {
      int pair = score(i, j);
      at(i, j) = std::max({at(i + 1, j), at(i, j + 1), pair > 0 ? at(i + 1, j + 1) + pair : 0});
    }
  }
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0, j = 0; i < n && j < m;) {
    int pair = score(i, j);
    if (pair > 0 && at(i, j) == at(i + 1, j + 1) + pair) {
      pairs.emplace_back(i++, j++);
    } else if (at(i, j) == at(i + 1, j)) {
      ++i;
    } else {
      ++j;
    }
  }
  return pairs;
}

NumeralStyle NumeralsOf(AratameStyle style) {
  return style == AratameStyle::kYokogaki ? NumeralStyle::kWide : NumeralStyle::kKanji;
}

namespace {

// The edits of `hunks` (changed parts of the characters `a` and `b`), each quote grown until
// it occurs once in `scope`; false where one cannot be.
bool QuoteHunks(std::vector<Hunk> hunks, const std::vector<std::string_view>& a,
                const std::vector<std::string_view>& b, const std::vector<std::string_view>& scope,
                std::vector<PhraseEdit>* edits) {
  int n = static_cast<int>(a.size());
  for (std::size_t h = 0; h < hunks.size(); ++h) {
    Hunk hunk = hunks[h];
    // A pure addition is quoted as the words it follows; at the line's start, as the words
    // it goes before (a replacement).
    bool addition = hunk.oldBegin == hunk.oldEnd;
    if (addition && hunk.oldBegin == 0) {
      if (n == 0) return false;
      ++hunk.oldEnd, ++hunk.newEnd;
      addition = false;
    }
    int anchor = hunk.oldBegin;  // additions: the quoted words are [anchor, oldBegin)
    if (addition) {
      --anchor;
      while (anchor > 0 && SameRun(a[anchor - 1], a[anchor])) --anchor;
    }
    // Grow the quote until it occurs once in the provision, left first, then right.
    for (bool left = true;; left = !left) {
      std::string from =
          addition ? Join(a, anchor, hunk.oldBegin) : Join(a, hunk.oldBegin, hunk.oldEnd);
      if (!from.empty() && (scope.empty() || Occurrences(scope, from) == 1)) break;
      bool canLeft = (addition ? anchor : hunk.oldBegin) > 0;
      bool canRight = !addition && hunk.oldEnd < n;
      if (!canLeft && !canRight) return false;
      if ((left && canLeft) || !canRight) {
        if (addition) {
          --anchor;
        } else {
          --hunk.oldBegin, --hunk.newBegin;
        }
      } else {
        ++hunk.oldEnd, ++hunk.newEnd;
      }
    }
    Hunk grown = hunk;
    if (addition) grown.oldBegin = anchor;
    if ((h > 0 && Overlaps(hunks[h - 1], grown)) ||
        (h + 1 < hunks.size() && Overlaps(hunks[h + 1], grown))) {
      return false;
    }
    hunks[h] = grown;
    if (addition) {
      edits->push_back({PhraseEdit::Kind::kAddAfter, Join(a, anchor, hunk.oldBegin),
                        Join(b, hunk.newBegin, hunk.newEnd)});
    } else if (hunk.newBegin == hunk.newEnd) {
      edits->push_back({PhraseEdit::Kind::kDelete, Join(a, hunk.oldBegin, hunk.oldEnd), ""});
    } else {
      edits->push_back({PhraseEdit::Kind::kReplace, Join(a, hunk.oldBegin, hunk.oldEnd),
                        Join(b, hunk.newBegin, hunk.newEnd)});
    }
  }
  return true;
}

}  // namespace

bool DraftLineEdits(std::string_view oldLine, std::string_view newLine,
                    const std::vector<std::string_view>& scope, std::vector<PhraseEdit>* edits) {
  std::vector<std::string_view> a = Characters(oldLine);
  std::vector<std::string_view> b = Characters(newLine);
  std::vector<Hunk> hunks = GrowToWords(DiffSequences(a, b, kMaxAlignedCells * 16L), a, b);
  std::vector<PhraseEdit> fine;
  bool quoted = QuoteHunks(hunks, a, b, scope, &fine);
  if (quoted && fine.size() <= kMostEditsInALine) {
    edits->insert(edits->end(), fine.begin(), fine.end());
    return true;
  }
  // Changes strewn over the line read better, and quote more surely, as one: from the first
  // changed word to the last.
  if (hunks.empty()) return true;
  Hunk whole = {hunks.front().oldBegin, hunks.back().oldEnd, hunks.front().newBegin,
                hunks.back().newEnd};
  std::vector<PhraseEdit> coarse;
  if (QuoteHunks({whole}, a, b, scope, &coarse)) {
    edits->insert(edits->end(), coarse.begin(), coarse.end());
    return true;
  }
  if (!quoted) return false;
  edits->insert(edits->end(), fine.begin(), fine.end());
  return true;
}

std::string WordEdits(const std::vector<PhraseEdit>& edits, AratameStyle style, bool final) {
  std::string out;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const PhraseEdit& edit = edits[i];
    bool last = i + 1 == edits.size();
    bool replaceFollows = !last && edits[i + 1].kind == PhraseEdit::Kind::kReplace;
    switch (edit.kind) {
      case PhraseEdit::Kind::kReplace:
        out += "「" + edit.from + "」を「" + edit.to + "」に";
        out += replaceFollows ? "、" : final && last ? "改める" : "改め";
        if (!replaceFollows && !last) out += "、";
        break;
      case PhraseEdit::Kind::kDelete:
        out += "「" + edit.from + "」を" + (final && last ? "削る" : "削り");
        if (!last) out += "、";
        break;
      case PhraseEdit::Kind::kAddAfter:
        out += "「" + edit.from + (style == AratameStyle::kYokogaki ? "」の次に「" : "」の下に「") +
               edit.to + "」を" + (final && last ? "加える" : "加え");
        if (!last) out += "、";
        break;
    }
  }
  return out;
}

std::string RelativeName(const AmendmentPath& path, const AmendmentPath* previous,
                         AratameStyle style) {
  NumeralStyle numerals = NumeralsOf(style);
  bool sameArticle = previous != nullptr && path.line == 0 && previous->line == 0 &&
                     !path.contents && !previous->contents && !path.article.empty() &&
                     previous->article == path.article &&
                     previous->supplementary == path.supplementary;
  if (!sameArticle) return PathName(path, numerals);
  std::string item = path.item.empty() ? "" : "第" + WriteCitedNumber(path.item, numerals) + "号";
  if (path.heading) return "同条の見出し";
  if (path.paragraph == previous->paragraph) {
    if (!path.item.empty() && path.item == previous->item) return "同号";
    if (path.paragraph > 0 && !path.item.empty()) return "同項" + item;
    if (path.paragraph > 0 && previous->item.empty() && !previous->heading) return "同項";
  }
  std::string name = "同条";
  if (path.paragraph > 0) name += "第" + QuoteNumber(path.paragraph, style) + "項";
  return name + item;
}

double Likeness(std::string_view a, std::string_view b) {
  return LineSimilarity(a, b, TextEncoding::kUtf8);
}

}  // namespace verko
