#include "ui/verko_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "batch/window/verko_batch.h"
#include "common/path_parts.h"
#include "common/text_encoding.h"
#include "ui/platform_defaults.h"
#include "ui/program_version.h"
#include "ui/shared/field_values.h"
#include "ui/shared/file_drop.h"
#include "ui/shared/help_window.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/window_helpers.h"
#include "ui/verko_set_editor.h"
#include "ui/verko_split_chars.h"
#include "ui/verko_work_drive.h"
#include "ui/viewer/report_viewer.h"

namespace verko {
namespace {

constexpr int kHistorySize = 5;
constexpr int kTimer1Interval = 700;
const char* const kHistoryFields[] = {"ComboOld", "ComboNew", "ComboResult"};

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent,
                       const QString& toolTip = QString()) {
  auto* button = Named(new QPushButton(caption, parent), name);
  if (!toolTip.isEmpty()) button->setToolTip(toolTip);
  button->setAutoDefault(false);
  return button;
}

QComboBox* NewFileField(const char* name, QWidget* parent) {
  auto* field = Named(new QComboBox(parent), name);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->setMaxCount(kHistorySize);
  field->setMinimumWidth(380);
  field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  AcceptFileDrops(field);
  return field;
}

QFrame* NewLine(const char* name, QWidget* parent) {
  auto* line = Named(new QFrame(parent), name);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QLineEdit* NewNumberField(const char* name, const QString& text, QWidget* parent) {
  auto* field = Named(new QLineEdit(text, parent), name);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
  field->setAlignment(Qt::AlignRight);
  return field;
}

// Stored check states are numbers; anything but 0 counts as checked.
bool ReadCheckState(const SettingsStore& store, const char* name, const char* defaultValue) {
  const QString fallbackText = QLatin1String(defaultValue);
  return ReadSettingNumber(store.Read(QLatin1String(name), fallbackText), fallbackText.toInt()) !=
         0;
}

void WriteCheckState(SettingsStore& store, const char* name, const QCheckBox* box) {
  store.Write(QLatin1String(name), FormatSettingNumber(box->isChecked() ? 1 : 0));
}

// The edit text of a combo box survives changes of its list.
class EditTextKeeper {
 public:
  explicit EditTextKeeper(QComboBox* field) : field_(field), text_(field->currentText()) {}
  ~EditTextKeeper() { field_->setEditText(text_); }

 private:
  QComboBox* field_;
  QString text_;
};

}  // namespace

VerkoMain::VerkoMain(SettingsStore& store, UiServices& services, const QString& appDir,
                     QWidget* parent)
    : QWidget(parent),
      store_(store),
      services_(services),
      appDir_(appDir.endsWith('/') ? appDir : appDir + '/') {
  setObjectName(QStringLiteral("VerkoMain"));
  // The window has a fixed size: a title bar with minimize and close, no maximize button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Verko（テキストファイル比較）"));
  setWindowIcon(QIcon(ProgramIcon(64)));
  CreateControls();
  LayOutControls();
  SetTabOrder();
  ConnectHandlers();
  progressPercent_ = 0;
  SizeRateBar();
  versionDisp_->setText(VersionText());
  LoadSettings();
  PlaceFrameAt(this, placedAt_);
}

VerkoMain::~VerkoMain() = default;

void VerkoMain::CreateControls() {
  cmdBatch_ = NewButton("CmdBatch", QStringLiteral("ﾊﾞｯﾁ処理(&Q)"), this);

  frameFiles_ = Named(new QGroupBox(this), "FrameFiles");
  label1_ = Named(new QLabel(QStringLiteral("旧ファイル(&A)"), frameFiles_), "Label1");
  comboOld_ = NewFileField("ComboOld", frameFiles_);
  cmdRefOld_ = NewButton("CmdRefOld", QStringLiteral("参照(&J)"), frameFiles_);
  label2_ = Named(new QLabel(QStringLiteral("新ファイル(&B)"), frameFiles_), "Label2");
  comboNew_ = NewFileField("ComboNew", frameFiles_);
  cmdRefNew_ = NewButton("CmdRefNew", QStringLiteral("参照(&K)"), frameFiles_);
  label3_ = Named(new QLabel(QStringLiteral("比較結果(&R)"), frameFiles_), "Label3");
  comboResult_ = NewFileField("ComboResult", frameFiles_);
  cmdRefResult_ = NewButton("CmdRefResult", QStringLiteral("参照(&L)"), frameFiles_);
  label1_->setBuddy(comboOld_);
  label2_->setBuddy(comboNew_);
  label3_->setBuddy(comboResult_);
  line1_ = NewLine("Line1", frameFiles_);
  line2_ = NewLine("Line2", frameFiles_);

  cmdHelp_ = NewButton("CmdHelp", QStringLiteral("ヘルプ(&H)"), this,
                       QStringLiteral("ヘルプを表示します"));
  cmdStart_ = NewButton("CmdStart", QStringLiteral("比較開始(&G)"), this,
                        QStringLiteral("比較処理を開始します"));
  cmdCancel_ = NewButton("CmdCancel", QStringLiteral("ｷｬﾝｾﾙ(Esc)"), this,
                         QStringLiteral("比較処理を中断します"));
  cmdCancel_->setEnabled(false);
  cmdView_ = NewButton("CmdView", QStringLiteral("結果の表示(&V)"), this,
                       QStringLiteral("直前の比較結果をビューアで表示します"));
  cmdView_->setEnabled(false);
  cmdClose_ = NewButton("CmdClose", QStringLiteral("閉じる(&X)"), this,
                        QStringLiteral("ツールを終了します"));

  frameOptions_ = Named(new QGroupBox(this), "FrameOptions");
  auto option = [this](const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, frameOptions_), name);
  };
  optTrimTop_ = option("OptTrimTop", QStringLiteral("行頭のブランク/タブを削除してから比較(&T)"));
  optTrimTail_ = option("OptTrimTail", QStringLiteral("行末のブランク/タブを削除してから比較(&M)"));
  optTrimTail_->setChecked(true);
  optCompress_ =
      option("OptCompress", QStringLiteral("すべてのブランク/タブを圧縮してから比較(&C)"));
  optSplit_ = option("OptSplit", QStringLiteral("長い行は分割してから比較(&S)："));
  textSplitWidth_ = NewNumberField("TextSplitWidth", QStringLiteral("80"), frameOptions_);
  label5_ = Named(new QLabel(QStringLiteral("バイト以内"), frameOptions_), "Label5");
  cmdSplitChars_ = NewButton("CmdSplitChars", QStringLiteral("分割文字(&Y)"), frameOptions_);
  optDiffOnly_ = option("OptDiffOnly",
                        QStringLiteral("相違部分のみ出力(&D)。前後に出力する一致行の数[1-9]："));
  textMatchLen_ = NewNumberField("TextMatchLen", QStringLiteral("3"), frameOptions_);
  optDispWithEditor_ =
      option("OptDispWithEditor", QStringLiteral("結果をすぐにエディタで表示(&E)"));
  cmdSetEditor_ = NewButton("CmdSetEditor", QStringLiteral("エディタの指定(&O)"), frameOptions_);
  cmdWorkPath_ = NewButton("CmdworkPath", QStringLiteral("作業ドライブ(&W)"), frameOptions_);
  optAlwaysTop_ = option("OptAlwaysTop", QStringLiteral("いつも最前面に表示(&F)"));
  // The encoding of the old and new files and of the report, for interactive and batch runs.
  labelEncoding_ =
      Named(new QLabel(QStringLiteral("文字コード(&U)："), frameOptions_), "LabelEncoding");
  comboEncoding_ = Named(new QComboBox(frameOptions_), "ComboEncoding");
  for (EncodingChoice choice : {EncodingChoice::kCp932, EncodingChoice::kUtf8,
                                EncodingChoice::kEucJp, EncodingChoice::kAuto}) {
    comboEncoding_->addItem(QString::fromUtf8(EncodingChoiceCaption(choice)),
                            QString::fromLatin1(EncodingChoiceName(choice)));
  }
  comboEncoding_->setToolTip(
      QStringLiteral("旧ファイル・新ファイル・結果ファイルの文字コードです。自動判別では、"
                     "旧ファイルと新ファイルの文字コードが異なるとき結果は UTF-8 になります"));
  labelEncoding_->setBuddy(comboEncoding_);

  textProcDesc_ = Named(new QLineEdit(this), "TextProcDesc");
  textProcDesc_->setReadOnly(true);
  textProcDesc_->setFocusPolicy(Qt::NoFocus);
  textProcDesc_->setToolTip(QStringLiteral("実行中の処理の内容です"));
  textProcDesc_->setAlignment(Qt::AlignCenter);
  textProcDesc_->setFixedWidth(
      textProcDesc_->fontMetrics().horizontalAdvance(QStringLiteral("結果出力中")) + 32);

  rateFrame_ = Named(new QFrame(this), "RateFrame");
  rateFrame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  rateFrame_->setLineWidth(1);
  rateFrame_->setAutoFillBackground(true);
  rateFrame_->setBackgroundRole(QPalette::Base);
  rateFrame_->setFixedHeight(textProcDesc_->sizeHint().height());
  rateFrame_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // The inner shadow lines along the top and the left of the frame.
  rateFrame2_ = Named(new QFrame(rateFrame_), "RateFrame2");
  rateFrame3_ = Named(new QFrame(rateFrame_), "RateFrame3");
  for (QFrame* line : {rateFrame2_, rateFrame3_}) {
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
  }
  rateBar_ = Named(new QFrame(rateFrame_), "RateBar");
  rateBar_->setStyleSheet(QStringLiteral("QFrame#RateBar { background-color: #0000a0; }"));
  rateFrame_->installEventFilter(this);

  timer1_ = Named(new QTimer(this), "Timer1");
  timer1_->setInterval(kTimer1Interval);

  image1_ = Named(new QLabel(this), "Image1");
  image1_->setPixmap(ProgramIcon(40));
  label4_ = Named(new QLabel(QStringLiteral("Verko"), this), "Label4");
  QFont century(QStringLiteral("Century"));
  century.setFamilies({QStringLiteral("Century"), QStringLiteral("Century Schoolbook"),
                       QStringLiteral("C059"), QStringLiteral("Noto Serif"),
                       QStringLiteral("DejaVu Serif")});
  century.setStyleHint(QFont::Serif);
  century.setPointSizeF(20);
  century.setItalic(true);
  century.setBold(true);
  label4_->setFont(century);
  versionDisp_ = Named(new QLabel(this), "VersionDisp");

  for (QWidget* widget : std::initializer_list<QWidget*>{rateFrame_, rateFrame2_, rateFrame3_,
                                                         rateBar_, textProcDesc_}) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
  }
}

