// Line breaks for Japanese explanations and messages where a reader expects them: after
// punctuation and between phrases, never inside a word ("くださ|い", "正|規表現"). Qt's own
// wrapping may break between any two kana or kanji, so texts that need several lines are
// broken here and shown without further wrapping.
#pragma once

#include <QString>

class QFontMetrics;

namespace verko {

// True when a line may end between `before` and `after`: after punctuation or a blank, or
// where a run of hiragana (the particles and endings that close a phrase) meets a word that
// begins with kanji, katakana or a Latin letter. Never before closing punctuation.
bool IsNaturalBreak(QChar before, QChar after);

// `text` with line breaks inserted at natural points so that no line is wider than
// `maxWidth` pixels in `metrics`, where the text allows it (a single phrase wider than that
// stays whole). Existing line breaks are kept; nothing else changes.
QString BreakAtNaturalPoints(const QString& text, const QFontMetrics& metrics, int maxWidth);

}  // namespace verko
