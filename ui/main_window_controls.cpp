#include "ui/main_window_controls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "common/text_encoding.h"
#include "report/format_writer.h"
#include "ui/main_window_settings.h"
#include "ui/program_version.h"
#include "ui/progress_bar_frame.h"
#include "ui/shared/file_drop.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

QComboBox* NewFileField(const char* name, QWidget* parent) {
  auto* field = Named(new QComboBox(parent), name);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->setMaxCount(kFileHistorySize);
  field->setMinimumWidth(380);
  field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // A long name never widens the field (nor the fixed-size window): the field shows its end,
  // the tooltip the whole name, and the list is as wide as its longest name.
  field->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  field->setMinimumContentsLength(20);
  QObject::connect(field, &QComboBox::editTextChanged, field, &QWidget::setToolTip);
  const auto widenList = [field] {
    QAbstractItemView* list = field->view();
    const int whole = list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                      list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::min(whole, field->screen()->availableGeometry().width()));
  };
  QObject::connect(field->model(), &QAbstractItemModel::rowsInserted, field, widenList);
  QObject::connect(field->model(), &QAbstractItemModel::rowsRemoved, field, widenList);
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

// The file fields with their histories.
struct HistoryField {
  QComboBox* field;
  QStringList MainWindowSettings::*names;
};
std::array<HistoryField, 3> HistoryFields(const MainWindowControls& ui) {
  return {{{ui.comboOld, &MainWindowSettings::oldHistory},
           {ui.comboNew, &MainWindowSettings::newHistory},
           {ui.comboResult, &MainWindowSettings::resultHistory}}};
}

// The check boxes with their options, in the order in which stored states are applied.
struct OptionBox {
  QCheckBox* box;
  bool MainWindowSettings::*checked;
};
std::array<OptionBox, 12> OptionBoxes(const MainWindowControls& ui) {
  return {{{ui.optTrimTop, &MainWindowSettings::trimTop},
           {ui.optTrimTail, &MainWindowSettings::trimTail},
           {ui.optCompress, &MainWindowSettings::compress},
           {ui.optSplit, &MainWindowSettings::split},
           {ui.optDiffOnly, &MainWindowSettings::diffOnly},
           {ui.optFewestMoves, &MainWindowSettings::fewestMoves},
           {ui.optDispWithEditor, &MainWindowSettings::displayWithEditor},
           {ui.optAlwaysTop, &MainWindowSettings::alwaysTop},
           {ui.optCaseSensitive, &MainWindowSettings::caseSensitive},
           {ui.optIgnoreWidth, &MainWindowSettings::ignoreWidth},
           {ui.optCharUnits, &MainWindowSettings::charUnits},
           {ui.optOldLeft, &MainWindowSettings::oldLeft}}};
}

}  // namespace

MainWindowControls::MainWindowControls(QWidget* window) {
  window->setObjectName(QStringLiteral("VerkoMain"));
  // The window has a fixed size: a title bar with minimize and close, no maximize button.
  window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint);
  window->setWindowTitle(QStringLiteral("Verko（テキストファイル比較）"));
  window->setWindowIcon(QIcon(ProgramIcon(64)));
  Create(window);
  LayOut(window);
  SetTabOrder();
}

void MainWindowControls::ShowSettings(const MainWindowSettings& settings) const {
  for (const HistoryField& history : HistoryFields(*this)) {
    history.field->clear();
    history.field->addItems(settings.*history.names);
    history.field->setCurrentIndex(-1);
    history.field->setEditText(QString());
  }
  for (const OptionBox& option : OptionBoxes(*this))
    option.box->setChecked(settings.*option.checked);
  for (auto [combo, choice] : {std::pair{comboEncoding, settings.encoding},
                               std::pair{comboEncodingNew, settings.newEncoding},
                               std::pair{comboEncodingReport, settings.reportEncoding}}) {
    combo->setCurrentIndex(combo->findData(QLatin1String(EncodingChoiceName(choice))));
  }
  comboFormat->setCurrentIndex(
      std::max(comboFormat->findData(QLatin1String(ResultFormatName(settings.format))), 0));
  comboTaishoStyle->setCurrentIndex(settings.taishoSimple ? 1 : 0);
  EnableTableOptions();
  textSplitWidth->setText(settings.splitWidth);
  textMatchLen->setText(settings.matchLen);

  textSplitWidth->setEnabled(optSplit->isChecked());
  textMatchLen->setEnabled(optDiffOnly->isChecked());
  cmdSetEditor->setEnabled(optDispWithEditor->isChecked());
}