void VerkoMain::LayOutControls() {
  auto* files = new QGridLayout(frameFiles_);
  files->setHorizontalSpacing(8);
  files->setVerticalSpacing(4);
  files->addWidget(label1_, 0, 0);
  files->addWidget(comboOld_, 0, 1);
  files->addWidget(cmdRefOld_, 0, 2);
  files->addWidget(line1_, 1, 0, 1, 3);
  files->addWidget(label2_, 2, 0);
  files->addWidget(comboNew_, 2, 1);
  files->addWidget(cmdRefNew_, 2, 2);
  files->addWidget(line2_, 3, 0, 1, 3);
  files->addWidget(label3_, 4, 0);
  files->addWidget(comboResult_, 4, 1);
  files->addWidget(cmdRefResult_, 4, 2);

  // Option rows: check box, its field and unit, and the row's button at the right edge.
  const int optionButtonWidth =
      std::max({cmdSplitChars_->sizeHint().width(), cmdSetEditor_->sizeHint().width(),
                cmdWorkPath_->sizeHint().width()});
  auto* options = new QVBoxLayout(frameOptions_);
  options->setSpacing(3);
  auto row = [&](std::initializer_list<QWidget*> left, QPushButton* button) {
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    for (QWidget* widget : left) line->addWidget(widget);
    line->addStretch();
    if (button) {
      button->setFixedWidth(optionButtonWidth);
      line->addWidget(button);
    }
    options->addLayout(line);
  };
  row({optTrimTop_}, nullptr);
  row({optTrimTail_}, nullptr);
  row({optCompress_}, nullptr);
  row({optSplit_, textSplitWidth_, label5_}, cmdSplitChars_);
  row({optDiffOnly_, textMatchLen_}, nullptr);
  row({labelEncoding_, comboEncoding_}, nullptr);
  row({optDispWithEditor_}, cmdSetEditor_);
  row({optAlwaysTop_}, cmdWorkPath_);

  auto* progress = new QHBoxLayout;
  progress->addWidget(rateFrame_, 1);
  progress->addWidget(textProcDesc_);

  auto* left = new QVBoxLayout;
  left->addWidget(frameFiles_);
  left->addWidget(frameOptions_);
  left->addLayout(progress);

  auto* logo = new QHBoxLayout;
  logo->addWidget(image1_);
  logo->addWidget(label4_);
  logo->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(logo);
  right->addWidget(versionDisp_, 0, Qt::AlignHCenter);
  right->addSpacing(10);
  const int commandWidth = std::max({cmdStart_->sizeHint().width(), cmdCancel_->sizeHint().width(),
                                     cmdBatch_->sizeHint().width(), 120});
  for (QPushButton* button : {cmdStart_, cmdCancel_, cmdClose_, cmdHelp_, cmdView_}) {
    button->setFixedWidth(commandWidth);
    right->addWidget(button, 0, Qt::AlignHCenter);
  }
  right->addStretch();
  cmdBatch_->setFixedWidth(commandWidth);
  right->addWidget(cmdBatch_, 0, Qt::AlignHCenter);
  // The progress row is as tall as the right column's bottom margin needs.
  right->addSpacing(rateFrame_->height() + left->spacing());

  auto* window = new QHBoxLayout(this);
  window->addLayout(left, 1);
  window->addSpacing(4);
  window->addLayout(right);
  window->setSizeConstraint(QLayout::SetFixedSize);
}

