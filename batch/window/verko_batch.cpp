#include "batch/window/verko_batch.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "batch/batch_db_location.h"
#include "batch/method_display.h"
#include "batch/window/batch_main_link.h"
#include "batch/window/pair_table_model.h"
#include "batch/window/verko_select_batch.h"
#include "ui/shared/field_values.h"
#include "ui/shared/help_window.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

constexpr int kColumnTwips = 2200;
const char* const kAllFilesFilter = "すべて(*.*) (*)";

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QPushButton* NewButton(const char* name, const QString& caption, const QString& toolTip,
                       QWidget* parent) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setToolTip(toolTip);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* NewField(const char* name, const QString& toolTip, QWidget* parent) {
  auto* field = Named(new QLineEdit(parent), name);
  if (!toolTip.isEmpty()) field->setToolTip(toolTip);
  return field;
}

// Hidden template fields keep their place, so that a frame does not change its size when
// another method is chosen.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

void SetFieldText(QLineEdit* field, const std::string& text) {
  const QString value = Q(text);
  if (field->text() != value) field->setText(value);
}

void SetReadOnlyLook(QLineEdit* field, bool readOnly) {
  field->setReadOnly(readOnly);
  QPalette palette = field->parentWidget()->palette();
  if (readOnly) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  field->setPalette(palette);
}

bool IsInside(const QWidget* widget, const QWidget* container) {
  return widget && (widget == container || container->isAncestorOf(widget));
}

}  // namespace

QString BatchListDbPath(const QString& appDir) {
  std::string path;
  (void)LocateBatchListDb(appDir.toStdString(), &path);
  return Q(path);
}

