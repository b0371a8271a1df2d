#include "ui/shared/natural_breaks.h"

#include <QFontMetrics>
#include <QStringList>

namespace verko {
namespace {

bool IsHiragana(QChar c) {
  return c.unicode() >= 0x3041 && c.unicode() <= 0x309F;
}

// Punctuation and blanks after which a line may end.
bool EndsPhrase(QChar c) {
  static const QString kEnders = QStringLiteral("、。，．！？：； !?:;,");
  return kEnders.contains(c);
}

// A closing bracket ends a phrase unless its particle follows ("「オン」に").
bool IsClosingBracket(QChar c) {
  static const QString kBrackets = QStringLiteral("」』）】〕)");
  return kBrackets.contains(c);
}

// Characters that never begin a line: closing punctuation, small kana, the long-vowel mark.
bool NeverBeginsLine(QChar c) {
  static const QString kClosers = QStringLiteral(
      "、。，．！？：；」』）】〕ー・ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮ!?:;,.)");
  return kClosers.contains(c);
}

}  // namespace

bool IsNaturalBreak(QChar before, QChar after) {
  if (NeverBeginsLine(after)) return false;
  if (EndsPhrase(before)) return true;
  if (IsClosingBracket(before)) return !IsHiragana(after);
  // The polite prefix belongs to the word after it ("お勧め", "ご確認").
  if (before == QChar(0x304A) || before == QChar(0x3054)) return false;
  // A phrase ends with its hiragana (particle or inflection); the next begins with its word.
  return IsHiragana(before) && !IsHiragana(after) && !after.isSpace();
}

QString BreakAtNaturalPoints(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    // Cut the line into phrases at its natural breaks, then fill lines phrase by phrase.
    QStringList phrases;
    qsizetype start = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
      if (IsNaturalBreak(line[i - 1], line[i])) {
        phrases.append(line.mid(start, i - start));
        start = i;
      }
    }
    phrases.append(line.mid(start));
    QString current;
    for (const QString& phrase : phrases) {
      if (!current.isEmpty() && metrics.horizontalAdvance(current + phrase) > maxWidth) {
        lines.append(current);
        current.clear();
      }
      current += phrase;
    }
    lines.append(current);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace verko