void VerkoMain::SetTabOrder() {
  // The visual order: the files top to bottom, the options, then the commands on the right
  // from top to bottom.
  QWidget* const order[] = {comboOld_,     cmdRefOld_,    comboNew_,       cmdRefNew_,
                            comboResult_,  cmdRefResult_, optTrimTop_,     optTrimTail_,
                            optCompress_,  optSplit_,     textSplitWidth_, cmdSplitChars_,
                            optDiffOnly_,  textMatchLen_, comboEncoding_,  optDispWithEditor_,
                            cmdSetEditor_, optAlwaysTop_, cmdWorkPath_,    cmdStart_,
                            cmdCancel_,    cmdClose_,     cmdHelp_,        cmdBatch_};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
}

void VerkoMain::ConnectHandlers() {
  connect(cmdStart_, &QPushButton::clicked, this, &VerkoMain::ClickStart);
  connect(cmdBatch_, &QPushButton::clicked, this, &VerkoMain::OpenBatchWindow);
  connect(cmdCancel_, &QPushButton::clicked, this, &VerkoMain::ClickCancel);
  connect(cmdClose_, &QPushButton::clicked, this, &VerkoMain::CloseByProgram);
  connect(cmdView_, &QPushButton::clicked, this, &VerkoMain::OpenLastReport);
  connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(kHelpMainWindow); });
  connect(cmdRefOld_, &QPushButton::clicked, this, [this] {
    BrowseFile(comboOld_, QStringLiteral("比較対象の「旧ファイル」を選択"), false);
  });
  connect(cmdRefNew_, &QPushButton::clicked, this, [this] {
    BrowseFile(comboNew_, QStringLiteral("比較対象の「新ファイル」を選択"), false);
  });
  connect(cmdRefResult_, &QPushButton::clicked, this, [this] {
    BrowseFile(comboResult_, QStringLiteral("比較結果を格納するファイルを指定"), true);
  });
  connect(optSplit_, &QCheckBox::toggled, textSplitWidth_, &QWidget::setEnabled);
  connect(optDiffOnly_, &QCheckBox::toggled, textMatchLen_, &QWidget::setEnabled);
  connect(optDispWithEditor_, &QCheckBox::toggled, cmdSetEditor_, &QWidget::setEnabled);
  connect(optTrimTail_, &QCheckBox::toggled, this, &VerkoMain::ClickTrimTail);
  connect(optAlwaysTop_, &QCheckBox::toggled, this, &VerkoMain::ClickAlwaysTop);
  connect(cmdSplitChars_, &QPushButton::clicked, this, &VerkoMain::OpenSplitChars);
  connect(cmdWorkPath_, &QPushButton::clicked, this, &VerkoMain::OpenWorkDrive);
  connect(cmdSetEditor_, &QPushButton::clicked, this, &VerkoMain::OpenSetEditor);
  connect(timer1_, &QTimer::timeout, this, &VerkoMain::HideProgressDisplay);
  textMatchLen_->installEventFilter(this);
  textSplitWidth_->installEventFilter(this);
  // CmdCancel is the window's cancel button; F1 is help and Ctrl+Q closes, as the buttons do
  // (a button disabled during a run ignores its key too).
  const std::pair<QKeySequence, QPushButton*> keys[] = {
      {QKeySequence(Qt::Key_Escape), cmdCancel_},
      {QKeySequence(Qt::Key_F1), cmdHelp_},
      {QKeySequence(Qt::CTRL | Qt::Key_Q), cmdClose_},
  };
  for (const auto& [key, button] : keys) {
    connect(new QShortcut(key, this), &QShortcut::activated, button, &QPushButton::click);
  }
}