VerkoBatch::VerkoBatch(BatchMainLink& link, SettingsStore& store, UiServices& services,
                       const QString& dbPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      link_(link),
      store_(store),
      services_(services),
      session_(*this, link) {
  setObjectName(QStringLiteral("VerkoBatch"));
  setWindowTitle(QStringLiteral("Verko ドルパキネッセル"));
  setWindowIcon(QIcon(ProgramIcon(64)));
  setAttribute(Qt::WA_DeleteOnClose);
  CreateControls();
  LayOutControls();
  ConnectHandlers();

  const int batchId = ReadSettingNumber(store_.Read(QStringLiteral("BatchID"), QStringLiteral("1")),
                                        kDefaultBatchID);
  if (!session_.Open(dbPath.toStdString(), batchId)) return;
  if (link_.AlwaysOnTop()) SetAlwaysOnTop(this, true);
}

VerkoBatch::~VerkoBatch() {
  Unload();
}

void VerkoBatch::CreateControls() {
  frameFolders_ = Named(new QGroupBox(QStringLiteral("処理対象のフォルダ"), this), "FrameFolders");
  labelOld_ = Named(new QLabel(QStringLiteral("旧ファイル(&A)"), frameFolders_), "LabelOldPath");
  labelNew_ = Named(new QLabel(QStringLiteral("新ファイル(&B)"), frameFolders_), "LabelNewPath");
  labelResult_ =
      Named(new QLabel(QStringLiteral("比較結果(&R)"), frameFolders_), "LabelResultPath");
  txtOldPath_ =
      NewField("TxtOldPath", QStringLiteral("比較対象の「旧ファイル」のパスを指定"), frameFolders_);
  txtNewPath_ =
      NewField("TxtNewPath", QStringLiteral("比較対象の「新ファイル」のパスを指定"), frameFolders_);
  txtResultPath_ = NewField("TxtResultPath", QStringLiteral("比較結果のﾌｧｲﾙを格納するパスを指定"),
                            frameFolders_);
  labelOld_->setBuddy(txtOldPath_);
  labelNew_->setBuddy(txtNewPath_);
  labelResult_->setBuddy(txtResultPath_);
  cmdOldSelect_ = NewButton("CmdOldSelect", QStringLiteral("選択(&J)"),
                            QStringLiteral("旧ファイルを選択（複数可）"), frameFolders_);
  cmdOldAuto_ = NewButton("CmdOldAuto", QStringLiteral("自動(&K)"),
                          QStringLiteral("対応する「旧ファイル」を自動的に選択"), frameFolders_);
  cmdOldEach_ = NewButton("CmdOldEach", QStringLiteral("個別(&L)"),
                          QStringLiteral("対応する「旧ファイル」を個別に指定"), frameFolders_);
  cmdNewSelect_ = NewButton("CmdNewSelect", QStringLiteral("選択(&T)"),
                            QStringLiteral("新ファイルを選択（複数可）"), frameFolders_);
  cmdNewAuto_ = NewButton("CmdNewAuto", QStringLiteral("自動(&Y)"),
                          QStringLiteral("対応する「新ファイル」を自動的に選択"), frameFolders_);
  cmdNewEach_ = NewButton("CmdNewEach", QStringLiteral("個別(&U)"),
                          QStringLiteral("対応する「新ファイル」を個別に指定"), frameFolders_);
  cmdResultPath_ = NewButton("CmdResultPath", QStringLiteral("フォルダ選択(&T)"),
                             QStringLiteral("結果ファイルを格納するフォルダを選択"), frameFolders_);

  frameBatchList_ = Named(new QGroupBox(QStringLiteral("バッチ処理するファイルのリスト"), this),
                          "FrameBatchList");
  dbGrid1_ = Named(new QTableView(frameBatchList_), "DBGrid1");
  model_ = new PairTableModel(session_, this);
  dbGrid1_->setModel(model_);
  dbGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
  dbGrid1_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
  dbGrid1_->verticalHeader()->setDefaultSectionSize(dbGrid1_->fontMetrics().height() + 6);
  dbGrid1_->verticalHeader()->setFixedWidth(dbGrid1_->fontMetrics().height());
  dbGrid1_->setWordWrap(false);
  labelInfo_ =
      Named(new QLabel(QStringLiteral("0 pairs  0 unpaired"), frameBatchList_), "LabelInfo");
  labelInfo_->setToolTip(QStringLiteral("カウント情報 - 更新するにはクリック"));
  labelInfo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  labelInfo_->setMinimumWidth(
      labelInfo_->fontMetrics().horizontalAdvance(QStringLiteral("00000 pairs  00000 unpaired")) +
      12);
  command1_ =
      NewButton("Command1", QStringLiteral("ｶｳﾝﾄ更新"),
                QStringLiteral("ｶｳﾝﾄ情報やﾎﾞﾀﾝの有効/無効が不適切な時にｸﾘｯｸ"), frameBatchList_);
  optCompactDB_ =
      Named(new QCheckBox(QStringLiteral("終了時にDBを圧縮"), frameBatchList_), "OptCompactDB");
  optCompactDB_->setToolTip(QStringLiteral("ドルパキネッセルの終了時にバッチリストDBを圧縮します"));
  cmdDeleteRow_ =
      NewButton("CmdDeleteRow", QStringLiteral("行削除"),
                QStringLiteral("現在選択されているファイルペア行を削除"), frameBatchList_);
  cmdClearContent_ = NewButton("CmdClearContent", QStringLiteral("クリア"),
                               QStringLiteral("現在のバッチリストの内容をクリア"), frameBatchList_);

  txtBatchName_ = NewField("TxtBatchName", QStringLiteral("現在のバッチリストの名前"), this);
  SetReadOnlyLook(txtBatchName_, true);
  txtBatchName_->setFocusPolicy(Qt::ClickFocus);
  cmdBatchNew_ = NewButton("CmdBatchNew", QStringLiteral("新規(&N)"),
                           QStringLiteral("新しいバッチリストを作成"), this);
  cmdBatchDelete_ = NewButton("CmdBatchDelete", QStringLiteral("削除(&D)"),
                              QStringLiteral("現在のバッチリストを削除"), this);
  cmdBatchRename_ = NewButton("CmdBatchRename", QStringLiteral("改名(&M)"),
                              QStringLiteral("現在のバッチリストの名前を変更"), this);
  cmdBatchSelect_ = NewButton("CmdBatchSelect", QStringLiteral("選択(&C)"),
                              QStringLiteral("バッチリストを選択"), this);

  framePairing_ =
      Named(new QGroupBox(QStringLiteral("新旧ファイルの対応づけ"), this), "FramePairing");
  comboPairing_ = Named(new QComboBox(framePairing_), "ComboPairing");
  comboPairing_->setToolTip(QStringLiteral("新旧ファイルを対応づける方法"));
  comboPairing_->addItems({QStringLiteral("（なし）"), QStringLiteral("ファイル名+拡張子が一致"),
                           QStringLiteral("ファイル名のみ一致"), QStringLiteral("パターン一致")});
  txtPairingFname_ = NewField("TxtPairingFname", QString(), framePairing_);
  txtPairingExt_ = NewField("TxtPairingExt", QString(), framePairing_);
  txtPairingFname2_ = NewField("TxtPairingFname2", QString(), framePairing_);
  txtPairingExt2_ = NewField("TxtPairingExt2", QString(), framePairing_);
  labelPoint1_ = Named(new QLabel(QStringLiteral("."), framePairing_), "LabelPoint1");
  labelPoint3_ = Named(new QLabel(QStringLiteral("."), framePairing_), "LabelPoint3");
  labelPairPattern_ =
      Named(new QLabel(QStringLiteral("旧  新"), framePairing_), "LabelPairPattern");
  labelPairing1_ =
      Named(new QLabel(QStringLiteral("*, ? … ワイルドカード"), framePairing_), "LabelPairing1");
  labelPairing2_ =
      Named(new QLabel(QStringLiteral("* … 一致部分"), framePairing_), "LabelPairing2");

  frameResultName_ =
      Named(new QGroupBox(QStringLiteral("結果ファイル名の設定"), this), "FrameResultName");
  comboResultName_ = Named(new QComboBox(frameResultName_), "ComboResultName");
  comboResultName_->setToolTip(QStringLiteral("結果ファイル名を生成する方法"));
  comboResultName_->addItems(
      {QStringLiteral("（手動設定）"), QStringLiteral("旧ファイル名+任意拡張子"),
       QStringLiteral("新ファイル名+任意拡張子"), QStringLiteral("旧ファイル名と同じ"),
       QStringLiteral("新ファイル名と同じ"), QStringLiteral("名前を指定(連番付き)")});
  txtResultFname_ =
      NewField("TxtResultFname", QStringLiteral("結果ファイルのファイル名部分"), frameResultName_);
  txtResultExt_ =
      NewField("TxtResultExt", QStringLiteral("結果ファイルの拡張子部分"), frameResultName_);
  txtInitNo_ = NewField("TxtInitNo", QStringLiteral("連番の初期値"), frameResultName_);
  txtInitNo_->setText(QStringLiteral("1"));
  labelPoint2_ = Named(new QLabel(QStringLiteral("."), frameResultName_), "LabelPoint2");
  labelResultName_ = Named(new QLabel(QStringLiteral("# … 連番の位置と桁数"), frameResultName_),
                           "LabelResultName");
  labelInitNo_ = Named(new QLabel(QStringLiteral("初期値(&I)"), frameResultName_), "LabelInitNo");
  labelInitNo_->setBuddy(txtInitNo_);
  cmdGenResultName_ = NewButton("CmdGenResultName", QStringLiteral("適用(&P)"),
                                QStringLiteral("結果ファイル名を生成"), frameResultName_);

  cmdBatchExecute_ =
      NewButton("CmdBatchExecute", QStringLiteral("バッチ実行開始(&G)"),
                QStringLiteral("現在のバッチリストに基づいて連続比較処理を開始"), this);
  cmdCancel_ = NewButton("CmdCancel", QStringLiteral("ｷｬﾝｾﾙ(Esc)"),
                         QStringLiteral("バッチリストの実行を中断"), this);
  cmdCancel_->setEnabled(false);
  cmdHelp_ =
      NewButton("CmdHelp", QStringLiteral("ヘルプ(&H)"), QStringLiteral("ヘルプを表示"), this);
  cmdClose_ = NewButton("CmdClose", QStringLiteral("閉じる(&X)"),
                        QStringLiteral("ドルパキネッセルを閉じる"), this);

  for (QWidget* widget : std::initializer_list<QWidget*>{
           txtPairingFname_, txtPairingExt_, txtPairingFname2_, txtPairingExt2_, labelPoint1_,
           labelPoint3_, labelPairPattern_, labelPairing1_, labelPairing2_, txtResultFname_,
           txtResultExt_, txtInitNo_, labelPoint2_, labelResultName_, labelInitNo_, frameFolders_,
           frameBatchList_, framePairing_, frameResultName_}) {
    KeepPlaceWhenHidden(widget);
  }
  ApplyMethodDisplays(BatchListSettings{});
}

void VerkoBatch::LayOutControls() {
  // The folder frame: a row per side with its three commands, the result folder below.
  auto* folders = new QGridLayout(frameFolders_);
  folders->setHorizontalSpacing(6);
  folders->setVerticalSpacing(4);
  folders->addWidget(labelOld_, 0, 0);
  folders->addWidget(txtOldPath_, 0, 1);
  folders->addWidget(cmdOldSelect_, 0, 2);
  folders->addWidget(cmdOldAuto_, 0, 3);
  folders->addWidget(cmdOldEach_, 0, 4);
  folders->addWidget(labelNew_, 1, 0);
  folders->addWidget(txtNewPath_, 1, 1);
  folders->addWidget(cmdNewSelect_, 1, 2);
  folders->addWidget(cmdNewAuto_, 1, 3);
  folders->addWidget(cmdNewEach_, 1, 4);
  folders->addWidget(labelResult_, 2, 0);
  folders->addWidget(txtResultPath_, 2, 1);
  folders->addWidget(cmdResultPath_, 2, 2, 1, 3);
  folders->setColumnStretch(1, 1);

  // The list frame: the grid, then the count line and the row commands.
  auto* listTools = new QHBoxLayout;
  listTools->addWidget(labelInfo_);
  listTools->addWidget(command1_);
  listTools->addSpacing(12);
  listTools->addWidget(optCompactDB_);
  listTools->addStretch();
  listTools->addWidget(cmdDeleteRow_);
  listTools->addWidget(cmdClearContent_);
  auto* list = new QVBoxLayout(frameBatchList_);
  list->addWidget(dbGrid1_, 1);
  list->addLayout(listTools);
  const int gridWidth = 3 * TwipsToPixels(kColumnTwips, logicalDpiX()) +
                        dbGrid1_->verticalHeader()->width() + 2 * dbGrid1_->frameWidth() +
                        dbGrid1_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
  dbGrid1_->setMinimumSize(gridWidth, 9 * dbGrid1_->verticalHeader()->defaultSectionSize());

  // The pairing frame: the method, then the old and new patterns with their note.
  const int nameWidth = fontMetrics().horizontalAdvance(QStringLiteral("(同じﾌｧｲﾙ名)")) + 16;
  const int extWidth = fontMetrics().horizontalAdvance(QStringLiteral("txtxt")) + 12;
  for (QLineEdit* field : {txtPairingFname_, txtPairingFname2_, txtResultFname_}) {
    field->setFixedWidth(nameWidth);
  }
  for (QLineEdit* field : {txtPairingExt_, txtPairingExt2_, txtResultExt_, txtInitNo_}) {
    field->setFixedWidth(extWidth);
  }
  labelPairPattern_->setWordWrap(true);
  labelPairPattern_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("旧")) + 4);
  auto* pairing = new QGridLayout(framePairing_);
  pairing->setHorizontalSpacing(3);
  pairing->setVerticalSpacing(4);
  pairing->addWidget(comboPairing_, 0, 0, 1, 5);
  pairing->addWidget(labelPairPattern_, 1, 0, 2, 1, Qt::AlignVCenter);
  pairing->addWidget(txtPairingFname_, 1, 1);
  pairing->addWidget(labelPoint1_, 1, 2);
  pairing->addWidget(txtPairingExt_, 1, 3);
  pairing->addWidget(txtPairingFname2_, 2, 1);
  pairing->addWidget(labelPoint3_, 2, 2);
  pairing->addWidget(txtPairingExt2_, 2, 3);
  // One note at a time, in the same place.
  pairing->addWidget(labelPairing1_, 3, 1, 1, 4);
  pairing->addWidget(labelPairing2_, 3, 1, 1, 4);
  pairing->setColumnStretch(4, 1);
  pairing->setRowStretch(4, 1);

  // The naming frame: the method and its command, the template and the initial value.
  auto* naming = new QGridLayout(frameResultName_);
  naming->setHorizontalSpacing(3);
  naming->setVerticalSpacing(4);
  naming->addWidget(comboResultName_, 0, 0, 1, 4);
  naming->addWidget(cmdGenResultName_, 0, 4);
  naming->addWidget(txtResultFname_, 1, 0);
  naming->addWidget(labelPoint2_, 1, 1);
  naming->addWidget(txtResultExt_, 1, 2);
  naming->addWidget(labelResultName_, 2, 0, 1, 4);
  auto* initNo = new QHBoxLayout;
  initNo->addWidget(labelInitNo_);
  initNo->addWidget(txtInitNo_);
  initNo->addStretch();
  naming->addLayout(initNo, 3, 0, 1, 4);
  naming->setColumnStretch(3, 1);
  naming->setRowStretch(4, 1);

  auto* name = new QHBoxLayout;
  name->addWidget(txtBatchName_, 1);
  for (QPushButton* button : {cmdBatchNew_, cmdBatchDelete_, cmdBatchRename_, cmdBatchSelect_}) {
    name->addWidget(button);
  }

  auto* methods = new QHBoxLayout;
  methods->addWidget(framePairing_, 1);
  methods->addWidget(frameResultName_, 1);

  auto* commands = new QHBoxLayout;
  commands->addWidget(cmdBatchExecute_);
  commands->addWidget(cmdCancel_);
  commands->addStretch();
  commands->addWidget(cmdHelp_);
  commands->addWidget(cmdClose_);

  auto* window = new QVBoxLayout(this);
  window->addLayout(name);
  window->addWidget(frameFolders_);
  window->addWidget(frameBatchList_, 1);
  window->addLayout(methods);
  window->addLayout(commands);
}