void MainWindowControls::ReadSettings(MainWindowSettings* settings) const {
  for (const HistoryField& history : HistoryFields(*this)) {
    QStringList& names = settings->*history.names;
    names.clear();
    for (int i = 0; i < history.field->count(); ++i) names.append(history.field->itemText(i));
  }
  for (const OptionBox& option : OptionBoxes(*this))
    settings->*option.checked = option.box->isChecked();
  for (auto [combo, choice] : {std::pair{comboEncoding, &settings->encoding},
                               std::pair{comboEncodingNew, &settings->newEncoding},
                               std::pair{comboEncodingReport, &settings->reportEncoding}}) {
    (void)ParseEncodingName(combo->currentData().toString().toStdString(), choice);
  }
  (void)ParseResultFormat(comboFormat->currentData().toString().toStdString(), &settings->format);
  settings->taishoSimple = comboTaishoStyle->currentIndex() == 1;
  settings->splitWidth = textSplitWidth->text();
  settings->matchLen = textMatchLen->text();
}

void MainWindowControls::Create(QWidget* window) {
  cmdBatch = NewButton("CmdBatch", QStringLiteral("ﾊﾞｯﾁ処理(&Q)"), window);

  frameFiles = Named(new QGroupBox(window), "FrameFiles");
  labelOld = Named(new QLabel(QStringLiteral("旧ファイル(&A)"), frameFiles), "Label1");
  comboOld = NewFileField("ComboOld", frameFiles);
  cmdRefOld = NewButton("CmdRefOld", QStringLiteral("参照(&J)"), frameFiles);
  labelNew = Named(new QLabel(QStringLiteral("新ファイル(&B)"), frameFiles), "Label2");
  comboNew = NewFileField("ComboNew", frameFiles);
  cmdRefNew = NewButton("CmdRefNew", QStringLiteral("参照(&K)"), frameFiles);
  labelResult = Named(new QLabel(QStringLiteral("比較結果(&R)"), frameFiles), "Label3");
  comboResult = NewFileField("ComboResult", frameFiles);
  cmdRefResult = NewButton("CmdRefResult", QStringLiteral("参照(&L)"), frameFiles);
  labelOld->setBuddy(comboOld);
  labelNew->setBuddy(comboNew);
  labelResult->setBuddy(comboResult);
  lineBelowOld = NewLine("Line1", frameFiles);
  lineBelowNew = NewLine("Line2", frameFiles);

  cmdHelp = NewButton("CmdHelp", QStringLiteral("ヘルプ(&H)"), window,
                      QStringLiteral("ヘルプを表示します"));
  cmdStart = NewButton("CmdStart", QStringLiteral("比較開始(&G)"), window,
                       QStringLiteral("比較処理を開始します"));
  cmdCompareView =
      NewButton("CmdCompareView", QStringLiteral("比較して表示(&I)"), window,
                QStringLiteral("結果ファイルを指定せずに比較し、結果をビューアで表示します"));
  cmdCancel = NewButton("CmdCancel", QStringLiteral("ｷｬﾝｾﾙ(Esc)"), window,
                        QStringLiteral("比較処理を中断します"));
  cmdCancel->setEnabled(false);
  cmdView = NewButton("CmdView", QStringLiteral("結果の表示(&V)"), window,
                      QStringLiteral("直前の比較結果をビューアで表示します"));
  cmdView->setEnabled(false);
  cmdClose = NewButton("CmdClose", QStringLiteral("閉じる(&X)"), window,
                       QStringLiteral("ツールを終了します"));

  frameOptions = Named(new QGroupBox(window), "FrameOptions");
  auto option = [this](const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, frameOptions), name);
  };
  optTrimTop = option("OptTrimTop", QStringLiteral("行頭のブランク/タブを削除してから比較(&T)"));
  optTrimTail = option("OptTrimTail", QStringLiteral("行末のブランク/タブを削除してから比較(&M)"));
  optTrimTail->setChecked(true);
  optCompress =
      option("OptCompress", QStringLiteral("すべてのブランク/タブを圧縮してから比較(&C)"));
  optSplit = option("OptSplit", QStringLiteral("長い行は分割してから比較(&S)："));
  textSplitWidth = NewNumberField("TextSplitWidth", QStringLiteral("80"), frameOptions);
  labelSplitUnit = Named(new QLabel(QStringLiteral("バイト以内"), frameOptions), "Label5");
  cmdSplitChars = NewButton("CmdSplitChars", QStringLiteral("分割文字(&Y)"), frameOptions);
  optDiffOnly = option("OptDiffOnly",
                       QStringLiteral("相違部分のみ出力(&D)。前後に出力する一致行の数[1-9]："));
  textMatchLen = NewNumberField("TextMatchLen", QStringLiteral("3"), frameOptions);
  optFewestMoves = option("OptFewestMoves", QStringLiteral("移動行を最少にする(&P)"));
  optFewestMoves->setToolTip(
      QStringLiteral("順序を保つ最長の一致行の並びを一致とし、順序を離れた行だけを移動行にします"));
  optDispWithEditor = option("OptDispWithEditor", QStringLiteral("結果をすぐにエディタで表示(&E)"));
  cmdSetEditor = NewButton("CmdSetEditor", QStringLiteral("エディタの指定(&O)"), frameOptions);
  cmdWorkPath = NewButton("CmdworkPath", QStringLiteral("作業ドライブ(&W)"), frameOptions);
  optAlwaysTop = option("OptAlwaysTop", QStringLiteral("いつも最前面に表示(&F)"));
  // The encodings of the old file, the new file and the report, for interactive and batch
  // runs; each recognised by default.
  labelEncoding =
      Named(new QLabel(QStringLiteral("文字コード(&U)"), frameOptions), "LabelEncoding");
  auto encodingField = [this](const char* name, const QString& tip) {
    auto* combo = Named(new QComboBox(frameOptions), name);
    for (EncodingChoice choice : {EncodingChoice::kCp932, EncodingChoice::kUtf8,
                                  EncodingChoice::kEucJp, EncodingChoice::kAuto}) {
      combo->addItem(QString::fromUtf8(EncodingChoiceCaption(choice)),
                     QString::fromLatin1(EncodingChoiceName(choice)));
    }
    combo->setToolTip(tip);
    return combo;
  };
  comboEncoding = encodingField("ComboEncoding", QStringLiteral("旧ファイルの文字コードです"));
  comboEncodingNew =
      encodingField("ComboEncodingNew", QStringLiteral("新ファイルの文字コードです"));
  comboEncodingReport = encodingField(
      "ComboEncodingReport",
      QStringLiteral("結果ファイルの文字コードです。自動判別では旧ファイルと新ファイルの"
                     "文字コードが同じときその文字コード、異なるとき UTF-8 になります"));
  labelEncodingOld = Named(new QLabel(QStringLiteral("旧："), frameOptions), "LabelEncodingOld");
  labelEncodingNew = Named(new QLabel(QStringLiteral("新："), frameOptions), "LabelEncodingNew");
  labelEncodingReport =
      Named(new QLabel(QStringLiteral("結果の文字コード："), frameOptions), "LabelEncodingReport");
  labelEncoding->setBuddy(comboEncoding);
  labelEncodingOld->setBuddy(comboEncoding);
  labelEncodingNew->setBuddy(comboEncodingNew);
  labelEncodingReport->setBuddy(comboEncodingReport);
  // What the result is, for interactive and batch runs: the report or another format.
  labelFormat = Named(new QLabel(QStringLiteral("出力形式(&N)："), frameOptions), "LabelFormat");
  comboFormat = Named(new QComboBox(frameOptions), "ComboFormat");
  for (ResultFormat format : kResultFormats) {
    comboFormat->addItem(QString::fromUtf8(ResultFormatCaption(format)),
                         QString::fromLatin1(ResultFormatName(format)));
    // A format this version cannot write yet is shown, not offered.
    if (format != ResultFormat::kReport && !FindFormatWriter(format)) {
      auto* model = qobject_cast<QStandardItemModel*>(comboFormat->model());
      if (model) model->item(comboFormat->count() - 1)->setEnabled(false);
    }
  }
  comboFormat->setToolTip(
      QStringLiteral("結果ファイルの形式です。比較結果レポートのほか、新旧対照表、"
                     "patch で当てられる unified diff、JSON で書き出せます"));
  labelFormat->setBuddy(comboFormat);
  optOldLeft = option("OptOldLeft", QStringLiteral("改正前を左に"));
  optOldLeft->setToolTip(
      QStringLiteral("新旧対照表で改正前を左の列にします（既定は公用文の例どおり改正後が左）"));
  comboTaishoStyle = Named(new QComboBox(frameOptions), "ComboTaishoStyle");
  comboTaishoStyle->addItem(QStringLiteral("二重傍線あり（方式書）"), QStringLiteral("formal"));
  comboTaishoStyle->addItem(QStringLiteral("傍線のみ"), QStringLiteral("simple"));
  comboTaishoStyle->setToolTip(
      QStringLiteral("条・項・号のある文書の新旧対照表の傍線です。方式書では、番号を移動した"
                     "規定と新設・削る規定の番号と見出しに二重傍線を付けます"));
  QObject::connect(comboFormat, &QComboBox::currentIndexChanged, comboFormat,
                   [this] { EnableTableOptions(); });
  // What counts as a difference: letter case is ignored unless asked.
  optCaseSensitive = option("OptCaseSensitive", QStringLiteral("英字の大小を区別"));
  optCaseSensitive->setToolTip(
      QStringLiteral("英字の大文字と小文字を区別します（既定では区別しません）"));
  optIgnoreWidth = option("OptIgnoreWidth", QStringLiteral("全角と半角を区別しない"));
  optIgnoreWidth->setToolTip(
      QStringLiteral("全角英数字・記号と半角カタカナを、半角英数字・記号と全角カタカナと同じ文字"
                     "として比較します"));
  // What the marks of changed lines cover: words unless asked.
  optCharUnits = option("OptCharUnits", QStringLiteral("文字単位で比較"));
  optCharUnits->setToolTip(QStringLiteral(
      "変更箇所を一文字ずつ示します（既定では語・数・文字のまとまりごとに示します）。"
      "比較結果の表示、新旧対照表、JSON の変更箇所に使われます"));
  // The status of the finished run, which never widens the window.
  labelRunStatus = Named(new QLabel(window), "LabelRunStatus");
  labelRunStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

  textProcDesc = Named(new QLineEdit(window), "TextProcDesc");
  textProcDesc->setReadOnly(true);
  textProcDesc->setFocusPolicy(Qt::NoFocus);
  textProcDesc->setToolTip(QStringLiteral("実行中の処理の内容です"));
  textProcDesc->setAlignment(Qt::AlignCenter);
  textProcDesc->setFixedWidth(
      textProcDesc->fontMetrics().horizontalAdvance(QStringLiteral("結果出力中")) + 32);
  progressBar = new ProgressBarFrame(textProcDesc->sizeHint().height(), window);

  programIcon = Named(new QLabel(window), "Image1");
  programIcon->setPixmap(ProgramIcon(40));
  programName = Named(new QLabel(QStringLiteral("Verko"), window), "Label4");
  QFont century(QStringLiteral("Century"));
  century.setFamilies({QStringLiteral("Century"), QStringLiteral("Century Schoolbook"),
                       QStringLiteral("C059"), QStringLiteral("Noto Serif"),
                       QStringLiteral("DejaVu Serif")});
  century.setStyleHint(QFont::Serif);
  century.setPointSizeF(20);
  century.setItalic(true);
  century.setBold(true);
  programName->setFont(century);
  versionDisp = Named(new QLabel(VersionText(), window), "VersionDisp");

  // The progress display shows only during and shortly after a run; the window keeps its
  // place meanwhile.
  for (QWidget* widget : std::initializer_list<QWidget*>{progressBar, textProcDesc}) {
    KeepPlaceWhenHidden(widget);
    widget->hide();
  }
}

