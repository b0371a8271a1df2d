// Number and part formatting of the result report: fixed-width columns of ASCII digits,
// blanks, commas and tildes. Pure functions that write a column in place.
#pragma once

#include <cstdint>
#include <string>

namespace verko {

// Fixed-width writers for building a report line in place: each writes exactly its column
// at `at` and returns the end.
// The decimal form of n right-aligned in `width` characters (blanks on the left); a form
// longer than the width keeps only its last `width` characters. Nothing for width <= 0.
char* PutNumber(char* at, int32_t n, int width);
// The column of part numbers, three characters: three blanks for part 0; otherwise the last
// three characters of "~" + digits + " " ("~2 ", "10 ", "23 " for part 123).
char* PutPartNo(char* at, int partNo);

// As PutNumber's form, with the digits grouped by three with commas ("12,345", "-1,000",
// "0"), appended to `out`.
void AppendNumberC(std::string& out, int32_t n, int width);

// Header line 1 (UTF-8): the title, "Ver", the major version, a dot, the minor version in
// at least two digits, two blanks and the maker.
std::string TitleLine(int major, int minor);

}  // namespace verko