// --- Settings -------------------------------------------------------------------------

void VerkoMain::LoadSettings() {
  const double dpi = logicalDpiY();
  // The position is the window's frame, as it is saved, so that a window closed without
  // moving opens again at the same place.
  loadedTop_ =
      ReadSettingNumber(store_.Read(QStringLiteral("PanelTop"), QStringLiteral("300")), 300);
  loadedLeft_ =
      ReadSettingNumber(store_.Read(QStringLiteral("PanelLeft"), QStringLiteral("500")), 500);
  placedAt_ = QPoint(TwipsToPixels(loadedLeft_, dpi), TwipsToPixels(loadedTop_, dpi));
  move(placedAt_);

  QComboBox* fields[] = {comboOld_, comboNew_, comboResult_};
  for (int f = 0; f < 3; ++f) {
    fields[f]->clear();
    for (int k = 0; k < kHistorySize; ++k) {
      const QString entry =
          store_.Read(QLatin1String(kHistoryFields[f]) + QString::number(k), QString());
      if (!entry.isEmpty()) fields[f]->addItem(entry);
    }
    fields[f]->setCurrentIndex(-1);
    fields[f]->setEditText(QString());
  }

  // Applying a state that differs from the box's initial one runs its click handling.
  optTrimTop_->setChecked(ReadCheckState(store_, "OptTrimTop", "0"));
  optTrimTail_->setChecked(ReadCheckState(store_, "OptTrimTail", "1"));
  optCompress_->setChecked(ReadCheckState(store_, "OptCompress", "0"));
  optSplit_->setChecked(ReadCheckState(store_, "OptSplit", "0"));
  optDiffOnly_->setChecked(ReadCheckState(store_, "OptDiffOnly", "0"));
  optDispWithEditor_->setChecked(ReadCheckState(store_, "OptDispWithEditor", "0"));
  optAlwaysTop_->setChecked(ReadCheckState(store_, "OptAlwaysTop", "0"));

  // An unknown value (edited by hand) falls back to the default, CP932.
  const int encoding = comboEncoding_->findData(
      store_.Read(QStringLiteral("Encoding"), QStringLiteral("cp932")).toLower());
  comboEncoding_->setCurrentIndex(encoding >= 0 ? encoding : 0);

  textSplitWidth_->setText(store_.Read(QStringLiteral("TextSplitWidth"), QStringLiteral("80")));
  textMatchLen_->setText(store_.Read(QStringLiteral("TextMatchLen"), QStringLiteral("3")));

  textSplitWidth_->setEnabled(optSplit_->isChecked());
  textMatchLen_->setEnabled(optDiffOnly_->isChecked());
  cmdSetEditor_->setEnabled(optDispWithEditor_->isChecked());

  workPath_ = store_.Read(QStringLiteral("WorkPath"), DefaultWorkPath());
  splitChar_ = store_.Read(QStringLiteral("SplitChar"), DefaultSplitChar());
  // The viewer's command follows the program when it moves; an editor the user chose stays.
  const QString viewer = DefaultEditorSetting(appDir_ + QStringLiteral("verko"));
  editorSetting_ = store_.Read(QStringLiteral("EditorSetting"), viewer);
  if (IsViewerSetting(editorSetting_)) editorSetting_ = viewer;
}

