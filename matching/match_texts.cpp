#include "matching/match_texts.h"

#include <string_view>
#include <unordered_map>

#include "common/text_collation.h"

namespace verko {

bool IsBlankText(const std::string& text) {
  if (text.size() == 1 && text[0] == '\0') return true;
  // A space byte is never the second byte of a double-byte character, so a text of space
  // bytes is a text of spaces.
  return text.find_first_not_of(' ') == std::string::npos;
}

MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText) {
  MatchTexts texts;
  const int oldCount = oldText.Count();
  const int newCount = newText.Count();
  texts.OldFolded.resize(oldCount + 1);
  texts.NewFolded.resize(newCount + 1);
  texts.OldExact.assign(oldCount + 1, -1);
  texts.NewExact.assign(newCount + 1, -1);
  texts.NewBlank.assign(newCount + 1, 0);

  // The views point into the tables, which outlive this function.
  std::unordered_map<std::string_view, int> numberOf;
  numberOf.reserve(static_cast<std::size_t>(oldCount + newCount));
  auto numberText = [&numberOf](const std::string& text) {
    return numberOf.try_emplace(text, static_cast<int>(numberOf.size())).first->second;
  };

  for (int id = 1; id <= oldCount; ++id) {
    const std::string& text = oldText.Line(id).Text;
    texts.OldFolded[id] = FoldCase(text);
    texts.OldExact[id] = numberText(text);
  }
  texts.OldExactCount = static_cast<int>(numberOf.size());
  for (int id = 1; id <= newCount; ++id) {
    const std::string& text = newText.Line(id).Text;
    texts.NewFolded[id] = FoldCase(text);
    texts.NewExact[id] = numberText(text);
    texts.NewBlank[id] = IsBlankText(text) ? 1 : 0;
  }
  return texts;
}

}  // namespace verko