void VerkoBatch::ConnectHandlers() {
  connect(cmdOldSelect_, &QPushButton::clicked, this,
          [this] { session_.SelectFiles(PairSide::kOld); });
  connect(cmdNewSelect_, &QPushButton::clicked, this,
          [this] { session_.SelectFiles(PairSide::kNew); });
  connect(cmdOldAuto_, &QPushButton::clicked, this, [this] { session_.AutoPair(PairSide::kOld); });
  connect(cmdNewAuto_, &QPushButton::clicked, this, [this] { session_.AutoPair(PairSide::kNew); });
  connect(cmdOldEach_, &QPushButton::clicked, this,
          [this] { session_.PairIndividually(PairSide::kOld); });
  connect(cmdNewEach_, &QPushButton::clicked, this,
          [this] { session_.PairIndividually(PairSide::kNew); });
  connect(cmdResultPath_, &QPushButton::clicked, this, [this] { session_.ChooseResultFolder(); });

  connect(command1_, &QPushButton::clicked, this, [this] { session_.UpdateCountInfo(); });
  labelInfo_->installEventFilter(this);
  connect(optCompactDB_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_) session_.SetCompactOnClose(checked);
  });
  connect(cmdDeleteRow_, &QPushButton::clicked, this, [this] { session_.DeleteRow(); });
  connect(cmdClearContent_, &QPushButton::clicked, this, [this] { session_.ClearContent(); });
  connect(dbGrid1_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!showing_) session_.SetCurrentRow(current.isValid() ? current.row() : kNoRow);
          });
  // Leaving the grid ends its cell editing (the delegate stores the typed name) and counts.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (IsInside(old, dbGrid1_) && !IsInside(now, dbGrid1_)) session_.UpdateCountInfo();
  });

  connect(cmdBatchNew_, &QPushButton::clicked, this, [this] { session_.NewList(); });
  connect(cmdBatchRename_, &QPushButton::clicked, this, [this] { session_.RenameList(); });
  connect(cmdBatchDelete_, &QPushButton::clicked, this, [this] { session_.DeleteList(); });
  connect(cmdBatchSelect_, &QPushButton::clicked, this, &VerkoBatch::SelectBatch);

  connect(comboPairing_, &QComboBox::activated, this,
          [this](int index) { session_.ChoosePairingMethod(index); });
  connect(comboResultName_, &QComboBox::activated, this,
          [this](int index) { session_.ChooseResultMethod(index); });
  connect(cmdGenResultName_, &QPushButton::clicked, this,
          [this] { session_.GenerateResultNames(); });
  ConnectField(txtOldPath_, &BatchListSettings::oldPath);
  ConnectField(txtNewPath_, &BatchListSettings::newPath);
  ConnectField(txtResultPath_, &BatchListSettings::resultPath);
  ConnectField(txtPairingFname_, &BatchListSettings::pairingFname);
  ConnectField(txtPairingExt_, &BatchListSettings::pairingExt);
  ConnectField(txtPairingFname2_, &BatchListSettings::pairingFname2);
  ConnectField(txtPairingExt2_, &BatchListSettings::pairingExt2);
  ConnectField(txtResultFname_, &BatchListSettings::resultFname);
  ConnectField(txtResultExt_, &BatchListSettings::resultExt);
  ConnectField(txtInitNo_, &BatchListSettings::initNo);

  connect(cmdBatchExecute_, &QPushButton::clicked, this, &VerkoBatch::ClickExecute);
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { session_.RequestCancel(); });
  connect(cmdHelp_, &QPushButton::clicked, this, [this] { link_.ShowHelp(kHelpBatchWindow); });
  connect(cmdClose_, &QPushButton::clicked, this, &VerkoBatch::CloseByProgram);
  // Esc is the cancel button, F1 the help button (each only while its button is enabled).
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cmdCancel_,
          &QPushButton::click);
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, cmdHelp_,
          &QPushButton::click);
}