void VerkoMain::SaveSettings() {
  // The frame's top-left corner, the same point the window was placed by. A window that was
  // not moved keeps its stored values exactly (a position between two pixels included).
  const double dpi = logicalDpiY();
  const QPoint frame = pos();
  const int top = frame.y() == placedAt_.y() ? loadedTop_ : PixelsToTwips(frame.y(), dpi);
  const int left = frame.x() == placedAt_.x() ? loadedLeft_ : PixelsToTwips(frame.x(), dpi);
  store_.Write(QStringLiteral("PanelTop"), FormatSettingNumber(top));
  store_.Write(QStringLiteral("PanelLeft"), FormatSettingNumber(left));

  const QComboBox* fields[] = {comboOld_, comboNew_, comboResult_};
  for (int f = 0; f < 3; ++f) {
    for (int i = 0; i < fields[f]->count(); ++i) {
      store_.Write(QLatin1String(kHistoryFields[f]) + QString::number(i % 10),
                   fields[f]->itemText(i));
    }
  }

  WriteCheckState(store_, "OptTrimTop", optTrimTop_);
  // Trailing blanks are always removed again at the next start.
  store_.Write(QStringLiteral("OptTrimTail"), QStringLiteral("1"));
  WriteCheckState(store_, "OptCompress", optCompress_);
  WriteCheckState(store_, "OptSplit", optSplit_);
  WriteCheckState(store_, "OptDiffOnly", optDiffOnly_);
  WriteCheckState(store_, "OptDispWithEditor", optDispWithEditor_);
  WriteCheckState(store_, "OptAlwaysTop", optAlwaysTop_);

  store_.Write(QStringLiteral("Encoding"), comboEncoding_->currentData().toString());
  store_.Write(QStringLiteral("TextSplitWidth"), textSplitWidth_->text());
  store_.Write(QStringLiteral("TextMatchLen"), textMatchLen_->text());

  store_.Write(QStringLiteral("WorkPath"), workPath_);
  store_.Write(QStringLiteral("SplitChar"), splitChar_);
  store_.Write(QStringLiteral("EditorSetting"), editorSetting_);
  store_.Sync();
}

// Names that differ only in letter case are different files here, so the history keeps
// them apart.
void VerkoMain::RegistCombo(QComboBox* field, const QString& text) {
  for (int i = 0; i < field->count(); ++i) {
    if (field->itemText(i) == text) return;
  }
  EditTextKeeper keeper(field);
  if (field->count() >= kHistorySize) field->removeItem(kHistorySize - 1);
  field->insertItem(0, text);
}

void VerkoMain::SetFileNames(const QStringList& names) {
  QComboBox* fields[] = {comboOld_, comboNew_, comboResult_};
  for (int i = 0; i < 3 && i < names.size(); ++i) fields[i]->setEditText(names[i]);
}

// --- The compare run ------------------------------------------------------------------

