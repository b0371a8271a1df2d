#include "ui/shared/field_values.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/leading_number.h"
#include "common/option_value.h"
#include "common/rounding.h"

namespace verko {

bool ReadFieldNumber(const QString& text, int low, int high, int* value) {
  return ReadFieldNumber(std::string_view(text.toStdString()), low, high, value);
}

int ReadSettingNumber(const QString& text, int fallback) {
  const std::string utf8 = text.toStdString();
  const std::string_view numberText = LeadingNumberText(std::string_view(utf8));
  if (numberText.empty()) return fallback;
  const double number = std::strtod(std::string(numberText).c_str(), nullptr);
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
