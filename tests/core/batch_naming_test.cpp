// Result names by method, sequence numbers included, and the method presets.
#include <gtest/gtest.h>

#include "batch/method_display.h"
#include "batch/result_naming.h"

namespace verko {
namespace {

using Names = std::vector<std::string>;

std::vector<PairRow> ThreeRows() {
  return {{1, "a.txt", "a2.doc", "r"},
          {2, std::string(UnpairedMark), "b2.txt", "r"},
          {3, "c.tar.gz", "c2", "r"}};
}

TEST(ResultNaming, NamesByMethod) {
  struct {
    int method;
    const char* ext;
    Names names;
  } cases[] = {
      {1, "vk", {"a.vk", "《未ペア》.vk", "c.tar.vk"}},
      {2, "vk", {"a2.vk", "b2.vk", "c2.vk"}},
      {2, "", {"a2.", "b2.", "c2."}},
      {3, "vk", {"a.txt", "《未ペア》", "c.tar.gz"}},
      {4, "vk", {"a2.doc", "b2.txt", "c2"}},
      {0, "vk", {}},
  };
  for (const auto& c : cases) {
    BatchListSettings s;
    s.resultMethod = c.method;
    s.resultExt = c.ext;
    Names names;
    NamingRefusal refusal;
    EXPECT_TRUE(GenerateResultNames(ThreeRows(), s, &names, &refusal));
    EXPECT_EQ(names, c.names) << c.method;
  }
}

TEST(ResultNaming, SequenceNumbers) {
  struct {
    const char* fname;
    const char* ext;
    const char* initNo;
    Names names;
  } cases[] = {
      {"Result##", "vk", "1", {"Result01.vk", "Result02.vk", "Result03.vk"}},
      {"File#", "txt", "9", {"File9.txt", "File0.txt", "File1.txt"}},
      {"A###B", "vk", "7", {"A007B.vk", "A008B.vk", "A009B.vk"}},
      {"R##", "vk", "abc", {"R00.vk", "R01.vk", "R02.vk"}},
      {"R##", "vk", "2.5", {"R02.vk", "R03.vk", "R04.vk"}},
      {"R##", "vk", "3.5", {"R04.vk", "R05.vk", "R06.vk"}},
      {"R###", "vk", "-5", {"R0-5.vk", "R0-4.vk", "R0-3.vk"}},
      {"R", "##", "98", {"R.98", "R.99", "R.00"}},
  };
  for (const auto& c : cases) {
    BatchListSettings s;
    s.resultMethod = kResultSequence;
    s.resultFname = c.fname;
    s.resultExt = c.ext;
    s.initNo = c.initNo;
    Names names;
    NamingRefusal refusal;
    EXPECT_TRUE(GenerateResultNames(ThreeRows(), s, &names, &refusal)) << c.fname;
    EXPECT_EQ(names, c.names) << c.fname << " " << c.initNo;
  }
}

TEST(ResultNaming, TemplatesWithoutOrWithTwoRunsAreRefused) {
  struct {
    const char* fname;
    const char* ext;
    const char* text;
  } cases[] = {
      {"A##B#", "vk", "連番（\"#\"）を指定できるのは１個所だけです。"},
      {"R#", "#", "連番（\"#\"）を指定できるのは１個所だけです。"},
      {"Result", "vk", "連番を入れる位置と桁数を\"#\"文字で指定してください。\n  例： File##.TXT"},
  };
  for (const auto& c : cases) {
    BatchListSettings s;
    s.resultMethod = kResultSequence;
    s.resultFname = c.fname;
    s.resultExt = c.ext;
    Names names;
    NamingRefusal refusal;
    EXPECT_FALSE(GenerateResultNames(ThreeRows(), s, &names, &refusal));
    EXPECT_EQ(refusal.text, c.text);
    EXPECT_EQ(refusal.title, "ファイル名の指定エラー");
    EXPECT_TRUE(names.empty());
  }
}

TEST(MethodDisplay, PresetsOfTheChosenMethod) {
  BatchListSettings s;
  s.resultFname = "kept";
  s.resultExt = "kx";
  EXPECT_TRUE(ApplyResultMethod(3, &s));
  EXPECT_EQ(s.resultFname, "kept");
  EXPECT_TRUE(ApplyResultMethod(5, &s));
  EXPECT_EQ(s.resultFname + "." + s.resultExt, "Result##.vk");
  EXPECT_TRUE(ApplyResultMethod(1, &s));
  EXPECT_EQ(s.resultFname, "(旧ファイル名)");
  EXPECT_FALSE(ApplyResultMethod(6, &s));
  EXPECT_EQ(s.resultMethod, 1);
  EXPECT_TRUE(ResultMethodDisplay(5).initNoShown);
  EXPECT_TRUE(ResultMethodDisplay(2).fnameReadOnly);

  EXPECT_TRUE(ApplyPairingMethod(2, &s));
  EXPECT_EQ(s.pairingFname + "." + s.pairingExt, "(同じﾌｧｲﾙ名).*");
  EXPECT_TRUE(ApplyPairingMethod(3, &s));
  EXPECT_EQ(s.pairingFname + s.pairingExt + s.pairingFname2 + s.pairingExt2, "");
  EXPECT_FALSE(ApplyPairingMethod(-1, &s));
  EXPECT_TRUE(PairingMethodDisplay(3).newSideShown);
  EXPECT_FALSE(PairingMethodDisplay(1).fnameShown);
}

}  // namespace
}  // namespace verko
