// Number and part formatting of the result report: fixed-width columns of ASCII digits,
// blanks, commas and tildes. Pure functions; the line writers build on the Append forms.
#pragma once

#include <cstdint>
#include <string>

namespace verko {

// The column of part numbers, three characters: three blanks for part 0; otherwise the last three
// characters of "~" + digits + " " ("~2 ", "10 ", "23 " for part 123).
std::string PartNoStr(int partNo);

// The decimal form of n right-aligned in `width` characters (blanks on the left); a form
// longer than the width keeps only its last `width` characters. Empty for width <= 0.
std::string StrFormat(int32_t n, int width);

// As StrFormat, with the digits grouped by three with commas ("12,345", "-1,000", "0").
std::string StrFormatC(int32_t n, int width);

// The same three forms appended to `out` without a temporary string.
void AppendPartNo(std::string& out, int partNo);
void AppendNumber(std::string& out, int32_t n, int width);
void AppendNumberC(std::string& out, int32_t n, int width);

// Fixed-width writers for building a report line in place: each writes exactly its column
// (`width` characters, three for a part number) at `at` and returns the end. Same forms as
// AppendNumber and AppendPartNo.
char* PutNumber(char* at, int32_t n, int width);
char* PutPartNo(char* at, int partNo);

// Header line 1 (UTF-8): the title, "Ver", the major version, a dot, the minor version in
// at least two digits, two blanks and the maker.
std::string TitleLine(int major, int minor);

}  // namespace verko
