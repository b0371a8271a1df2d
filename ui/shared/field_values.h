// Reading and writing the numbers of the window's fields and settings: the numeric fields
// take a number as far as the text begins with one; stored numbers are decimal texts, the
// non-negative ones with a leading blank; window positions are kept in twips.
#pragma once

#include <QString>

namespace verko {

// The field rule (ReadFieldNumber of the core) for a field's text.
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
