// Numbers typed into the window's fields and kept in the settings store.
#include "ui/shared/field_values.h"

#include <gtest/gtest.h>

namespace verko {
namespace {

TEST(FieldValues, FieldTakesTheLeadingNumber) {
  struct {
    const char* text;
    int low, high;
    bool valid;
    int value;
  } const kCases[] = {
      {"9.4", 1, 9, true, 9},  {"  7", 1, 9, true, 7},        {"3abc", 1, 9, true, 3},
      {"abc", 1, 9, false, 0}, {"", 1, 9, false, 0},          {"2.5", 1, 9, true, 2},
      {"3.5", 1, 9, true, 4},  {"-1", 1, 9, false, 0},        {"1e5", 1, 9, true, 1},
      {"0x9", 1, 9, false, 0}, {"250.4", 20, 250, true, 250}, {".", 1, 9, false, 0},
  };
  for (const auto& c : kCases) {
    int value = 0;
    EXPECT_EQ(ReadFieldNumber(QString::fromUtf8(c.text), c.low, c.high, &value), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(FieldValues, StoredNumbersReadWithOrWithoutBlank) {
  EXPECT_EQ(ReadSettingNumber(" 1", 0), 1);
  EXPECT_EQ(ReadSettingNumber("1", 0), 1);
  EXPECT_EQ(ReadSettingNumber("-15", 0), -15);
  EXPECT_EQ(ReadSettingNumber("junk", 300), 300);
  EXPECT_EQ(FormatSettingNumber(300), " 300");
  EXPECT_EQ(FormatSettingNumber(0), " 0");
  EXPECT_EQ(FormatSettingNumber(-15), "-15");
}

TEST(FieldValues, TwipsRoundTripAtCommonResolutions) {
  EXPECT_EQ(TwipsToPixels(300, 96), 20);
  EXPECT_EQ(PixelsToTwips(20, 96), 300);
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
  for (int pixels : {0, 1, 33, 500, 1919})
    EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, 96), 96), pixels);
}

}  // namespace
}  // namespace verko
