// Line breaks of explanations and messages: only between phrases, and lines as narrow as the
// phrases allow.
#include "ui/shared/natural_breaks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>

namespace verko {
namespace {

TEST(NaturalBreaks, LinesBreakOnlyBetweenPhrasesAndFitWhereTheyCan) {
  const QString kTexts[] = {
      QStringLiteral(
          "行を分割する際の分割位置の文字を、正規表現で指定してください。指定した正規表現"
          "にマッチする文字列の直後が、分割位置の候補になります。"),
      QStringLiteral("作業用データベースを作成するドライブを指定してください。十分な空き容量の"
                     "ある、高速なドライブを指定することをお勧めします。"),
      QStringLiteral("比較処理の完了時に、比較結果ファイルを表示するエディタを指定してください。"
                     "「%1」は比較結果のファイル名を表わします。"),
      QStringLiteral("このオプションをオフにすると、使用しているデータベースエンジンのテキスト並べ"
                     "替え仕様の制限のため、状況によっては、末尾にブランクのあるテキスト行のマッチ"
                     "ングが正しく行なわれないことがあります。\nこのオプションは「オン」にすること"
                     "をお勧めします。「オン」に戻してよろしいですか？"),
  };
  const QFontMetrics metrics(QApplication::font());
  const int em = metrics.horizontalAdvance(QStringLiteral("あ"));
  for (const QString& text : kTexts) {
    for (int chars : {8, 14, 20, 30, 60}) {
      const int width = chars * em;
      const QString broken = BreakAtNaturalPoints(text, metrics, width);
      const std::string where = broken.toStdString() + " @" + std::to_string(chars);
      // Only line breaks were added, and each at a natural point.
      qsizetype t = 0;
      for (qsizetype b = 0; b < broken.size(); ++b) {
        if (t < text.size() && broken[b] == text[t]) {
          ++t;
          continue;
        }
        ASSERT_EQ(broken[b], QLatin1Char('\n')) << where;
        ASSERT_GT(t, 0) << where;
        ASSERT_LT(t, text.size()) << where;
        EXPECT_TRUE(IsNaturalBreak(text[t - 1], text[t]))
            << where << " at " << text.mid(t - 2, 4).toStdString();
      }
      EXPECT_EQ(t, text.size()) << where;
      // A line wider than asked holds a single phrase: it has no natural point inside.
      for (const QString& line : broken.split('\n')) {
        if (metrics.horizontalAdvance(line) <= width) continue;
        for (qsizetype i = 1; i < line.size(); ++i) {
          EXPECT_FALSE(IsNaturalBreak(line[i - 1], line[i]) &&
                       metrics.horizontalAdvance(line.left(i)) <= width)
              << where << " line " << line.toStdString();
        }
      }
    }
  }
}

TEST(NaturalBreaks, WordsAndTheirEndingsStayTogether) {
  struct {
    const char* before;
    const char* after;
    bool natural;
  } const kCases[] = {
      {"さ", "い", false},                      // くださ|い
      {"正", "規", false},                      // 正|規表現
      {"キ", "ス", false},                      // テキ|スト
      {"文", "字", false},                      // 文|字
      {"表", "現", false},                      // 表|現
      {"を", "、", false},                      // never before punctuation
      {"す", "。", false}, {"の", "文", true},  // 分割位置の|文字
      {"で", "指", true},                       // 正規表現で|指定
      {"の", "テ", true},                       // エンジンの|テキスト
      {"、", "正", true},                       // after a comma
      {"。", "指", true},                       // after a full stop
      {"」", "は", false},                      // 「%1」|は keeps its particle
      {"お", "勧", false},                      // お|勧め
      {"」", "「", true},  {" ", "1", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(IsNaturalBreak(QString::fromUtf8(c.before)[0], QString::fromUtf8(c.after)[0]),
              c.natural)
        << c.before << "|" << c.after;
  }
}

}  // namespace
}  // namespace verko
