// The same texts give the same report in every encoding: generated file pairs written in
// CP932, UTF-8 and EUC-JP (and CP932 against UTF-8) under generated options, the reports
// compared after decoding, apart from the file names and the date.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "compare/compare_run.h"
#include "tests/support/iconv_text.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::Iconv;
using test_support::ReadFile;
using test_support::ScriptedHost;
using test_support::TempDir;
using test_support::WriteFile;

// Words that CP932 and EUC-JP both hold: letters that fold (ASCII, full-width, Greek,
// Cyrillic), kana of both widths, the separators of splitting and word counting, kanji,
// the characters whose conversion differs between tables, and the NEC and IBM extensions.
const std::vector<std::string> kWords = {"alpha",
                                         "Alpha",
                                         "ALPHA",
                                         "x1",
                                         "Ｂｅｔａ",
                                         "ｂｅｔａ",
                                         "ΓΔ",
                                         "γδ",
                                         "ЖИ",
                                         "жи",
                                         "漢字",
                                         "比較",
                                         "ひらがな",
                                         "カタカナ",
                                         "ｶﾀｶﾅ",
                                         "、",
                                         "。",
                                         "ー",
                                         "」",
                                         "；",
                                         "：",
                                         ")",
                                         "～",
                                         "－",
                                         "∥",
                                         "￠",
                                         "￡",
                                         "￢",
                                         "①",
                                         "Ⅹ",
                                         "ⅰ",
                                         "∵",
                                         "髙",
                                         "﨑",
                                         "№",
                                         "ﾃｽﾄ",
                                         "あいうえおかきくけこ",
                                         "長い行の途中にある文",
                                         "0123456789",
                                         "a.b",
                                         "[x]"};
const std::vector<std::string> kBlanks = {" ", "  ", "　", "\t", " 　", ""};

std::string RandomLine(std::mt19937& rng) {
  std::uniform_int_distribution<int> count(0, 7);
  std::string line;
  int n = count(rng);
  if (rng() % 5 == 0) line += kBlanks[rng() % kBlanks.size()];
  for (int i = 0; i < n; ++i) {
    if (i > 0) line += kBlanks[rng() % kBlanks.size()];
    line += kWords[rng() % kWords.size()];
  }
  if (rng() % 4 == 0) line += kBlanks[rng() % kBlanks.size()];
  return line;
}

// A new file made from the old one by deleting, inserting, changing and moving lines.
std::vector<std::string> Edit(std::vector<std::string> lines, std::mt19937& rng) {
  const int edits = static_cast<int>(rng() % 6);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = lines.empty() ? 0 : rng() % lines.size();
    switch (rng() % 4) {
      case 0:
        if (!lines.empty()) lines.erase(lines.begin() + static_cast<long>(at));
        break;
      case 1:
        lines.insert(lines.begin() + static_cast<long>(at), RandomLine(rng));
        break;
      case 2:
        if (!lines.empty()) lines[at] = RandomLine(rng);
        break;
      default:
        if (lines.size() > 1) {
          std::string moved = lines[at];
          lines.erase(lines.begin() + static_cast<long>(at));
          lines.insert(lines.begin() + static_cast<long>(rng() % lines.size()), moved);
        }
        break;
    }
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The report as UTF-8 with the lines naming the files and the date masked.
std::string MaskedUtf8(const std::string& report, const char* encoding) {
  std::string text = encoding == std::string("UTF-8") ? report : Iconv("UTF-8", encoding, report);
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    for (const char* label : {"旧ファイル = ", "新ファイル = ", "比較日時 = "}) {
      if (line.rfind(label, 0) == 0) line = label;
    }
    out += line + "\n";
    pos = end + 2;
  }
  return out;
}

// The report with the texts of its lines and its word counts taken out.
std::string WithoutTexts(const std::string& report) {
  std::string out;
  std::size_t pos = 0;
  while (pos < report.size()) {
    const std::size_t end = report.find('\n', pos);
    std::string line = report.substr(pos, end - pos);
    if (const std::size_t bar = line.find("| "); bar != std::string::npos) line.resize(bar);
    if (const std::size_t words = line.find(" words"); words != std::string::npos) {
      line.resize(line.find("行") == std::string::npos ? words : line.find("行"));
    }
    out += line + "\n";
    pos = end + 1;
  }
  return out;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// UTF-8 text with the wave-dash family in the forms CP932's table does not hold.
std::string ToTwinForms(std::string text) {
  const char* twins[][2] = {{"～", "〜"}, {"∥", "‖"},  {"－", "−"},
                            {"￠", "¢"},  {"￡", "£"}, {"￢", "¬"}};
  for (const auto& twin : twins) text = ReplaceAll(text, twin[0], twin[1]);
  return text;
}

// UTF-8 text with ASCII letters and digits full-width and katakana half-width.
std::string ToOtherWidth(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      const uint32_t cp = 0xFEE0 + static_cast<unsigned char>(c);
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += c;
    }
  }
  return ReplaceAll(ReplaceAll(out, "カタカナ", "ｶﾀｶﾅ"), "ガ", "ｶﾞ");
}

struct Variant {
  const char* oldIconv;  // iconv name of the old file's encoding
  const char* newIconv;
  EncodingChoice oldChoice, newChoice;
  const char* reportIconv;  // the report's encoding by default
};