void VerkoBatch::ConnectField(QLineEdit* field, std::string BatchListSettings::*member) {
  connect(field, &QLineEdit::textChanged, this, [this, member](const QString& text) {
    if (!showing_) session_.Settings().*member = text.toStdString();
  });
}

// --- Commands ---------------------------------------------------------------------------

void VerkoBatch::ClickExecute() {
  session_.Execute();
  if (unloadAfterRun_) CloseByProgram();
}

void VerkoBatch::SelectBatch() {
  VerkoSelectBatch dialog(session_, this);
  dialog.exec();
}

// --- What the session shows -------------------------------------------------------------

void VerkoBatch::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
  services_.ShowMessage(this, Q(text), Q(title), icon, MessageButtons::kOk);
}

bool VerkoBatch::AskYesNo(const std::string& text, const std::string& title) {
  return services_.Ask(this, Q(text), Q(title));
}

bool VerkoBatch::AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) {
  return services_.ShowMessage(this, Q(text), Q(title), icon, MessageButtons::kOkCancel) ==
         MessageAnswer::kOk;
}

std::optional<std::string> VerkoBatch::AskText(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
  QString text = Q(defaultText);
  if (!services_.AskText(this, Q(prompt), Q(title), &text)) return std::nullopt;
  return text.toStdString();
}

