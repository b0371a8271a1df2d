// The number a typed text begins with, as the numeric fields and the batch lists' initial
// numbers read it.
#include "common/leading_number.h"

#include <gtest/gtest.h>

#include <string>

namespace verko {
namespace {

TEST(LeadingNumber, TakesSignDigitsAndFractionAfterBlanks) {
  struct {
    std::string text;
    std::string numberText;
    double value;
  } const kCases[] = {
      {"9.4x", "9.4", 9.4},   {" -15", "-15", -15},   {"\t+3 apples", "+3", 3},
      {".5", ".5", 0.5},      {"7.", "7.", 7},        {"1e5", "1", 1},
      {"abc", "", 0},         {"", "", 0},            {"-", "", 0},
      {".", "", 0},           {"x12", "", 0},         {"　12", "", 0},  // ideographic space
      {std::string(400, '9'), std::string(400, '9'), 0},                 // not finite
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LeadingNumberText(c.text), c.numberText) << c.text;
    EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
  }
}

}  // namespace
}  // namespace verko
