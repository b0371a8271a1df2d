// The 改め文 applier against the official amendments, and the drafter proven on every real
// law pair: the draft applied to the old text gives the new text exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/aratame_applier.h"
#include "report/aratame_drafter.h"

namespace verko {
namespace {

const std::filesystem::path kLaws = std::filesystem::path(VERKO_TEST_DATA_DIR) / "laws";

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Applied(const std::string& amendment, const std::string& old) {
  std::vector<std::string> lines = SplitLines(old);
  std::string error;
  if (!ApplyAratame(amendment, &lines, &error)) return "error: " + error;
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

TEST(Aratame, OfficialAmendmentsGiveTheNewText) {
  for (const char* pair : {"A07_jutaku-kinyu-shien-kiko-ho", "A08_taishin-kaishu-sokushin-ho"}) {
    std::filesystem::path dir = kLaws / pair;
    EXPECT_EQ(Applied(ReadFile(dir / "official-aratame.txt"), ReadFile(dir / "old.txt")),
              ReadFile(dir / "new.txt"))
        << pair;
  }
}

TEST(Aratame, EveryDraftOfARealPairGivesItsNewText) {
  int pairs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kLaws)) {
    if (!std::filesystem::exists(entry.path() / "new.txt")) continue;
    ++pairs;
    std::string old = ReadFile(entry.path() / "old.txt");
    std::string wanted = ReadFile(entry.path() / "new.txt");
    for (AratameStyle style : {AratameStyle::kTategaki, AratameStyle::kYokogaki}) {
      AratameDraft draft = DraftAratame(SplitLines(old), SplitLines(wanted), style);
      ASSERT_TRUE(draft.proven) << entry.path();
      EXPECT_EQ(Applied(draft.text, old), wanted) << entry.path();
    }
  }
  EXPECT_EQ(pairs, 18);
}

// Each form on a small rule: the amendment applied gives the new text, and the draft of the
// same change, applied, gives it too (whatever its wording).
TEST(Aratame, FormsInBothStyles) {
  const std::string old =
      "（目的）\n第一条　この規則は、手続きを定める。\n２　前項の手続きは、市長が行う。\n"
      "第二条　次に掲げる事務\n一　甲の事務\n二　乙の事務\n三　丙の事務\n"
      "第三条　削除\n第四条　委任する。\n";
  const std::string wide =
      "第１条　この規則は、手続を定める。\n第２条　次に掲げる事務\n(1)甲\n(2)乙\n";
  struct Case {
    const char* amendment;
    const char* base;
    const char* wanted;
  } cases[] = {
      {"　　第一条第一項中「手続き」を「手続」に改め、同条第二項中「市長」を「知事」に改める。",
       nullptr, "（目的）\n第一条　この規則は、手続を定める。\n２　前項の手続きは、知事が行う。\n"},
      {"　　第一条中「手続き」を「手続」に改める。", nullptr,
       "（目的）\n第一条　この規則は、手続を定める。\n２　前項の手続は、市長が行う。\n"},
      {"　　第一条の見出しを「（趣旨）」に改め、同条第一項中「この規則」の下に「で」を加え、"
       "「、」を削る。",
       nullptr,
       "（趣旨）\n第一条　この規則では手続きを定める。\n２　前項の手続きは、市長が行う。\n"},
      {"　　第二条中第三号を第四号とし、第二号を第三号とし、第一号の次に次の一号を加える。\n"
       "　　二　丁の事務",
       nullptr, "第二条　次に掲げる事務\n一　甲の事務\n二　丁の事務\n三　乙の事務\n四　丙の事務\n"},
      {"　　第二条中第一号から第三号までを一号ずつ繰り下げ、同条に次の一号を加える。\n"
       "　　五　戊の事務",
       nullptr, "第二条　次に掲げる事務\n二　甲の事務\n三　乙の事務\n四　丙の事務\n五　戊の事務\n"},
      {"　　第二条第二号を削り、同条第三号を同条第二号とする。", nullptr,
       "第二条　次に掲げる事務\n一　甲の事務\n二　丙の事務\n"},
      {"　　第三条を削り、第四条を第三条とし、第二条の次に次の一条を加える。\n"
       "　（移された条）\n　第二条の二　移した。",
       nullptr, "第二条の二　移した。\n第三条　委任する。\n"},
      {"　　第四条を次のように改める。\n　第四条　別に定める。", nullptr, "第四条　別に定める。\n"},
      {"第２条第２号を第３号とし、同条第１号の次に次の１号を加える。\n(2)丙", "wide",
       "(1)甲\n(2)丙\n(3)乙\n"},
      {"第１条中「手続」の次に「等」を加える。", "wide", "第１条　この規則は、手続等を定める。\n"},
  };
  for (const Case& c : cases) {
    const std::string& base = c.base == nullptr ? old : wide;
    std::string result = Applied(c.amendment, base);
    EXPECT_NE(result.find(c.wanted), std::string::npos) << c.amendment << "\n" << result;
    for (AratameStyle style : {AratameStyle::kTategaki, AratameStyle::kYokogaki}) {
      AratameDraft draft = DraftAratame(SplitLines(base), SplitLines(result), style);
      EXPECT_TRUE(draft.proven) << c.amendment;
      EXPECT_EQ(Applied(draft.text, base), result) << draft.text;
    }
  }
  // An instruction that cannot apply names itself and why.
  EXPECT_EQ(Applied("　　第九条中「甲」を「乙」に改める。", old),
            "error: 「第九条中「甲」を「乙」に改める。」を適用できません: 第九条が見つかりません");
  EXPECT_EQ(Applied("　　第一条中「丁」を「乙」に改める。", old).substr(0, 6), "error:");
}

TEST(Aratame, DocumentWithoutProvisionsIsDraftedByLines) {
  std::string old = "甲の行\n　乙の行\n\n丙の行\n";
  std::string wanted = "甲の新しい行\n　乙の行\n\n追加\n　字下げ\n";
  AratameDraft draft = DraftAratame(SplitLines(old), SplitLines(wanted), AratameStyle::kTategaki);
  ASSERT_TRUE(draft.proven);
  EXPECT_NE(draft.text.find("　　1行目中「"), std::string::npos) << draft.text;
  EXPECT_EQ(Applied(draft.text, old), wanted);
}

}  // namespace
}  // namespace verko
