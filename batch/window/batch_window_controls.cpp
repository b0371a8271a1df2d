#include "batch/window/batch_window_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "batch/window/pair_table_model.h"
#include "ui/shared/field_values.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

QLineEdit* NewField(const char* name, const QString& toolTip, QWidget* parent) {
  auto* field = Named(new QLineEdit(parent), name);
  if (!toolTip.isEmpty()) field->setToolTip(toolTip);
  return field;
}

// The pair grid moves like a spreadsheet: the arrow keys walk its cells, while Tab and
// Shift+Tab leave it for the next or previous control, from an open cell editor too (the
// typed name is kept).
class PairGrid : public QTableView {
 public:
  explicit PairGrid(QWidget* parent) : QTableView(parent) { setTabKeyNavigation(false); }

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    if (!next && hint != QAbstractItemDelegate::EditPreviousItem) {
      QTableView::closeEditor(editor, hint);
      return;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    focusNextPrevChild(next);
  }
};

}  // namespace

BatchWindowControls::BatchWindowControls(QWidget* window, QAbstractItemModel* pairs) {
  window->setObjectName(QStringLiteral("VerkoBatch"));
  window->setWindowTitle(QStringLiteral("Verko ドルパキネッセル"));
  window->setWindowIcon(QIcon(ProgramIcon(64)));
  Create(window, pairs);
  LayOut(window);
}

void BatchWindowControls::SetColumnWidths() const {
  const int width = TwipsToPixels(kPairColumnTwips, pairGrid->logicalDpiX());
  for (int column = 0; column < pairGrid->model()->columnCount(); ++column) {
    pairGrid->setColumnWidth(column, width);
  }
  // An outcome with its counts is longer than a file name.
  pairGrid->setColumnWidth(PairTableModel::kOutcome, width * 2);
}