TEST(EncodingProperty, SameTextsGiveTheSameReportInEveryEncoding) {
  const Variant variants[] = {
      {"CP932", "CP932", EncodingChoice::kCp932, EncodingChoice::kCp932, "CP932"},
      {"UTF-8", "UTF-8", EncodingChoice::kUtf8, EncodingChoice::kUtf8, "UTF-8"},
      {"EUC-JP-MS", "EUC-JP-MS", EncodingChoice::kEucJp, EncodingChoice::kEucJp, "EUC-JP-MS"},
      {"CP932", "UTF-8", EncodingChoice::kCp932, EncodingChoice::kUtf8, "UTF-8"},
      {"EUC-JP-MS", "UTF-8", EncodingChoice::kAuto, EncodingChoice::kAuto, "UTF-8"},
      {"EUC-JP-MS", "EUC-JP-MS", EncodingChoice::kAuto, EncodingChoice::kAuto, "EUC-JP-MS"},
      {"CP932", "CP932", EncodingChoice::kAuto, EncodingChoice::kAuto, "CP932"},
      {"UTF-8", "UTF-8", EncodingChoice::kAuto, EncodingChoice::kAuto, "UTF-8"},
  };
  const char* splitPatterns[] = {"", "[、。]", ".", "[a-z]+|漢"};
  TempDir dir;
  RunFlags flags;
  ScriptedHost host(flags);
  std::mt19937 rng(20261208);
  for (int pair = 0; pair < 1000; ++pair) {
    std::vector<std::string> oldLines;
    const int count = static_cast<int>(rng() % 16);
    for (int i = 0; i < count; ++i) oldLines.push_back(RandomLine(rng));
    const std::vector<std::string> newLines = Edit(oldLines, rng);
    CompareOptions options;
    options.workPath = dir.Path();
    options.trimTop = rng() % 2 == 0;
    options.trimTail = rng() % 3 != 0;
    options.compress = rng() % 2 == 0;
    options.split = rng() % 2 == 0;
    options.splitWidth = 20 + static_cast<int>(rng() % 12);
    options.splitChar = splitPatterns[rng() % 4];
    options.diffOnly = rng() % 2 == 0;
    options.contextLines = 1 + static_cast<int>(rng() % 3);

    std::string expected;
    int expectedStatus = 0;
    for (const Variant& variant : variants) {
      const std::string oldBytes = Iconv(variant.oldIconv, "UTF-8", Join(oldLines));
      const std::string newBytes = Iconv(variant.newIconv, "UTF-8", Join(newLines));
      ASSERT_EQ(oldBytes.empty(), oldLines.empty());
      ASSERT_EQ(newBytes.empty(), newLines.empty());
      WriteFile(dir.File("old.txt"), oldBytes);
      WriteFile(dir.File("new.txt"), newBytes);
      CompareRequest request{
          dir.File("old.txt"), dir.File("new.txt"), dir.File("result.txt"), options, {}};
      request.options.oldEncoding = variant.oldChoice;
      request.options.newEncoding = variant.newChoice;
      CompareResult result = ExecuteCompare(request, RunMode::kBatch, host, flags);
      ASSERT_EQ(result.status, kStatusDone) << result.message.text;
      EXPECT_EQ(result.oldInvalidLines + result.newInvalidLines, 0);
      // Two files of ASCII alone are CP932 to "auto", and so is then the report.
      const char* reportIconv = result.reportEncoding == TextEncoding::kCp932  ? "CP932"
                                : result.reportEncoding == TextEncoding::kUtf8 ? "UTF-8"
                                                                               : "EUC-JP-MS";
      EXPECT_TRUE(variant.oldChoice == EncodingChoice::kAuto ||
                  std::string(reportIconv) == variant.reportIconv);
      const std::string report = MaskedUtf8(ReadFile(dir.File("result.txt")), reportIconv);
      const int status = result.counts.Differences() > 0 ? 1 : 0;
      if (&variant == &variants[0]) {
        expected = report;
        expectedStatus = status;
        continue;
      }
      ASSERT_EQ(report, expected) << "pair " << pair << ", " << variant.oldIconv << " / "
                                  << variant.newIconv << "\nold:\n"
                                  << Join(oldLines) << "new:\n"
                                  << Join(newLines);
      ASSERT_EQ(status, expectedStatus);
    }

    // The fold dimension: a new file changed only in what a fold makes one (a wave-dash
    // twin, width) gives under that fold the report of the unchanged pair, the printed
    // texts aside. Width changes byte lengths, so those pairs are not split.
    const bool byWidth = pair % 2 == 0;
    options.ignoreWidth = byWidth;
    if (byWidth) options.split = false;
    std::string unchanged;
    for (const bool changed : {false, true}) {
      std::string newText = Join(newLines);
      if (changed) newText = byWidth ? ToOtherWidth(newText) : ToTwinForms(newText);
      WriteFile(dir.File("old.txt"), Join(oldLines));
      WriteFile(dir.File("new.txt"), newText);
      CompareRequest request{
          dir.File("old.txt"), dir.File("new.txt"), dir.File("result.txt"), options, {}};
      request.options.oldEncoding = request.options.newEncoding = EncodingChoice::kUtf8;
      const CompareResult result = ExecuteCompare(request, RunMode::kBatch, host, flags);
      ASSERT_EQ(result.status, kStatusDone) << result.message.text;
      const std::string report =
          WithoutTexts(MaskedUtf8(ReadFile(dir.File("result.txt")), "UTF-8"));
      if (!changed) {
        unchanged = report;
      } else {
        ASSERT_EQ(report, unchanged)
            << "pair " << pair << (byWidth ? ", width" : ", twins") << "\nold:\n"
            << Join(oldLines) << "new:\n"
            << newText;
      }
    }
  }
}

}  // namespace
}  // namespace verko
