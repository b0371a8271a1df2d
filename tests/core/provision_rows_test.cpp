#include "report/provision_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "report/provisions.h"

namespace verko {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The non-blank lines of a side, and each line's text without its number.
struct Side {
  std::vector<std::string> lines;
  std::map<std::string, std::string> bodies;
};
Side SideOf(const std::vector<std::string>& all) {
  Side side;
  const std::vector<ProvisionLine> provisions =
      ReadProvisions(std::vector<std::string_view>(all.begin(), all.end()));
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (provisions[i].kind == ProvisionKind::kBlank) continue;
    side.lines.push_back(all[i]);
    side.bodies[all[i]] = all[i].substr(provisions[i].textBegin);
  }
  return side;
}

// The texts a side shows, in order (（略） rows as empty texts).
std::vector<std::string> ShownTexts(const std::vector<TaishoRow>& rows, bool old) {
  std::vector<std::string> shown;
  for (const TaishoRow& row : rows) {
    if (row.kind == TaishoRowKind::kOmitted) {
      shown.emplace_back();
    } else if (old ? row.kind != TaishoRowKind::kAdded : row.kind != TaishoRowKind::kDeleted) {
      shown.push_back(old ? row.oldText : row.newText);
      EXPECT_FALSE(shown.back().empty()) << "a row for a blank line";
    }
  }
  return shown;
}

// Every line of a side not found on the other is shown; down the new side (whose order the
// table keeps: a moved provision is shown at its new place), a （略） row stands wherever
// lines that are shown nowhere were passed over.
void CheckSide(const std::vector<TaishoRow>& rows, const Side& side, const Side& other, bool old,
               const std::string& where) {
  const std::vector<std::string> shownTexts = ShownTexts(rows, old);
  const std::set<std::string> shown(shownTexts.begin(), shownTexts.end());
  const std::set<std::string> otherLines(other.lines.begin(), other.lines.end());
  for (const std::string& line : side.lines) {
    EXPECT_TRUE(otherLines.contains(line) || shown.contains(line)) << where << ": " << line;
  }
  if (old) return;
  std::size_t next = 0;
  bool omitted = false;
  for (const std::string& text : shownTexts) {
    if (text.empty()) {
      omitted = true;
      continue;
    }
    std::size_t at = next;
    while (at < side.lines.size() && side.lines[at] != text) ++at;
    // Shown before, out of order, or a text the side holds twice: no place to check from.
    if (at == side.lines.size() || std::count(side.lines.begin(), side.lines.end(), text) > 1) {
      continue;
    }
    std::string passedOver;
    for (std::size_t k = next; k < at && passedOver.empty(); ++k) {
      if (!shown.contains(side.lines[k])) passedOver = side.lines[k];
    }
    EXPECT_TRUE(passedOver.empty() || omitted)
        << where << ": " << passedOver << " left out without （略） before " << text;
    next = at + 1, omitted = false;
  }
  bool restShown = true;
  for (std::size_t k = next; k < side.lines.size(); ++k)
    restShown = restShown && shown.contains(side.lines[k]);
  EXPECT_TRUE(restShown || omitted) << where << ": the end left out without （略）";
}

TEST(ProvisionRows, RealAmendmentsShowEveryChangeOnceAndLeaveOutTheRest) {
  if (!fs::is_directory(VERKO_LAWS_DIR)) GTEST_SKIP() << "no law texts at " << VERKO_LAWS_DIR;
  int pairs = 0;
  for (const auto& folder : fs::directory_iterator(VERKO_LAWS_DIR)) {
    if (!fs::exists(folder.path() / "old.txt")) continue;
    ++pairs;
    const std::string where = folder.path().filename();
    const std::vector<std::string> oldAll = ReadLines(folder.path() / "old.txt");
    const std::vector<std::string> newAll = ReadLines(folder.path() / "new.txt");
    const std::optional<std::vector<TaishoRow>> rows = ProvisionRowsOf(oldAll, newAll, {});
    ASSERT_TRUE(rows) << where;
    const Side olds = SideOf(oldAll), news = SideOf(newAll);
    CheckSide(*rows, olds, news, true, where + " old");
    CheckSide(*rows, news, olds, false, where + " new");
    // A provision changed only in its number is never （削る） beside （新設）.
    std::set<std::string> added;
    for (const TaishoRow& row : *rows) {
      if (row.kind == TaishoRowKind::kAdded) added.insert(news.bodies.at(row.newText));
    }
    for (const TaishoRow& row : *rows) {
      if (row.kind != TaishoRowKind::kDeleted) continue;
      const std::string& body = olds.bodies.at(row.oldText);
      EXPECT_TRUE(body.empty() || !added.contains(body)) << where << ": " << row.oldText;
    }
  }
  EXPECT_GE(pairs, 18);
}

// A07 inserts a 号 into each of two 項 and renumbers those after it (第八号 → 第九号, …).
TEST(ProvisionRows, RenumberedItemsCarryADoubleUnderlineOnTheirNumbersInTheFormalStyle) {
  const fs::path folder = fs::path(VERKO_LAWS_DIR) / "A07_jutaku-kinyu-shien-kiko-ho";
  if (!fs::exists(folder)) GTEST_SKIP() << "no law texts at " << VERKO_LAWS_DIR;
  const auto oldAll = ReadLines(folder / "old.txt"), newAll = ReadLines(folder / "new.txt");
  for (TaishoStyle style : {TaishoStyle::kFormal, TaishoStyle::kSimple}) {
    const std::vector<TaishoRow> rows = *ProvisionRowsOf(oldAll, newAll, {style, false});
    std::vector<std::string> renumbered;
    for (const TaishoRow& row : rows) {
      if (row.kind != TaishoRowKind::kChanged || row.newDouble.empty()) continue;
      ASSERT_EQ(row.oldDouble.size(), 1u);
      const ChangedRange range = row.newDouble[0], oldRange = row.oldDouble[0];
      renumbered.push_back(row.oldText.substr(oldRange.begin, oldRange.end - oldRange.begin) + "→" +
                           row.newText.substr(range.begin, range.end - range.begin));
    }
    const std::vector<std::string> expected =
        style == TaishoStyle::kSimple
            ? std::vector<std::string>{}
            : std::vector<std::string>{"八→九", "九→十", "十→十一", "十一→十二", "十二→十三",
                                       "六→七", "七→八", "八→九",   "九→十",     "十→十一"};
    EXPECT_EQ(renumbered, expected);
  }
}

}  // namespace
}  // namespace verko
