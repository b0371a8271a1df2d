// Reading and writing the numbers of the window's fields and settings: the numeric fields
// take a number as far as the text begins with one; stored numbers are decimal texts, the
// non-negative ones with a leading blank; window positions are kept in twips.
#pragma once

#include <QString>

namespace verko {

// The number at the start of `text` (after leading blanks): sign, digits and a decimal
// part; "0" when the text does not begin with a number ("9.4x" -> "9.4", "abc" -> "0").
QString LeadingNumberText(const QString& text);

// The field rule: the leading number, rounded to an integer with halves to even, accepted
// when it lies in [low, high].
bool ReadFieldNumber(const QString& text, int low, int high, int* value);

// A stored number: the leading number rounded to an integer, or `fallback` when the text
// does not begin with a number at all.
int ReadSettingNumber(const QString& text, int fallback);

// The written form of a stored number: " 300", " 1", "-15".
QString FormatSettingNumber(int value);

// 1440 twips per inch; `dpi` is the screen's logical resolution.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

}  // namespace verko
