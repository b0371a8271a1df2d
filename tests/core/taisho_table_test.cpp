#include <gtest/gtest.h>

#include "report/taisho_html.h"
#include "report/taisho_rows.h"

namespace verko {
namespace {

TaishoRow Row(TaishoRowKind kind, int oldNo, int newNo, std::string text, int movedNo = 0) {
  TaishoRow row;
  row.kind = kind;
  row.oldNo = oldNo, row.newNo = newNo, row.movedNo = movedNo;
  if (oldNo > 0) row.oldText = text;
  if (newNo > 0) row.newText = text;
  return row;
}

// A cell as "number|text" with its changed pieces in brackets, or its note.
std::string Shown(const TaishoRow& row, TaishoSide side) {
  const TaishoCell cell = CellOf(row, side);
  if (!cell.note.empty()) return cell.note;
  std::string shown = cell.number + "|";
  for (const TaishoPiece& piece : cell.pieces) {
    shown += piece.changed ? "[" + std::string(piece.text) + "]" : std::string(piece.text);
  }
  return shown;
}

TEST(TaishoTable, PairsLikeLinesAndNotesTheSideWithoutText) {
  using K = TaishoRowKind;
  std::vector<TaishoRow> rows = {
      Row(K::kCommon, 1, 1, "前文"),
      Row(K::kDeleted, 2, 0, "作成者 山田太郎"),
      Row(K::kDeleted, 3, 0, "全く別の古い行です"),
      Row(K::kAdded, 0, 2, "作成者 鈴木太郎"),
      Row(K::kMovedOld, 4, 0, "移る行", 9),
      Row(K::kAdded, 0, 4, "新しい"),
      Row(K::kMovedNew, 0, 9, "移る行", 4),
  };
  rows[5].newPart = 2;
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"1|前文", "1|前文"},
      {"2|作成者 [鈴木]太郎", "2|作成者 [山田]太郎"},
      {"（削る）", "3|[全く別の古い行です]"},
      {"（9 行目へ移動）", "4|[移る行]"},
      {"4-2|[新しい]", "（新設）"},
      {"9|[移る行]", "（4 行目から移動）"},
  };
  const std::vector<TaishoRow> paired = PairChangedRows(rows);
  ASSERT_EQ(paired.size(), expected.size());
  for (std::size_t i = 0; i < paired.size(); ++i) {
    EXPECT_EQ(Shown(paired[i], TaishoSide::kNew), expected[i].first) << i;
    EXPECT_EQ(Shown(paired[i], TaishoSide::kOld), expected[i].second) << i;
  }
}

TEST(TaishoTable, HtmlShowsEveryTextAsText) {
  TaishoTable table;
  table.newName = "<b>new</b>";
  table.rows = {Row(TaishoRowKind::kAdded, 0, 1, "<script>alert('x')</script> & \x1b\xff")};
  std::string html;
  AppendTaishoHtml(table, &html);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; ␛\xEF\xBF\xBD"),
            std::string::npos);
}

}  // namespace
}  // namespace verko
