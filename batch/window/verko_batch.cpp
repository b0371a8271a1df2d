#include "batch/window/verko_batch.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

#include "batch/batch_db_location.h"
#include "batch/method_display.h"
#include "batch/pair_outcome.h"
#include "batch/window/batch_main_link.h"
#include "batch/window/pair_table_model.h"
#include "batch/window/verko_select_batch.h"
#include "ui/shared/field_values.h"
#include "ui/shared/help_window.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

const char* const kAllFilesFilter = "すべて(*.*) (*)";

void SetFieldText(QLineEdit* field, const std::string& text) {
  const QString value = ToQString(text);
  if (field->text() != value) field->setText(value);
}

// A file dialog for existing files of any kind, opening in `folder`.
FileDialogRequest ExistingFilesRequest(const std::string& title, const std::string& folder) {
  FileDialogRequest request;
  request.mode = FileDialogMode::kOpenExisting;
  request.title = ToQString(title);
  request.filter = QString::fromUtf8(kAllFilesFilter);
  request.initialFolder = ToQString(folder);
  return request;
}

bool IsInside(const QWidget* widget, const QWidget* container) {
  return widget && (widget == container || container->isAncestorOf(widget));
}

}  // namespace

QString BatchListDbPath(const QString& appDir) {
  std::string path;
  (void)LocateBatchListDb(appDir.toStdString(), &path);
  return ToQString(path);
}