void BatchWindowControls::Create(QWidget* window, QAbstractItemModel* pairs) {
  frameFolders = Named(new QGroupBox(QStringLiteral("処理対象のフォルダ"), window), "FrameFolders");
  labelOld = Named(new QLabel(QStringLiteral("旧ファイル(&A)"), frameFolders), "LabelOldPath");
  labelNew = Named(new QLabel(QStringLiteral("新ファイル(&B)"), frameFolders), "LabelNewPath");
  labelResult = Named(new QLabel(QStringLiteral("比較結果(&R)"), frameFolders), "LabelResultPath");
  txtOldPath =
      NewField("TxtOldPath", QStringLiteral("比較対象の「旧ファイル」のパスを指定"), frameFolders);
  txtNewPath =
      NewField("TxtNewPath", QStringLiteral("比較対象の「新ファイル」のパスを指定"), frameFolders);
  txtResultPath =
      NewField("TxtResultPath", QStringLiteral("比較結果のﾌｧｲﾙを格納するパスを指定"), frameFolders);
  labelOld->setBuddy(txtOldPath);
  labelNew->setBuddy(txtNewPath);
  labelResult->setBuddy(txtResultPath);
  cmdOldSelect = NewButton("CmdOldSelect", QStringLiteral("選択(&J)"), frameFolders,
                           QStringLiteral("旧ファイルを選択（複数可）"));
  cmdOldAuto = NewButton("CmdOldAuto", QStringLiteral("自動(&K)"), frameFolders,
                         QStringLiteral("対応する「旧ファイル」を自動的に選択"));
  cmdOldEach = NewButton("CmdOldEach", QStringLiteral("個別(&L)"), frameFolders,
                         QStringLiteral("対応する「旧ファイル」を個別に指定"));
  cmdNewSelect = NewButton("CmdNewSelect", QStringLiteral("選択(&T)"), frameFolders,
                           QStringLiteral("新ファイルを選択（複数可）"));
  cmdNewAuto = NewButton("CmdNewAuto", QStringLiteral("自動(&Y)"), frameFolders,
                         QStringLiteral("対応する「新ファイル」を自動的に選択"));
  cmdNewEach = NewButton("CmdNewEach", QStringLiteral("個別(&U)"), frameFolders,
                         QStringLiteral("対応する「新ファイル」を個別に指定"));
  cmdResultPath = NewButton("CmdResultPath", QStringLiteral("フォルダ選択(&F)"), frameFolders,
                            QStringLiteral("結果ファイルを格納するフォルダを選択"));

  frameBatchList = Named(new QGroupBox(QStringLiteral("バッチ処理するファイルのリスト"), window),
                         "FrameBatchList");
  pairGrid = Named(new PairGrid(frameBatchList), "DBGrid1");
  pairGrid->setModel(pairs);
  pairGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  pairGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  // A double click edits a name, or opens the result of a row the last run compared
  // (VerkoBatch decides).
  pairGrid->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  pairGrid->verticalHeader()->setDefaultSectionSize(pairGrid->fontMetrics().height() + 6);
  pairGrid->verticalHeader()->setFixedWidth(pairGrid->fontMetrics().height());
  pairGrid->setWordWrap(false);
  labelInfo =
      Named(new QLabel(QStringLiteral("ペア 0　未ペア・未定 0"), frameBatchList), "LabelInfo");
  labelInfo->setToolTip(QStringLiteral("カウント情報 - 更新するにはクリック"));
  labelInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  labelInfo->setMinimumWidth(
      labelInfo->fontMetrics().horizontalAdvance(QStringLiteral("ペア 00000　未ペア・未定 00000")) +
      12);
  cmdUpdateCount = NewButton("Command1", QStringLiteral("ｶｳﾝﾄ更新"), frameBatchList,
                             QStringLiteral("ｶｳﾝﾄ情報やﾎﾞﾀﾝの有効/無効が不適切な時にｸﾘｯｸ"));
  optCompactDB =
      Named(new QCheckBox(QStringLiteral("終了時にDBを圧縮"), frameBatchList), "OptCompactDB");
  optCompactDB->setToolTip(QStringLiteral("ドルパキネッセルの終了時にバッチリストDBを圧縮します"));
  cmdDeleteRow = NewButton("CmdDeleteRow", QStringLiteral("行削除"), frameBatchList,
                           QStringLiteral("現在選択されているファイルペア行を削除"));
  cmdClearContent = NewButton("CmdClearContent", QStringLiteral("クリア"), frameBatchList,
                              QStringLiteral("現在のバッチリストの内容をクリア"));

  txtBatchName = NewField("TxtBatchName", QStringLiteral("現在のバッチリストの名前"), window);
  SetReadOnlyLook(txtBatchName, true);
  txtBatchName->setFocusPolicy(Qt::ClickFocus);
  cmdBatchNew = NewButton("CmdBatchNew", QStringLiteral("新規(&N)"), window,
                          QStringLiteral("新しいバッチリストを作成"));
  cmdBatchDelete = NewButton("CmdBatchDelete", QStringLiteral("削除(&D)"), window,
                             QStringLiteral("現在のバッチリストを削除"));
  cmdBatchRename = NewButton("CmdBatchRename", QStringLiteral("改名(&M)"), window,
                             QStringLiteral("現在のバッチリストの名前を変更"));
  cmdBatchSelect = NewButton("CmdBatchSelect", QStringLiteral("選択(&C)"), window,
                             QStringLiteral("バッチリストを選択"));

  framePairing =
      Named(new QGroupBox(QStringLiteral("新旧ファイルの対応づけ"), window), "FramePairing");
  comboPairing = Named(new QComboBox(framePairing), "ComboPairing");
  comboPairing->setToolTip(QStringLiteral("新旧ファイルを対応づける方法"));
  comboPairing->addItems({QStringLiteral("（なし）"), QStringLiteral("ファイル名+拡張子が一致"),
                          QStringLiteral("ファイル名のみ一致"), QStringLiteral("パターン一致")});
  txtPairingFname = NewField("TxtPairingFname", QString(), framePairing);
  txtPairingExt = NewField("TxtPairingExt", QString(), framePairing);
  txtPairingFname2 = NewField("TxtPairingFname2", QString(), framePairing);
  txtPairingExt2 = NewField("TxtPairingExt2", QString(), framePairing);
  labelPairingDot = Named(new QLabel(QStringLiteral("."), framePairing), "LabelPoint1");
  labelPairingDot2 = Named(new QLabel(QStringLiteral("."), framePairing), "LabelPoint3");
  labelPairPattern = Named(new QLabel(QStringLiteral("旧  新"), framePairing), "LabelPairPattern");
  labelWildcardNote =
      Named(new QLabel(QStringLiteral("*, ? … ワイルドカード"), framePairing), "LabelPairing1");
  labelMatchNote = Named(new QLabel(QStringLiteral("* … 一致部分"), framePairing), "LabelPairing2");

  frameResultName =
      Named(new QGroupBox(QStringLiteral("結果ファイル名の設定"), window), "FrameResultName");
  comboResultName = Named(new QComboBox(frameResultName), "ComboResultName");
  comboResultName->setToolTip(QStringLiteral("結果ファイル名を生成する方法"));
  comboResultName->addItems(
      {QStringLiteral("（手動設定）"), QStringLiteral("旧ファイル名+任意拡張子"),
       QStringLiteral("新ファイル名+任意拡張子"), QStringLiteral("旧ファイル名と同じ"),
       QStringLiteral("新ファイル名と同じ"), QStringLiteral("名前を指定(連番付き)")});
  txtResultFname =
      NewField("TxtResultFname", QStringLiteral("結果ファイルのファイル名部分"), frameResultName);
  txtResultExt =
      NewField("TxtResultExt", QStringLiteral("結果ファイルの拡張子部分"), frameResultName);
  txtInitNo = NewField("TxtInitNo", QStringLiteral("連番の初期値"), frameResultName);
  txtInitNo->setText(QStringLiteral("1"));
  labelResultDot = Named(new QLabel(QStringLiteral("."), frameResultName), "LabelPoint2");
  labelResultName =
      Named(new QLabel(QStringLiteral("# … 連番の位置と桁数"), frameResultName), "LabelResultName");
  labelInitNo = Named(new QLabel(QStringLiteral("初期値(&I)"), frameResultName), "LabelInitNo");
  labelInitNo->setBuddy(txtInitNo);
  cmdGenResultName = NewButton("CmdGenResultName", QStringLiteral("適用(&P)"), frameResultName,
                               QStringLiteral("結果ファイル名を生成"));

  cmdBatchExecute = NewButton("CmdBatchExecute", QStringLiteral("バッチ実行開始(&G)"), window,
                              QStringLiteral("現在のバッチリストに基づいて連続比較処理を開始"));
  cmdCancel = NewButton("CmdCancel", QStringLiteral("ｷｬﾝｾﾙ(Esc)"), window,
                        QStringLiteral("バッチリストの実行を中断"));
  cmdCancel->setEnabled(false);
  cmdHelp =
      NewButton("CmdHelp", QStringLiteral("ヘルプ(&H)"), window, QStringLiteral("ヘルプを表示"));
  cmdClose = NewButton("CmdClose", QStringLiteral("閉じる(&X)"), window,
                       QStringLiteral("ドルパキネッセルを閉じる"));

  // The template fields of the methods not chosen are hidden but keep their place, so that a
  // frame does not change its size when another method is chosen; so do the frames that a
  // run hides.
  for (QWidget* widget : std::initializer_list<QWidget*>{
           txtPairingFname, txtPairingExt, txtPairingFname2, txtPairingExt2, labelPairingDot,
           labelPairingDot2, labelPairPattern, labelWildcardNote, labelMatchNote, txtResultFname,
           txtResultExt, txtInitNo, labelResultDot, labelResultName, labelInitNo, frameFolders,
           frameBatchList, framePairing, frameResultName}) {
    KeepPlaceWhenHidden(widget);
  }
}