OptionFields VerkoMain::ReadOptionFields() const {
  OptionFields fields;
  fields.trimTop = optTrimTop_->isChecked();
  fields.trimTail = optTrimTail_->isChecked();
  fields.compress = optCompress_->isChecked();
  fields.split = optSplit_->isChecked();
  fields.splitWidthText = textSplitWidth_->text().toStdString();
  fields.diffOnly = optDiffOnly_->isChecked();
  fields.matchLenText = textMatchLen_->text().toStdString();
  fields.displayWithEditor = optDispWithEditor_->isChecked();
  fields.splitChar = splitChar_.toStdString();
  fields.workPath = workPath_.toStdString();
  fields.editorSetting = editorSetting_.toStdString();
  fields.encodingName = comboEncoding_->currentData().toString().toStdString();
  return fields;
}

CompareRequest VerkoMain::BuildRequest() const {
  CompareRequest request;
  request.oldName = comboOld_->currentText().toStdString();
  request.newName = comboNew_->currentText().toStdString();
  request.resultName = comboResult_->currentText().toStdString();
  request.options = ReadCompareOptions(ReadOptionFields());
  return request;
}

void VerkoMain::ClickStart() {
  if (!session_.CanStart() || !ValidateEnabledFields()) return;
  const CompareRequest request = BuildRequest();
  CompareResult result = session_.RunInteractive(request);
  NoteFinishedReport(request, result);
  if (result.status == kStatusFailed) {
    services_.ShowMessage(this, FromUtf8(result.message.text), FromUtf8(result.message.title),
                          result.message.icon, MessageButtons::kOk);
  } else if (const std::string warning = InvalidTextWarning(result); !warning.empty()) {
    services_.ShowMessage(this, FromUtf8("比較が終わりました。\n\n" + warning),
                          QStringLiteral("文字コードの警告"), MessageIcon::kExclamation,
                          MessageButtons::kOk);
  }
  if (closeAfterRun_) CloseByProgram();
}

CompareResult VerkoMain::RunBatchCompare(const std::string& oldName, const std::string& newName,
                                         const std::string& resultName) {
  const CompareRequest request{
      oldName, newName, resultName, ReadCompareOptions(ReadOptionFields()), {}};
  if (session_.RunActive()) return session_.RunBatch(request);  // refused
  SetFileNames({FromUtf8(oldName), FromUtf8(newName), FromUtf8(resultName)});
  CompareResult result = session_.RunBatch(request);
  NoteFinishedReport(request, result);
  if (closeAfterRun_) CloseByProgram();
  return result;
}

void VerkoMain::NoteFinishedReport(const CompareRequest& request, const CompareResult& result) {
  // Only a completed run leaves a report the viewer can show as the last one.
  if (result.status != kStatusDone) return;
  lastReportPath_ = FromUtf8(request.resultName);
  cmdView_->setEnabled(true);
}

void VerkoMain::ClickCancel() {
  if (services_.Ask(this, QStringLiteral("比較処理を中止してよろしいですか？"),
                    QStringLiteral("キャンセルの確認"))) {
    flags_.CancelRequested = true;
  }
}

void VerkoMain::LockControls() {
  // A tick left over from the previous run must not hide this run's display.
  timer1_->stop();
  frameFiles_->setEnabled(false);
  frameOptions_->setEnabled(false);
  cmdCancel_->setEnabled(true);
  cmdClose_->setEnabled(false);
  cmdHelp_->setEnabled(false);
  cmdStart_->setEnabled(false);
}

void VerkoMain::UnlockControls() {
  frameFiles_->setEnabled(true);
  frameOptions_->setEnabled(true);
  cmdClose_->setEnabled(true);
  cmdHelp_->setEnabled(true);
  // A batch run compares pair after pair: no interactive start between its pairs.
  cmdStart_->setEnabled(!session_.BatchRunning());
  cmdCancel_->setEnabled(false);
  // The run took the focus away from the disabled controls; the next comparison is one key
  // away (Space or Enter).
  if (cmdStart_->isEnabled()) cmdStart_->setFocus();
}

void VerkoMain::SetBatchRunning(bool running) {
  session_.SetBatchRunning(running);
  cmdStart_->setEnabled(!running && !session_.RunActive());
  if (!running) {
    SetFileNames({QString(), QString(), QString()});
    if (cmdStart_->isEnabled()) cmdStart_->setFocus();
  }
}

bool VerkoMain::CheckOptions() {
  return ValidateEnabledFields();
}

void VerkoMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstShown_) return;
  firstShown_ = true;

  // The first file field still to be filled, or the start once all three names are there
  // (given on the command line).
  for (QComboBox* field : {comboOld_, comboNew_, comboResult_}) {
    if (field->currentText().isEmpty()) {
      field->setFocus();
      return;
    }
  }
  cmdStart_->setFocus();
}

bool VerkoMain::AlwaysOnTop() const {
  return optAlwaysTop_->isChecked();
}