void MainWindowControls::LayOut(QWidget* window) {
  auto* files = new QGridLayout(frameFiles);
  files->setHorizontalSpacing(8);
  files->setVerticalSpacing(4);
  files->addWidget(labelOld, 0, 0);
  files->addWidget(comboOld, 0, 1);
  files->addWidget(cmdRefOld, 0, 2);
  files->addWidget(lineBelowOld, 1, 0, 1, 3);
  files->addWidget(labelNew, 2, 0);
  files->addWidget(comboNew, 2, 1);
  files->addWidget(cmdRefNew, 2, 2);
  files->addWidget(lineBelowNew, 3, 0, 1, 3);
  files->addWidget(labelResult, 4, 0);
  files->addWidget(comboResult, 4, 1);
  files->addWidget(cmdRefResult, 4, 2);

  // Option rows: check box, its field and unit, and the row's button at the right edge.
  const int optionButtonWidth =
      std::max({cmdSplitChars->sizeHint().width(), cmdSetEditor->sizeHint().width(),
                cmdWorkPath->sizeHint().width()});
  auto* options = new QVBoxLayout(frameOptions);
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
  row({optTrimTop}, nullptr);
  row({optTrimTail}, nullptr);
  row({optCompress}, nullptr);
  row({optSplit, textSplitWidth, labelSplitUnit}, cmdSplitChars);
  row({optDiffOnly, textMatchLen, optCharUnits}, nullptr);
  row({optFewestMoves, optCaseSensitive, optIgnoreWidth}, nullptr);
  row({labelEncoding, labelEncodingOld, comboEncoding, labelEncodingNew, comboEncodingNew},
      nullptr);
  row({labelEncodingReport, comboEncodingReport, labelFormat, comboFormat}, nullptr);
  row({optOldLeft, comboTaishoStyle}, nullptr);
  row({optDispWithEditor}, cmdSetEditor);
  row({optAlwaysTop}, cmdWorkPath);

  auto* progress = new QHBoxLayout;
  progress->addWidget(progressBar, 1);
  progress->addWidget(textProcDesc);

  auto* left = new QVBoxLayout;
  left->addWidget(frameFiles);
  left->addWidget(frameOptions);
  left->addWidget(labelRunStatus);
  left->addLayout(progress);

  auto* logo = new QHBoxLayout;
  logo->addWidget(programIcon);
  logo->addWidget(programName);
  logo->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(logo);
  right->addWidget(versionDisp, 0, Qt::AlignHCenter);
  right->addSpacing(10);
  const int commandWidth =
      std::max({cmdStart->sizeHint().width(), cmdCancel->sizeHint().width(),
                cmdBatch->sizeHint().width(), cmdCompareView->sizeHint().width(), 120});
  for (QPushButton* button : {cmdStart, cmdCompareView, cmdCancel, cmdClose, cmdHelp, cmdView}) {
    button->setFixedWidth(commandWidth);
    right->addWidget(button, 0, Qt::AlignHCenter);
  }
  right->addStretch();
  cmdBatch->setFixedWidth(commandWidth);
  right->addWidget(cmdBatch, 0, Qt::AlignHCenter);
  // The progress row is as tall as the right column's bottom margin needs.
  right->addSpacing(progressBar->height() + left->spacing());

  auto* layout = new QHBoxLayout(window);
  layout->addLayout(left, 1);
  layout->addSpacing(4);
  layout->addLayout(right);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindowControls::EnableTableOptions() const {
  ResultFormat format = ResultFormat::kReport;
  (void)ParseResultFormat(comboFormat->currentData().toString().toStdString(), &format);
  const bool table = format == ResultFormat::kHtml || format == ResultFormat::kXlsx ||
                     format == ResultFormat::kDocx;
  optOldLeft->setEnabled(table);
  comboTaishoStyle->setEnabled(table);
}

void MainWindowControls::SetTabOrder() {
  // The visual order: the files top to bottom, the options, then the commands on the right
  // from top to bottom.
  QWidget* const order[] = {comboOld,          cmdRefOld,        comboNew,
                            cmdRefNew,         comboResult,      cmdRefResult,
                            optTrimTop,        optTrimTail,      optCompress,
                            optSplit,          textSplitWidth,   cmdSplitChars,
                            optDiffOnly,       textMatchLen,     optCharUnits,
                            optFewestMoves,    optCaseSensitive, optIgnoreWidth,
                            comboEncoding,     comboEncodingNew, comboEncodingReport,
                            comboFormat,       optOldLeft,       comboTaishoStyle,
                            optDispWithEditor, cmdSetEditor,     optAlwaysTop,
                            cmdWorkPath,       cmdStart,         cmdCompareView,
                            cmdCancel,         cmdClose,         cmdHelp,
                            cmdBatch};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
  // The fewest-moves box sits on its own row below the context-lines field.
}

}  // namespace verko
