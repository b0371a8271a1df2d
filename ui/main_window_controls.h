// The main window's controls: every widget of the window made as a child of it, laid out
// and put in tab order, with the window's title, icon and fixed-size frame; and the
// histories and options of the settings shown in them and read back. The window's behaviour
// (VerkoMain) reaches the widgets here; tests and screenshots find them by object name.
#pragma once

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace verko {

class ProgressBarFrame;
struct MainWindowSettings;

class MainWindowControls {
 public:
  // Makes the controls in `window`, an empty top-level widget, with their initial states:
  // the options as in a fresh store, the commands of a running comparison disabled and the
  // progress display hidden.
  explicit MainWindowControls(QWidget* window);

  // Shows the histories and the options of `settings`, each field enabled as its option
  // says. A check box whose state changes emits its signals as a click would.
  void ShowSettings(const MainWindowSettings& settings) const;
  // Takes the histories and the options as they stand into `settings`.
  void ReadSettings(MainWindowSettings* settings) const;

  // The file fields, each with its label and its browse button, in a frame.
  QGroupBox* frameFiles;
  QLabel *labelOld, *labelNew, *labelResult;
  QComboBox *comboOld, *comboNew, *comboResult;
  QPushButton *cmdRefOld, *cmdRefNew, *cmdRefResult;
  QFrame *lineBelowOld, *lineBelowNew;

  // The comparison options and the buttons of the settings dialogs, in a frame.
  QGroupBox* frameOptions;
  QCheckBox *optTrimTop, *optTrimTail, *optCompress, *optSplit, *optDiffOnly, *optDispWithEditor,
      *optAlwaysTop, *optCaseSensitive, *optIgnoreWidth, *optCharUnits;
  // Only lines that left their order are moved (the longest chain in order is common).
  QCheckBox* optFewestMoves;
  QLineEdit *textSplitWidth, *textMatchLen;
  QLabel *labelSplitUnit, *labelEncoding;
  // The encodings of the old file (ComboEncoding), the new file and the report.
  QLabel *labelEncodingOld, *labelEncodingNew, *labelEncodingReport;
  QComboBox *comboEncoding, *comboEncodingNew, *comboEncodingReport;
  QLabel* labelFormat;
  QComboBox* comboFormat;
  // The 新旧対照表's column order and underlines, enabled for a table format.
  QCheckBox* optOldLeft;
  QComboBox* comboTaishoStyle;
  QPushButton *cmdSplitChars, *cmdSetEditor, *cmdWorkPath;

  // The commands in the right-hand column. cmdCompareView compares into the work folder
  // and shows the report in the viewer, with no result name needed.
  QPushButton *cmdStart, *cmdCompareView, *cmdCancel, *cmdClose, *cmdHelp, *cmdView, *cmdBatch;

  // The progress display of a running comparison: the bar and the name of the phase.
  ProgressBarFrame* progressBar;
  QLineEdit* textProcDesc;
  // The outcome of a finished run (相違なし, or its counts), the encodings it read, and its
  // lines matched through a wave-dash twin.
  QLabel* labelRunStatus;

  // The program's icon and name above the commands, with its version below them.
  QLabel *programIcon, *programName, *versionDisp;

  // Enables the 新旧対照表's options when the chosen format is a table.
  void EnableTableOptions() const;

 private:
  void Create(QWidget* window);
  void LayOut(QWidget* window);
  void SetTabOrder();
};

}  // namespace verko