VerkoBatch* VerkoMain::BatchWindow() const {
  return batch_;
}

void VerkoMain::OpenBatchWindow() {
  if (!batch_) {
    QString dbPath = batchDbPath_;
    if (dbPath.isEmpty()) dbPath = BatchListDbPath(appDir_);
    batch_ = new VerkoBatch(*this, store_, services_, dbPath, this);
  }
  batch_->show();
  batch_->raise();
  batch_->activateWindow();
}

void VerkoMain::ShowProgress(int percent) {
  progressPercent_ = percent;
  SizeRateBar();
  QCoreApplication::processEvents();
}

void VerkoMain::SizeRateBar() {
  const QRect inner = rateFrame_->contentsRect();
  rateFrame2_->setGeometry(inner.x(), inner.y(), inner.width(), 1);
  rateFrame3_->setGeometry(inner.x(), inner.y(), 1, inner.height());
  // The bar fills the frame inside its shadow lines.
  const int span = inner.width() - 1;
  int width = 0;
  if (progressPercent_ >= 100) {
    width = span;
  } else if (progressPercent_ > 0) {
    width = static_cast<int>(std::lround(progressPercent_ * static_cast<float>(span) / 100.0f));
  }
  rateBar_->setGeometry(inner.x() + 1, inner.y() + 1, width, inner.height() - 1);
}

void VerkoMain::SetPhaseText(const std::string& text) {
  textProcDesc_->setText(FromUtf8(text));
  textProcDesc_->repaint();
}

void VerkoMain::ShowProgressDisplay() {
  for (QWidget* widget : std::initializer_list<QWidget*>{rateFrame_, rateFrame2_, rateFrame3_,
                                                         rateBar_, textProcDesc_}) {
    widget->show();
  }
}

void VerkoMain::HideProgressDisplay() {
  for (QWidget* widget : std::initializer_list<QWidget*>{rateFrame_, rateFrame2_, rateFrame3_,
                                                         rateBar_, textProcDesc_}) {
    widget->hide();
  }
  timer1_->stop();
}

void VerkoMain::FinishProgressDisplay(RunMode mode) {
  if (mode == RunMode::kBatch) {
    HideProgressDisplay();
  } else {
    timer1_->start();
  }
}

bool VerkoMain::AskOverwrite(const std::string& text, const std::string& title) {
  return services_.Ask(this, FromUtf8(text), FromUtf8(title));
}

void VerkoMain::ShowLineLimitMessage(const std::string& text, const std::string& title) {
  services_.ShowMessage(this, FromUtf8(text), FromUtf8(title), MessageIcon::kExclamation,
                        MessageButtons::kOk);
}

void VerkoMain::ShowRunWarning(const std::string& text, const std::string& title) {
  services_.ShowMessage(this, FromUtf8(text), FromUtf8(title), MessageIcon::kExclamation,
                        MessageButtons::kOk);
}

void VerkoMain::RecordHistory(const std::string& oldName, const std::string& newName,
                              const std::string& resultName) {
  RegistCombo(comboOld_, FromUtf8(oldName));
  RegistCombo(comboNew_, FromUtf8(newName));
  RegistCombo(comboResult_, FromUtf8(resultName));
}

void VerkoMain::StartEditor(const std::string& program, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const std::string& arg : args) arguments.append(FromUtf8(arg));
  if (!services_.StartDetached(FromUtf8(program), arguments)) {
    services_.ShowMessage(this,
                          QStringLiteral("エディタを起動できません。\n   %1\n\n"
                                         "「エディタの指定」でエディタを指定してください。")
                              .arg(FromUtf8(program)),
                          QStringLiteral("エディタの起動"), MessageIcon::kExclamation,
                          MessageButtons::kOk);
  }
}

// --- Window events --------------------------------------------------------------------

void VerkoMain::CloseByProgram() {
  programClose_ = true;
  close();
  programClose_ = false;
}

