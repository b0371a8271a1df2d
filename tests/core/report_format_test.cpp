#include "report/report_format.h"

#include <gtest/gtest.h>

#include <climits>

namespace verko {
namespace {

// The columns as the report's lines hold them.
std::string PartNoStr(int partNo) {
  char column[3];
  return std::string(column, PutPartNo(column, partNo));
}

std::string StrFormat(int32_t n, int width) {
  char column[16];
  return std::string(column, PutNumber(column, n, width));
}

std::string StrFormatC(int32_t n, int width) {
  std::string column;
  AppendNumberC(column, n, width);
  return column;
}

TEST(ReportFormat, PartNoStrKeepsLastThreeCharacters) {
  struct Case {
    int part;
    const char* text;
  } cases[] = {
      {0, "   "}, {1, "~1 "}, {9, "~9 "}, {10, "10 "}, {99, "99 "}, {123, "23 "}, {32000, "00 "},
  };
  for (const auto& c : cases) EXPECT_EQ(PartNoStr(c.part), c.text) << c.part;
}

TEST(ReportFormat, StrFormatRightAlignsAndKeepsLastDigits) {
  struct Case {
    int32_t n;
    int width;
    const char* text;
  } cases[] = {
      {0, 6, "     0"},
      {7, 6, "     7"},
      {32000, 6, " 32000"},
      {123456, 6, "123456"},
      {1234567, 6, "234567"},
      {12345, 5, "12345"},
      {12345, 4, "2345"},
      {10, 1, "0"},
      {100, 2, "00"},
      {99999, 3, "999"},
      {2147483647, 11, " 2147483647"},
      {-5, 4, "  -5"},
      {-1234, 4, "1234"},
      {-123, 4, "-123"},
      {42, 0, ""},
      {42, -3, ""},
      {INT32_MIN, 12, " -2147483648"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrFormat(c.n, c.width), c.text) << c.n << " in " << c.width;
  }
}

TEST(ReportFormat, StrFormatCGroupsDigitsByThree) {
  struct Case {
    int32_t n;
    int width;
    const char* text;
  } cases[] = {
      {0, 7, "      0"},
      {999, 7, "    999"},
      {1000, 7, "  1,000"},
      {12345, 7, " 12,345"},
      {123456, 7, "123,456"},
      {1234567, 7, "234,567"},
      {1234567, 10, " 1,234,567"},
      {-1000, 7, " -1,000"},
      {-123456, 7, "123,456"},
      {2147483647, 14, " 2,147,483,647"},
      {INT32_MIN, 14, "-2,147,483,648"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrFormatC(c.n, c.width), c.text) << c.n << " in " << c.width;
  }
}

TEST(ReportFormat, TitleLineShowsMinorVersionWithTwoDigits) {
  EXPECT_EQ(TitleLine(1, 10), "Verko（テキストファイル比較） Ver 1.10  Molvanex");
  EXPECT_EQ(TitleLine(1, 5), "Verko（テキストファイル比較） Ver 1.05  Molvanex");
  EXPECT_EQ(TitleLine(12, 0), "Verko（テキストファイル比較） Ver 12.00  Molvanex");
}

}  // namespace
}  // namespace verko
