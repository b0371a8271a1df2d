// Measures the changed-character marks of a whole report: reads the report, finds its body
// lines and runs MarkChangedLines over them, as the coloured terminal output does, by words
// (the default) or by characters ("char"). Prints
// the median milliseconds of the marks alone (reading and parsing the report left out), wall
// and CPU, then the body lines, the lines marked and the marked bytes. Belongs to bench/
// (bench/changes.sh), not of the tests or the shipped program.
#include "report/changed_characters.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_decoding.h"
#include "report/report_reader.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: verko-bench-changes REPORT [RUNS [word|char]]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) {
    std::fprintf(stderr, "verko-bench-changes: cannot read %s\n", argv[1]);
    return 2;
  }
  const int runs = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 5;
  const verko::ChangeUnits units = argc == 4 && std::string_view(argv[3]) == "char"
                                       ? verko::ChangeUnits::kCharacters
                                       : verko::ChangeUnits::kWords;
  const verko::TextEncoding encoding = verko::RecogniseReportEncoding(bytes);

  std::vector<verko::LineKind> kinds;
  std::vector<std::string_view> texts;
  const std::string_view text = bytes;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    verko::ReportLine parsed;
    if (verko::ParseBodyLine(line, &parsed)) {
      kinds.push_back(parsed.kind);
      texts.push_back(line.substr(verko::kBodyTextColumn));
    }
    pos = end + 1;
  }

  std::vector<double> times, cpuTimes;
  std::size_t marked = 0, markedBytes = 0;
  for (int run = 0; run < runs; ++run) {
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<verko::ChangedLineMarks> marks =
        verko::MarkChangedLines(kinds, texts, encoding, units);
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    cpuTimes.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    marked = marks.size();
    markedBytes = 0;
    for (const verko::ChangedLineMarks& line : marks) {
      for (const verko::ByteRange& range : line.ranges) markedBytes += range.end - range.begin;
    }
  }
  std::sort(times.begin(), times.end());
  std::sort(cpuTimes.begin(), cpuTimes.end());
  std::printf("%.1f\t%.1f\t%zu\t%zu\t%zu\n", times[times.size() / 2], cpuTimes[cpuTimes.size() / 2],
              kinds.size(), marked, markedBytes);
  return 0;
}