void VerkoMain::closeEvent(QCloseEvent* event) {
  if (flags_.CompareRunning) {
    // A close that the program did not ask for comes from the close box or window menu.
    if (!programClose_) {
      ClickCancel();
      if (!flags_.CancelRequested) {
        event->ignore();
        return;
      }
    }
    // The run has to pass its end of run (files and work database closed) before the
    // settings are saved: the window closes once the run has returned.
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  if (!unloaded_) {
    unloaded_ = true;
    // The batch window unloads first: it stores its list and may compact its database.
    if (batch_) batch_->CloseByProgram();
    if (help_) help_->close();
    SaveSettings();
  }
  event->accept();
}

bool VerkoMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == rateFrame_ && event->type() == QEvent::Resize) {
    SizeRateBar();
  } else if (event->type() == QEvent::FocusOut &&
             (watched == textMatchLen_ || watched == textSplitWidth_)) {
    // Leaving the window or opening a menu is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == textMatchLen_) {
        ValidateMatchLen();
      } else {
        ValidateSplitWidth();
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool VerkoMain::ValidateMatchLen() {
  int value = 0;
  if (ReadFieldNumber(textMatchLen_->text(), 1, 9, &value)) return true;
  services_.ShowMessage(this, QStringLiteral("有効な入力値は 1～9 です。"),
                        QStringLiteral("一致行の行数が無効"), MessageIcon::kExclamation,
                        MessageButtons::kOk);
  QTimer::singleShot(0, textMatchLen_, [this] { textMatchLen_->setFocus(); });
  return false;
}

bool VerkoMain::ValidateSplitWidth() {
  int value = 0;
  if (ReadFieldNumber(textSplitWidth_->text(), 20, 250, &value)) return true;
  services_.ShowMessage(this, QStringLiteral("有効な入力値は 20～250 です。"),
                        QStringLiteral("分割するバイト数が無効"), MessageIcon::kExclamation,
                        MessageButtons::kOk);
  QTimer::singleShot(0, textSplitWidth_, [this] { textSplitWidth_->setFocus(); });
  return false;
}

bool VerkoMain::ValidateEnabledFields() {
  if (optSplit_->isChecked() && !ValidateSplitWidth()) return false;
  if (optDiffOnly_->isChecked() && !ValidateMatchLen()) return false;
  return true;
}

// --- Buttons and options --------------------------------------------------------------

void VerkoMain::BrowseFile(QComboBox* field, const QString& title, bool result) {
  FileDialogRequest request;
  request.mode = result ? FileDialogMode::kOpenAny : FileDialogMode::kOpenExisting;
  request.title = title;
  request.filter = result ? QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt);;すべて(*.*) (*)")
                          : QStringLiteral("すべて(*.*) (*)");
  const QString current = field->currentText();
  if (!current.isEmpty())
    request.initialFolder = QString::fromStdString(DirPart(current.toStdString()));
  if (result) {
    request.proposedName = QStringLiteral("Result.txt");
    request.defaultSuffix = QStringLiteral("txt");
  }
  const QString path = services_.ChooseFile(this, request);
  if (!path.isEmpty()) field->setEditText(path);
}

void VerkoMain::ClickTrimTail(bool on) {
  if (on) return;
  const QString text = QStringLiteral(
                           "このオプションをオフにすると、使用しているデータベースエンジンのテキ"
                           "スト並べ替え仕様の制限のため、状況によっては、末尾にブランクのあるテキ"
                           "スト行のマッチングが正しく行なわれないことがあります。") +
                       QStringLiteral("\n") +
                       QStringLiteral(
                           "このオプションは「オン」にすることをお勧めします。"
                           "「オン」に戻してよろしいですか？");
  const MessageAnswer answer = services_.ShowMessage(
      this, text, QStringLiteral("「行末のブランク/タブを削除」オプションの確認"),
      MessageIcon::kExclamation, MessageButtons::kYesNo);
  if (answer == MessageAnswer::kYes) optTrimTail_->setChecked(true);
}

void VerkoMain::ClickAlwaysTop(bool on) {
  SetAlwaysOnTop(this, on);
  // The windows opened from this one stay above it.
  if (help_) SetAlwaysOnTop(help_, on);
  if (batch_) SetAlwaysOnTop(batch_, on);
}

void VerkoMain::OpenSplitChars() {
  VerkoSplitChars dialog(splitChar_, services_, this);
  dialog.exec();
  splitChar_ = dialog.SplitChar();
}

void VerkoMain::OpenWorkDrive() {
  VerkoWorkDrive dialog(workPath_, services_, this);
  dialog.exec();
  workPath_ = dialog.WorkPath();
}

void VerkoMain::OpenSetEditor() {
  VerkoSetEditor dialog(editorSetting_, services_, this);
  dialog.exec();
  editorSetting_ = dialog.EditorSetting();
}

void VerkoMain::OpenLastReport() {
  if (lastReportPath_.isEmpty()) return;
  ReportViewer* viewer = ReportViewer::Open(lastReportPath_, services_);
  if (viewer) viewers_.append(viewer);
}

QList<ReportViewer*> VerkoMain::Viewers() const {
  QList<ReportViewer*> open;
  for (const QPointer<ReportViewer>& viewer : viewers_) {
    if (viewer) open.append(viewer);
  }
  return open;
}

void VerkoMain::ShowHelp(int contextId) {
  const QString helpFile = HelpDocumentPath(appDir_);
  if (!help_) help_ = new HelpWindow(helpFile, this);
  if (!help_->ShowTopic(contextId)) {
    services_.ShowMessage(this,
                          QStringLiteral("ヘルプファイルが見つかりません。\n   %1").arg(helpFile),
                          QStringLiteral("ヘルプ"), MessageIcon::kExclamation, MessageButtons::kOk);
  }
}

}  // namespace verko
