#include "ui/shared/field_values.h"

#include <cmath>

#include "common/option_value.h"
#include "common/rounding.h"

namespace verko {
namespace {

bool IsDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Length of the number at `start`: optional sign, digits, optional "." and digits. 0 when
// there is no digit.
qsizetype NumberLength(const QString& text, qsizetype start) {
  qsizetype i = start;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  qsizetype digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  return digits == 0 ? 0 : i - start;
}

}  // namespace

QString LeadingNumberText(const QString& text) {
  qsizetype start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  qsizetype length = NumberLength(text, start);
  return length == 0 ? QStringLiteral("0") : text.mid(start, length);
}

bool ReadFieldNumber(const QString& text, int low, int high, int* value) {
  return ParseOptionNumber(LeadingNumberText(text).toStdString(), low, high, value);
}

int ReadSettingNumber(const QString& text, int fallback) {
  qsizetype start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  qsizetype length = NumberLength(text, start);
  if (length == 0) return fallback;
  double number = text.mid(start, length).toDouble();
  // Positions far outside any screen are no better than the default.
  if (!std::isfinite(number) || std::fabs(number) > 1e9) return fallback;
  return RoundHalfEven(number);
}

QString FormatSettingNumber(int value) {
  return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi) {
  return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

}  // namespace verko