std::vector<std::string> VerkoBatch::ChooseFiles(const std::string& title,
                                                 const std::string& folder) {
  FileDialogRequest request;
  request.mode = FileDialogMode::kOpenExisting;
  request.title = Q(title);
  request.filter = QLatin1String(kAllFilesFilter);
  request.initialFolder = Q(folder);
  std::vector<std::string> paths;
  for (const QString& path : services_.ChooseFiles(this, request)) {
    paths.push_back(path.toStdString());
  }
  return paths;
}

std::optional<std::string> VerkoBatch::ChooseFile(const std::string& title,
                                                  const std::string& folder) {
  FileDialogRequest request;
  request.mode = FileDialogMode::kOpenExisting;
  request.title = Q(title);
  request.filter = QLatin1String(kAllFilesFilter);
  request.initialFolder = Q(folder);
  const QString path = services_.ChooseFile(this, request);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> VerkoBatch::ChooseFolder(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& placeholderName) {
  // A real folder chooser replaces the file dialog with its placeholder name; the folder it
  // returns ends in "/", so its folder part is the folder itself.
  (void)placeholderName;
  const QString chosen = services_.ChooseFolder(this, Q(title), Q(folder));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.endsWith(QLatin1Char('/')) ? chosen.toStdString() : chosen.toStdString() + "/";
}

void VerkoBatch::ShowSettings(const BatchListSettings& settings, bool defaultList) {
  showing_ = true;
  SetFieldText(txtBatchName_, settings.batchName);
  SetFieldText(txtOldPath_, settings.oldPath);
  SetFieldText(txtNewPath_, settings.newPath);
  SetFieldText(txtResultPath_, settings.resultPath);
  comboPairing_->setCurrentIndex(settings.pairingMethod);
  SetFieldText(txtPairingFname_, settings.pairingFname);
  SetFieldText(txtPairingExt_, settings.pairingExt);
  SetFieldText(txtPairingFname2_, settings.pairingFname2);
  SetFieldText(txtPairingExt2_, settings.pairingExt2);
  comboResultName_->setCurrentIndex(settings.resultMethod);
  SetFieldText(txtResultFname_, settings.resultFname);
  SetFieldText(txtResultExt_, settings.resultExt);
  SetFieldText(txtInitNo_, settings.initNo);
  showing_ = false;
  ApplyMethodDisplays(settings);
  defaultList_ = defaultList;
  EnableListCommands(!session_.BatchRunning());
}

void VerkoBatch::EnableListCommands(bool enabled) {
  cmdBatchNew_->setEnabled(enabled);
  cmdBatchSelect_->setEnabled(enabled);
  cmdBatchRename_->setEnabled(enabled && !defaultList_);
  cmdBatchDelete_->setEnabled(enabled && !defaultList_);
}

void VerkoBatch::ApplyMethodDisplays(const BatchListSettings& settings) {
  const PairingDisplay pairing = PairingMethodDisplay(settings.pairingMethod);
  txtPairingFname_->setVisible(pairing.fnameShown);
  SetReadOnlyLook(txtPairingFname_, pairing.fnameReadOnly);
  txtPairingExt_->setVisible(pairing.extShown);
  labelPoint1_->setVisible(pairing.point1Shown);
  for (QWidget* widget : std::initializer_list<QWidget*>{txtPairingFname2_, txtPairingExt2_,
                                                         labelPoint3_, labelPairPattern_}) {
    widget->setVisible(pairing.newSideShown);
  }
  labelPairing1_->setVisible(pairing.wildcardNoteShown);
  labelPairing2_->setVisible(pairing.matchNoteShown);

  const ResultNameDisplay naming = ResultMethodDisplay(settings.resultMethod);
  txtResultFname_->setVisible(naming.fnameShown);
  SetReadOnlyLook(txtResultFname_, naming.fnameReadOnly);
  txtResultExt_->setVisible(naming.extShown);
  labelPoint2_->setVisible(naming.point2Shown);
  labelResultName_->setVisible(naming.templateNoteShown);
  labelInitNo_->setVisible(naming.initNoShown);
  txtInitNo_->setVisible(naming.initNoShown);
}

void VerkoBatch::SetColumns() {
  const int width = TwipsToPixels(kColumnTwips, logicalDpiX());
  for (int column = 0; column < PairTableModel::kColumnCount; ++column) {
    dbGrid1_->setColumnWidth(column, width);
  }
}

void VerkoBatch::SelectRow(int row) {
  showing_ = true;
  if (row >= 0 && row < model_->rowCount()) {
    const QModelIndex index = model_->index(row, PairTableModel::kOldFile);
    dbGrid1_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dbGrid1_->scrollTo(index);
  } else {
    dbGrid1_->selectionModel()->clear();
  }
  showing_ = false;
}

void VerkoBatch::ShowRows(const std::vector<PairRow>& rows, int currentRow) {
  (void)rows;  // the model reads them from the session
  showing_ = true;
  model_->ResetRows();
  showing_ = false;
  SetColumns();
  SelectRow(currentRow);
}

void VerkoBatch::ShowRowChanged(int row) {
  model_->RowChanged(row);
}

void VerkoBatch::ShowCurrentRow(int row) {
  SelectRow(row);
}

void VerkoBatch::ShowCounts(const std::string& text, const CountButtons& buttons) {
  labelInfo_->setText(Q(text));
  cmdOldEach_->setEnabled(buttons.eachEnabled);
  cmdNewEach_->setEnabled(buttons.eachEnabled);
  cmdOldAuto_->setEnabled(buttons.oldAutoEnabled);
  cmdNewAuto_->setEnabled(buttons.newAutoEnabled);
}

void VerkoBatch::ShowCompactOnClose(bool checked) {
  showing_ = true;
  optCompactDB_->setChecked(checked);
  showing_ = false;
}

void VerkoBatch::SetRunDisplay(bool running) {
  for (QWidget* frame : std::initializer_list<QWidget*>{frameFolders_, frameBatchList_,
                                                        framePairing_, frameResultName_}) {
    frame->setVisible(!running);
  }
  // The run walks the shown list's rows: no other list may be shown or made meanwhile.
  EnableListCommands(!running);
  cmdBatchExecute_->setEnabled(!running);
  cmdHelp_->setEnabled(!running);
  cmdClose_->setEnabled(!running);
  cmdCancel_->setEnabled(running);
  link_.SetBatchRunning(running);
}

void VerkoBatch::ShowRunRow(int row) {
  if (row >= 0) SelectRow(row);
}

void VerkoBatch::YieldAfterPair() {
  QApplication::processEvents();
}

bool VerkoBatch::AskContinueAfterError(const std::string& text, const std::string& title) {
  return !unloadAfterRun_ && BatchHost::AskContinueAfterError(text, title);
}

bool VerkoBatch::AskContinueAfterCancel(const std::string& text, const std::string& title) {
  // The main window closed while this pair ran: its cancel was confirmed there, and the
  // window that would ask is already gone.
  return !unloadAfterRun_ && BatchHost::AskContinueAfterCancel(text, title);
}

// --- Closing ----------------------------------------------------------------------------

void VerkoBatch::CloseByProgram() {
  programClose_ = true;
  close();
  programClose_ = false;
}

void VerkoBatch::closeEvent(QCloseEvent* event) {
  // The close box during a run asks whether to stop the run and keeps the window open.
  if (!session_.QueryClose(!programClose_)) {
    event->ignore();
    return;
  }
  if (session_.BatchRunning()) {
    // The program closes the window while a run is on the stack: the run stops after its
    // current pair, and the window unloads once the run has returned.
    session_.RunFlags().BatchCancelRequested = true;
    unloadAfterRun_ = true;
    hide();
    event->ignore();
    return;
  }
  Unload();
  event->accept();
}

void VerkoBatch::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (session_.IsOpen()) {
    store_.Write(QStringLiteral("BatchID"), QString::number(session_.CurrentBatchID()));
    store_.Sync();
  }
  session_.Close();
}

bool VerkoBatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == labelInfo_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    session_.UpdateCountInfo();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace verko