VerkoBatch::VerkoBatch(BatchMainLink& link, SettingsStore& store, UiServices& services,
                       const QString& dbPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      link_(link),
      store_(store),
      services_(services),
      session_(*this, link),
      model_(new PairTableModel(session_, this)),
      ui_(this, model_) {
  setAttribute(Qt::WA_DeleteOnClose);
  ApplyMethodDisplays(BatchListSettings{});
  ConnectHandlers();

  const int batchId = ReadSettingNumber(store_.Read(QStringLiteral("BatchID"), QStringLiteral("1")),
                                        kDefaultBatchID);
  if (!session_.Open(dbPath.toStdString(), batchId)) return;
  if (link_.AlwaysOnTop()) SetAlwaysOnTop(this, true);
}

VerkoBatch::~VerkoBatch() {
  Unload();
}

void VerkoBatch::ConnectHandlers() {
  // A name being typed into the grid is kept whatever the user does next: a button's
  // keyboard shortcut clicks it without taking the focus from the cell editor, so every
  // button first ends the editing (connected before the commands, so it runs first).
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    connect(button, &QAbstractButton::clicked, this, &VerkoBatch::CommitGridEdit);
  }
  connect(ui_.cmdOldSelect, &QPushButton::clicked, this,
          [this] { session_.SelectFiles(PairSide::kOld); });
  connect(ui_.cmdNewSelect, &QPushButton::clicked, this,
          [this] { session_.SelectFiles(PairSide::kNew); });
  connect(ui_.cmdOldAuto, &QPushButton::clicked, this,
          [this] { session_.AutoPair(PairSide::kOld); });
  connect(ui_.cmdNewAuto, &QPushButton::clicked, this,
          [this] { session_.AutoPair(PairSide::kNew); });
  connect(ui_.cmdOldEach, &QPushButton::clicked, this,
          [this] { session_.PairIndividually(PairSide::kOld); });
  connect(ui_.cmdNewEach, &QPushButton::clicked, this,
          [this] { session_.PairIndividually(PairSide::kNew); });
  connect(ui_.cmdResultPath, &QPushButton::clicked, this,
          [this] { session_.ChooseResultFolder(); });

  connect(ui_.cmdUpdateCount, &QPushButton::clicked, this, [this] { session_.UpdateCountInfo(); });
  ui_.labelInfo->installEventFilter(this);
  connect(ui_.optCompactDB, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_) session_.SetCompactOnClose(checked);
  });
  connect(ui_.cmdDeleteRow, &QPushButton::clicked, this, [this] { session_.DeleteRow(); });
  connect(ui_.cmdClearContent, &QPushButton::clicked, this, [this] { session_.ClearContent(); });
  connect(ui_.pairGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!showing_) session_.SetCurrentRow(current.isValid() ? current.row() : kNoRow);
          });
  // Leaving the grid ends its cell editing (the delegate stores the typed name) and counts.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (IsInside(old, ui_.pairGrid) && !IsInside(now, ui_.pairGrid)) session_.UpdateCountInfo();
  });

  connect(ui_.pairGrid, &QAbstractItemView::doubleClicked, this, &VerkoBatch::OpenOrEditCell);

  connect(ui_.cmdBatchNew, &QPushButton::clicked, this, [this] { session_.NewList(); });
  connect(ui_.cmdBatchRename, &QPushButton::clicked, this, [this] { session_.RenameList(); });
  connect(ui_.cmdBatchDelete, &QPushButton::clicked, this, [this] { session_.DeleteList(); });
  connect(ui_.cmdBatchSelect, &QPushButton::clicked, this, &VerkoBatch::SelectBatch);

  connect(ui_.comboPairing, &QComboBox::activated, this,
          [this](int index) { session_.ChoosePairingMethod(index); });
  connect(ui_.comboResultName, &QComboBox::activated, this,
          [this](int index) { session_.ChooseResultMethod(index); });
  connect(ui_.cmdGenResultName, &QPushButton::clicked, this,
          [this] { session_.GenerateResultNames(); });
  ConnectField(ui_.txtOldPath, &BatchListSettings::oldPath);
  ConnectField(ui_.txtNewPath, &BatchListSettings::newPath);
  ConnectField(ui_.txtResultPath, &BatchListSettings::resultPath);
  ConnectField(ui_.txtPairingFname, &BatchListSettings::pairingFname);
  ConnectField(ui_.txtPairingExt, &BatchListSettings::pairingExt);
  ConnectField(ui_.txtPairingFname2, &BatchListSettings::pairingFname2);
  ConnectField(ui_.txtPairingExt2, &BatchListSettings::pairingExt2);
  ConnectField(ui_.txtResultFname, &BatchListSettings::resultFname);
  ConnectField(ui_.txtResultExt, &BatchListSettings::resultExt);
  ConnectField(ui_.txtInitNo, &BatchListSettings::initNo);

  connect(ui_.cmdBatchExecute, &QPushButton::clicked, this, &VerkoBatch::ClickExecute);
  connect(ui_.cmdCancel, &QPushButton::clicked, this, [this] { session_.RequestCancel(); });
  connect(ui_.cmdHelp, &QPushButton::clicked, this, [this] { link_.ShowHelp(kHelpBatchWindow); });
  connect(ui_.cmdClose, &QPushButton::clicked, this, &VerkoBatch::CloseByProgram);
  // Esc is the cancel button, F1 the help button (each only while its button is enabled).
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, ui_.cmdCancel,
          &QPushButton::click);
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, ui_.cmdHelp,
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

void VerkoBatch::OpenOrEditCell(const QModelIndex& index) {
  if (!index.isValid()) return;
  const auto& rows = session_.Rows();
  if (!model_->HasOutcome(index.row()) || static_cast<std::size_t>(index.row()) >= rows.size()) {
    ui_.pairGrid->edit(index);
    return;
  }
  const std::string path =
      session_.Settings().resultPath + rows[static_cast<std::size_t>(index.row())].resultFile;
  if (!QFileInfo::exists(ToQString(path))) {
    ShowMessage("結果ファイルがありません。\n   " + path, "結果ファイルを開く",
                MessageIcon::kExclamation);
    return;
  }
  link_.OpenResult(path);
}

void VerkoBatch::SelectBatch() {
  VerkoSelectBatch dialog(session_, this);
  dialog.exec();
}