void BatchWindowControls::LayOut(QWidget* window) {
  // The folder frame: a row per side with its three commands, the result folder below.
  auto* folders = new QGridLayout(frameFolders);
  folders->setHorizontalSpacing(6);
  folders->setVerticalSpacing(4);
  folders->addWidget(labelOld, 0, 0);
  folders->addWidget(txtOldPath, 0, 1);
  folders->addWidget(cmdOldSelect, 0, 2);
  folders->addWidget(cmdOldAuto, 0, 3);
  folders->addWidget(cmdOldEach, 0, 4);
  folders->addWidget(labelNew, 1, 0);
  folders->addWidget(txtNewPath, 1, 1);
  folders->addWidget(cmdNewSelect, 1, 2);
  folders->addWidget(cmdNewAuto, 1, 3);
  folders->addWidget(cmdNewEach, 1, 4);
  folders->addWidget(labelResult, 2, 0);
  folders->addWidget(txtResultPath, 2, 1);
  folders->addWidget(cmdResultPath, 2, 2, 1, 3);
  folders->setColumnStretch(1, 1);

  // The list frame: the grid, then the count line and the row commands.
  auto* listTools = new QHBoxLayout;
  listTools->addWidget(labelInfo);
  listTools->addWidget(cmdUpdateCount);
  listTools->addSpacing(12);
  listTools->addWidget(optCompactDB);
  listTools->addStretch();
  listTools->addWidget(cmdDeleteRow);
  listTools->addWidget(cmdClearContent);
  auto* list = new QVBoxLayout(frameBatchList);
  list->addWidget(pairGrid, 1);
  list->addLayout(listTools);
  const int gridWidth = 3 * TwipsToPixels(kPairColumnTwips, window->logicalDpiX()) +
                        pairGrid->verticalHeader()->width() + 2 * pairGrid->frameWidth() +
                        pairGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
  // Five rows of pairs at least, so that the window fits a small screen; nine to begin with.
  const int rowHeight = pairGrid->verticalHeader()->defaultSectionSize();
  pairGrid->setMinimumSize(gridWidth, 5 * rowHeight);

  // The pairing frame: the method, then the old and new patterns with their note.
  const int nameWidth =
      window->fontMetrics().horizontalAdvance(QStringLiteral("(同じﾌｧｲﾙ名)")) + 16;
  const int extWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("txtxt")) + 12;
  for (QLineEdit* field : {txtPairingFname, txtPairingFname2, txtResultFname}) {
    field->setFixedWidth(nameWidth);
  }
  for (QLineEdit* field : {txtPairingExt, txtPairingExt2, txtResultExt, txtInitNo}) {
    field->setFixedWidth(extWidth);
  }
  labelPairPattern->setWordWrap(true);
  labelPairPattern->setFixedWidth(window->fontMetrics().horizontalAdvance(QStringLiteral("旧")) +
                                  4);
  auto* pairing = new QGridLayout(framePairing);
  pairing->setHorizontalSpacing(3);
  pairing->setVerticalSpacing(4);
  pairing->addWidget(comboPairing, 0, 0, 1, 5);
  pairing->addWidget(labelPairPattern, 1, 0, 2, 1, Qt::AlignVCenter);
  pairing->addWidget(txtPairingFname, 1, 1);
  pairing->addWidget(labelPairingDot, 1, 2);
  pairing->addWidget(txtPairingExt, 1, 3);
  pairing->addWidget(txtPairingFname2, 2, 1);
  pairing->addWidget(labelPairingDot2, 2, 2);
  pairing->addWidget(txtPairingExt2, 2, 3);
  // One note at a time, in the same place.
  pairing->addWidget(labelWildcardNote, 3, 1, 1, 4);
  pairing->addWidget(labelMatchNote, 3, 1, 1, 4);
  pairing->setColumnStretch(4, 1);
  pairing->setRowStretch(4, 1);

  // The naming frame: the method and its command, the template and the initial value.
  auto* naming = new QGridLayout(frameResultName);
  naming->setHorizontalSpacing(3);
  naming->setVerticalSpacing(4);
  naming->addWidget(comboResultName, 0, 0, 1, 4);
  naming->addWidget(cmdGenResultName, 0, 4);
  naming->addWidget(txtResultFname, 1, 0);
  naming->addWidget(labelResultDot, 1, 1);
  naming->addWidget(txtResultExt, 1, 2);
  naming->addWidget(labelResultName, 2, 0, 1, 4);
  auto* initNo = new QHBoxLayout;
  initNo->addWidget(labelInitNo);
  initNo->addWidget(txtInitNo);
  initNo->addStretch();
  naming->addLayout(initNo, 3, 0, 1, 4);
  naming->setColumnStretch(3, 1);
  naming->setRowStretch(4, 1);

  auto* name = new QHBoxLayout;
  name->addWidget(txtBatchName, 1);
  for (QPushButton* button : {cmdBatchNew, cmdBatchDelete, cmdBatchRename, cmdBatchSelect}) {
    name->addWidget(button);
  }

  auto* methods = new QHBoxLayout;
  methods->addWidget(framePairing, 1);
  methods->addWidget(frameResultName, 1);

  auto* commands = new QHBoxLayout;
  commands->addWidget(cmdBatchExecute);
  commands->addWidget(cmdCancel);
  commands->addStretch();
  commands->addWidget(cmdHelp);
  commands->addWidget(cmdClose);

  auto* layout = new QVBoxLayout(window);
  layout->addLayout(name);
  layout->addWidget(frameFolders);
  layout->addWidget(frameBatchList, 1);
  layout->addLayout(methods);
  layout->addLayout(commands);
  layout->activate();
  const int rowsToAdd = std::max(0, 9 * rowHeight - pairGrid->sizeHint().height());
  window->resize(window->sizeHint() + QSize(0, rowsToAdd));
}

}  // namespace verko
