#include "report/provisions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace verko {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<ProvisionLine> ProvisionsOf(const std::vector<std::string>& lines) {
  return ReadProvisions(std::vector<std::string_view>(lines.begin(), lines.end()));
}

// The real law texts before and after their amendments (old.txt and new.txt of each folder).
std::vector<fs::path> LawTexts() {
  std::vector<fs::path> texts;
  if (!fs::is_directory(VERKO_LAWS_DIR)) return texts;
  for (const auto& folder : fs::directory_iterator(VERKO_LAWS_DIR)) {
    for (const char* name : {"old.txt", "new.txt"}) {
      if (fs::exists(folder.path() / name)) texts.push_back(folder.path() / name);
    }
  }
  return texts;
}

TEST(Provisions, NumeralsReadAndWriteAsLawsSpellThem) {
  const std::vector<std::pair<std::string, int>> spelt = {
      {"一", 1},         {"十", 10},   {"十三", 13},        {"二十", 20},   {"百二十一", 121},
      {"百六十三", 163}, {"千", 1000}, {"一万二千", 12000}, {"二万", 20000}};
  for (const auto& [text, value] : spelt) {
    EXPECT_EQ(ParseNumeral(text), value) << text;
    EXPECT_EQ(KanjiNumeral(value), text) << value;
  }
  for (int value = 1; value <= 30000; ++value) {
    ASSERT_EQ(ParseNumeral(KanjiNumeral(value)), value) << KanjiNumeral(value);
  }
  EXPECT_EQ(ParseNumeral("１２"), 12);
  EXPECT_EQ(ParseNumeral("305"), 305);
  EXPECT_EQ(ParseNumeral("十a"), std::nullopt);
  EXPECT_EQ(ParseNumeral(""), std::nullopt);
  EXPECT_EQ(FullWidthNumeral(12), "１２");
  EXPECT_EQ(IrohaLetter(3), "ハ");
}

// On every real law: the articles of the main provisions come in increasing order, each
// article's 項 count 2, 3, … after its own line, and the 号 of one 項 increase.
TEST(Provisions, RealLawsReadInTheirNumberOrder) {
  const std::vector<fs::path> texts = LawTexts();
  if (texts.empty()) GTEST_SKIP() << "no law texts at " << VERKO_LAWS_DIR;
  for (const fs::path& path : texts) {
    const std::vector<ProvisionLine> provisions = ProvisionsOf(ReadLines(path));
    ASSERT_TRUE(HasProvisions(provisions)) << path;
    const ProvisionLine* previous = nullptr;
    int articles = 0;
    for (std::size_t i = 0; i < provisions.size(); ++i) {
      const ProvisionLine& line = provisions[i];
      if (!OpensProvision(line.kind) || line.kind == ProvisionKind::kSupplementary) continue;
      if (line.kind == ProvisionKind::kArticle && line.path.supplementary == 0) ++articles;
      if (previous && previous->path.supplementary == line.path.supplementary &&
          previous->path.appendedTable == line.path.appendedTable) {
        EXPECT_LT(previous->path, line.path) << path << ":" << i + 1;
        if (line.kind == ProvisionKind::kParagraph) {
          EXPECT_EQ(line.path.paragraph, previous->path.paragraph + 1) << path << ":" << i + 1;
        }
      }
      previous = &line;
    }
    EXPECT_GT(articles, 1) << path;
  }
}

TEST(Provisions, PathsNameTheProvisionOfEachLine) {
  const std::vector<std::string> law = {"ある法律",
                                        "（平成十七年法律第八十二号）",
                                        "目次",
                                        "第一章　総則（第一条・第二条）",
                                        "附則",
                                        "第一章　総則",
                                        "（目的）",
                                        "第一条　この法律は、……",
                                        "第四条の二　機構は……",
                                        "２　機構は……",
                                        "一　甲",
                                        "八の二　乙",
                                        "イ　丙",
                                        "第十三条から第十五条まで　削除",
                                        "附　則",
                                        "この法律は、……",
                                        "２　……",
                                        "別表第二（第五条関係）",
                                        "一　甲　乙"};
  const std::vector<ProvisionLine> provisions = ProvisionsOf(law);
  std::vector<std::string> names;
  for (const ProvisionLine& line : provisions) names.push_back(ProvisionName(line.path));
  using K = ProvisionKind;
  const std::vector<std::pair<K, std::string>> expected = {
      {K::kText, ""},
      {K::kText, ""},
      {K::kContents, ""},
      {K::kContents, ""},
      {K::kContents, ""},
      {K::kChapter, ""},
      {K::kCaption, "第一条"},
      {K::kArticle, "第一条"},
      {K::kArticle, "第四条の二"},
      {K::kParagraph, "第四条の二第二項"},
      {K::kItem, "第四条の二第二項第一号"},
      {K::kItem, "第四条の二第二項第八号の二"},
      {K::kSubitem, "第四条の二第二項第八号の二イ"},
      {K::kArticle, "第十三条"},
      {K::kSupplementary, "附則"},
      {K::kText, "附則第一項"},
      {K::kParagraph, "附則第二項"},
      {K::kAppendedTable, "別表第二"},
      {K::kText, "別表第二"}};
  ASSERT_EQ(provisions.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(provisions[i].kind, expected[i].first) << law[i];
    EXPECT_EQ(names[i], expected[i].second) << law[i];
  }
  EXPECT_TRUE(provisions[13].deleted);
  EXPECT_EQ(law[9].substr(provisions[9].labelBegin, provisions[9].labelEnd), "２");

  // A 規程 with half-width numbers, its caption on the article's line, items as (1).
  const std::vector<ProvisionLine> rules =
      ProvisionsOf({"第1条（目的）", "この規程は……", "2 前項の……", "(1) 甲", "第2条 乙"});
  EXPECT_EQ(ProvisionName(rules[1].path), "第一条");
  EXPECT_EQ(ProvisionName(rules[3].path), "第一条第二項第一号");
  EXPECT_EQ(rules[4].kind, ProvisionKind::kArticle);
  EXPECT_TRUE(HasProvisions(rules));
  EXPECT_FALSE(HasProvisions(ProvisionsOf({"一　甲", "２　乙", "普通の文"})));
}

}  // namespace
}  // namespace verko