// --- What the session shows -------------------------------------------------------------

void VerkoBatch::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
  services_.ShowMessage(this, ToQString(text), ToQString(title), icon, MessageButtons::kOk);
}

bool VerkoBatch::AskYesNo(const std::string& text, const std::string& title) {
  return services_.Ask(this, ToQString(text), ToQString(title));
}

bool VerkoBatch::AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) {
  return services_.ShowMessage(this, ToQString(text), ToQString(title), icon,
                               MessageButtons::kOkCancel) == MessageAnswer::kOk;
}

std::optional<std::string> VerkoBatch::AskText(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
  QString text = ToQString(defaultText);
  if (!services_.AskText(this, ToQString(prompt), ToQString(title), &text)) return std::nullopt;
  return text.toStdString();
}

std::vector<std::string> VerkoBatch::ChooseFiles(const std::string& title,
                                                 const std::string& folder) {
  std::vector<std::string> paths;
  for (const QString& path : services_.ChooseFiles(this, ExistingFilesRequest(title, folder))) {
    paths.push_back(path.toStdString());
  }
  return paths;
}

std::optional<std::string> VerkoBatch::ChooseFile(const std::string& title,
                                                  const std::string& folder) {
  const QString path = services_.ChooseFile(this, ExistingFilesRequest(title, folder));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> VerkoBatch::ChooseFolder(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& placeholderName) {
  // A real folder chooser replaces the file dialog with its placeholder name; the folder it
  // returns ends in "/", so its folder part is the folder itself.
  (void)placeholderName;
  const QString chosen = services_.ChooseFolder(this, ToQString(title), ToQString(folder));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.endsWith(QLatin1Char('/')) ? chosen.toStdString() : chosen.toStdString() + "/";
}

void VerkoBatch::ShowSettings(const BatchListSettings& settings, bool defaultList) {
  showing_ = true;
  SetFieldText(ui_.txtBatchName, settings.batchName);
  SetFieldText(ui_.txtOldPath, settings.oldPath);
  SetFieldText(ui_.txtNewPath, settings.newPath);
  SetFieldText(ui_.txtResultPath, settings.resultPath);
  ui_.comboPairing->setCurrentIndex(settings.pairingMethod);
  SetFieldText(ui_.txtPairingFname, settings.pairingFname);
  SetFieldText(ui_.txtPairingExt, settings.pairingExt);
  SetFieldText(ui_.txtPairingFname2, settings.pairingFname2);
  SetFieldText(ui_.txtPairingExt2, settings.pairingExt2);
  ui_.comboResultName->setCurrentIndex(settings.resultMethod);
  SetFieldText(ui_.txtResultFname, settings.resultFname);
  SetFieldText(ui_.txtResultExt, settings.resultExt);
  SetFieldText(ui_.txtInitNo, settings.initNo);
  showing_ = false;
  ApplyMethodDisplays(settings);
  defaultList_ = defaultList;
  EnableListCommands(!session_.BatchRunning());
}

void VerkoBatch::EnableListCommands(bool enabled) {
  ui_.cmdBatchNew->setEnabled(enabled);
  ui_.cmdBatchSelect->setEnabled(enabled);
  ui_.cmdBatchRename->setEnabled(enabled && !defaultList_);
  ui_.cmdBatchDelete->setEnabled(enabled && !defaultList_);
}

void VerkoBatch::ApplyMethodDisplays(const BatchListSettings& settings) {
  const PairingDisplay pairing = PairingMethodDisplay(settings.pairingMethod);
  ui_.txtPairingFname->setVisible(pairing.fnameShown);
  SetReadOnlyLook(ui_.txtPairingFname, pairing.fnameReadOnly);
  ui_.txtPairingExt->setVisible(pairing.extShown);
  ui_.labelPairingDot->setVisible(pairing.point1Shown);
  for (QWidget* widget : std::initializer_list<QWidget*>{
           ui_.txtPairingFname2, ui_.txtPairingExt2, ui_.labelPairingDot2, ui_.labelPairPattern}) {
    widget->setVisible(pairing.newSideShown);
  }
  ui_.labelWildcardNote->setVisible(pairing.wildcardNoteShown);
  ui_.labelMatchNote->setVisible(pairing.matchNoteShown);

  const ResultNameDisplay naming = ResultMethodDisplay(settings.resultMethod);
  ui_.txtResultFname->setVisible(naming.fnameShown);
  SetReadOnlyLook(ui_.txtResultFname, naming.fnameReadOnly);
  ui_.txtResultExt->setVisible(naming.extShown);
  ui_.labelResultDot->setVisible(naming.point2Shown);
  ui_.labelResultName->setVisible(naming.templateNoteShown);
  ui_.labelInitNo->setVisible(naming.initNoShown);
  ui_.txtInitNo->setVisible(naming.initNoShown);
}

void VerkoBatch::CommitGridEdit() {
  QTableView* grid = ui_.pairGrid;
  const QModelIndex cell = grid->currentIndex();
  QWidget* editor = cell.isValid() ? grid->indexWidget(cell) : nullptr;  // the cell's editor
  if (!editor) return;
  // What the delegate does when the focus leaves its editor: the grid stores the text and
  // closes the editor.
  QAbstractItemDelegate* delegate = grid->itemDelegateForIndex(cell);
  emit delegate->commitData(editor);
  emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void VerkoBatch::SelectRow(int row) {
  showing_ = true;
  if (row >= 0 && row < model_->rowCount()) {
    const QModelIndex index = model_->index(row, PairTableModel::kOldFile);
    ui_.pairGrid->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui_.pairGrid->scrollTo(index);
  } else {
    ui_.pairGrid->selectionModel()->clear();
  }
  showing_ = false;
}

void VerkoBatch::ShowRows(const std::vector<PairRow>& rows, int currentRow) {
  showing_ = true;
  model_->ResetRows(rows);
  showing_ = false;
  ui_.SetColumnWidths();
  SelectRow(currentRow);
}

void VerkoBatch::ShowRowChanged(int row) {
  model_->RowChanged(row);
}

void VerkoBatch::ShowPairOutcome(int row, const CompareResult& result) {
  model_->SetOutcome(row, ToQString(OutcomeSummary(result)));
}

void VerkoBatch::ShowCurrentRow(int row) {
  SelectRow(row);
}

void VerkoBatch::ShowCounts(const std::string& text, const CountButtons& buttons) {
  ui_.labelInfo->setText(ToQString(text));
  ui_.cmdOldEach->setEnabled(buttons.eachEnabled);
  ui_.cmdNewEach->setEnabled(buttons.eachEnabled);
  ui_.cmdOldAuto->setEnabled(buttons.oldAutoEnabled);
  ui_.cmdNewAuto->setEnabled(buttons.newAutoEnabled);
}

void VerkoBatch::ShowCompactOnClose(bool checked) {
  showing_ = true;
  ui_.optCompactDB->setChecked(checked);
  showing_ = false;
}

void VerkoBatch::SetRunDisplay(bool running) {
  for (QWidget* frame : std::initializer_list<QWidget*>{ui_.frameFolders, ui_.frameBatchList,
                                                        ui_.framePairing, ui_.frameResultName}) {
    frame->setVisible(!running);
  }
  // The run walks the shown list's rows: no other list may be shown or made meanwhile.
  EnableListCommands(!running);
  if (running) model_->ClearOutcomes();
  ui_.cmdBatchExecute->setEnabled(!running);
  ui_.cmdHelp->setEnabled(!running);
  ui_.cmdClose->setEnabled(!running);
  ui_.cmdCancel->setEnabled(running);
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
  CommitGridEdit();
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
  if (watched == ui_.labelInfo && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    session_.UpdateCountInfo();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace verko
