#include "matching/match_texts.h"

#include <string_view>

#include "common/text_collation.h"
#include "common/text_fold.h"
#include "compare/lines/text_sort.h"
#include "matching/text_numbering.h"

namespace verko {

bool IsBlankText(std::string_view text) {
  if (text.size() == 1 && text[0] == '\0') return true;
  // A space byte is never the second byte of a double-byte character, so a text of space
  // bytes is a text of spaces.
  return text.find_first_not_of(' ') == std::string_view::npos;
}

namespace {

// The folded form of every distinct text, as a number: a text whose folded form is itself
// a text of the files gets that text's number; folded forms found in neither file are
// numbered from exact.Count() on, and `foldedOnly` holds them (their bytes in `copies`,
// reserved in advance so that the views into them stay valid).
std::vector<int> NumberFoldedForms(const TextNumbering& exact, TextNumbering& foldedOnly,
                                   std::string& copies, bool foldCase) {
  const int exactCount = exact.Count();
  std::vector<int> formOfExact(exactCount);
  std::vector<int> withCapital;
  std::size_t copyBytes = 0;
  for (int number = 0; number < exactCount; ++number) {
    formOfExact[number] = number;
    if (!foldCase || !HasFoldableCapital(exact.Texts()[number])) continue;
    withCapital.push_back(number);
    copyBytes += exact.Texts()[number].size();
  }
  copies.reserve(copyBytes);
  // Every folded form not among the texts comes from a text with a capital.
  foldedOnly = TextNumbering(static_cast<int>(withCapital.size()));
  for (int number : withCapital) {
    const std::string_view text = exact.Texts()[number];
    const std::size_t start = copies.size();
    copies.append(text);
    FoldCapitals(text, copies.data() + start);
    const std::string_view folded = std::string_view(copies).substr(start, text.size());
    // A folded form folds to itself, so the text found here is its own form.
    const std::size_t hash = TextNumbering::Hash(folded);
    const int same = exact.Find(folded, hash);
    if (same >= 0) {
      formOfExact[number] = same;
      copies.resize(start);
    } else {
      const int known = foldedOnly.Count();
      const int form = foldedOnly.Number(folded, hash);
      if (form < known) copies.resize(start);  // a form found before keeps its first copy
      formOfExact[number] = exactCount + form;
    }
  }
  return formOfExact;
}

// The key of each distinct text: the rank of its folded form among the forms in use.
std::vector<int> RankFoldedForms(const TextNumbering& exact, const TextNumbering& foldedOnly,
                                 const std::vector<int>& formOfExact, int& keyCount) {
  const int exactCount = exact.Count();
  std::vector<std::string_view> formTexts;
  std::vector<int> formPosition(exactCount + foldedOnly.Count(), -1);
  for (int number = 0; number < exactCount; ++number) {
    const int form = formOfExact[number];
    if (formPosition[form] >= 0) continue;
    formPosition[form] = static_cast<int>(formTexts.size());
    formTexts.push_back(form < exactCount ? exact.Texts()[form]
                                          : foldedOnly.Texts()[form - exactCount]);
  }
  keyCount = static_cast<int>(formTexts.size());
  std::vector<int> keyOfPosition(keyCount);
  const std::vector<int> byText = SortTextPositions(formTexts);
  for (int rank = 0; rank < keyCount; ++rank) keyOfPosition[byText[rank]] = rank;
  std::vector<int> keyOfExact(exactCount);
  for (int number = 0; number < exactCount; ++number) {
    keyOfExact[number] = keyOfPosition[formPosition[formOfExact[number]]];
  }
  return keyOfExact;
}

// The folded form of each text that the fold changes (empty for the others, and no forms
// at all under the identity): a folded form is never empty, since folding keeps every
// character.
std::vector<std::string> FoldedForms(const std::vector<LineRecord>& lines, const TextFold& fold) {
  std::vector<std::string> forms;
  if (fold.IsIdentity()) return forms;
  forms.resize(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (FoldChangesText(lines[i].Text, fold)) forms[i] = FoldText(lines[i].Text, fold);
  }
  return forms;
}

}  // namespace

MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText) {
  return PrepareMatchTexts(oldText, newText, TextFold{});
}

MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText,
                             const TextFold& fold) {
  MatchTexts texts;
  const int oldCount = oldText.Count();
  const int newCount = newText.Count();

  // Old texts are numbered first, so the numbers of old texts come first.
  TextNumbering exact(oldCount + newCount);
  texts.OldExact.assign(oldCount + 1, -1);
  texts.NewExact.assign(newCount + 1, -1);
  texts.NewBlank.assign(newCount + 1, 0);
  const std::vector<LineRecord>& oldLines = oldText.Records();
  const std::vector<LineRecord>& newLines = newText.Records();
  // Under a fold beyond letter case, exact equality is that of the folded forms.
  const TextFold exactFold = fold.ExactPart();
  const std::vector<std::string> oldForms = FoldedForms(oldLines, exactFold);
  const std::vector<std::string> newForms = FoldedForms(newLines, exactFold);
  auto textOf = [](const std::vector<LineRecord>& lines, const std::vector<std::string>& forms,
                   std::size_t i) -> std::string_view {
    return forms.empty() || forms[i].empty() ? std::string_view(lines[i].Text) : forms[i];
  };
  exact.NumberEach(
      oldLines.size(), [&](std::size_t i) { return textOf(oldLines, oldForms, i); },
      texts.OldExact.data() + 1);
  texts.OldExactCount = exact.Count();
  exact.NumberEach(
      newLines.size(), [&](std::size_t i) { return textOf(newLines, newForms, i); },
      texts.NewExact.data() + 1);
  for (int id = 1; id <= newCount; ++id) texts.NewBlank[id] = IsBlankText(newLines[id - 1].Text);

  TextNumbering foldedOnly(0);
  std::string foldedCopies;
  const std::vector<int> formOfExact =
      NumberFoldedForms(exact, foldedOnly, foldedCopies, !fold.caseSensitive);
  const std::vector<int> keyOfExact =
      RankFoldedForms(exact, foldedOnly, formOfExact, texts.KeyCount);

  texts.OldKey.assign(oldCount + 1, -1);
  texts.NewKey.assign(newCount + 1, -1);
  for (int id = 1; id <= oldCount; ++id) texts.OldKey[id] = keyOfExact[texts.OldExact[id]];
  for (int id = 1; id <= newCount; ++id) texts.NewKey[id] = keyOfExact[texts.NewExact[id]];
  return texts;
}

}  // namespace verko
