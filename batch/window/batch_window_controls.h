// The batch window's controls: every widget of the window made as a child of it and laid
// out, together with the window's title and icon. The window's behaviour (VerkoBatch) reaches
// the widgets here; their object names are the ones by which tests and screenshots find them.
#pragma once

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace verko {

// The width of each column of the pair grid, in twips.
inline constexpr int kPairColumnTwips = 2200;

class BatchWindowControls {
 public:
  // Makes the controls in `window`, an empty top-level widget; the grid shows `pairs`.
  BatchWindowControls(QWidget* window, QAbstractItemModel* pairs);

  // Gives each column of the grid its width.
  void SetColumnWidths() const;

  // The list's name and the commands that make, delete, rename and choose lists.
  QLineEdit* txtBatchName;
  QPushButton *cmdBatchNew, *cmdBatchDelete, *cmdBatchRename, *cmdBatchSelect;

  // The folders of the old, new and result files, each with its commands.
  QGroupBox* frameFolders;
  QLabel *labelOld, *labelNew, *labelResult;
  QLineEdit *txtOldPath, *txtNewPath, *txtResultPath;
  QPushButton *cmdOldSelect, *cmdOldAuto, *cmdOldEach;
  QPushButton *cmdNewSelect, *cmdNewAuto, *cmdNewEach;
  QPushButton* cmdResultPath;

  // The grid of the list's pairs, its count line and the commands on its rows.
  QGroupBox* frameBatchList;
  QTableView* pairGrid;
  QLabel* labelInfo;
  QPushButton* cmdUpdateCount;
  QCheckBox* optCompactDB;
  QPushButton *cmdDeleteRow, *cmdClearContent;

  // The pairing method with its old and new name patterns and the note on them.
  QGroupBox* framePairing;
  QComboBox* comboPairing;
  QLineEdit *txtPairingFname, *txtPairingExt, *txtPairingFname2, *txtPairingExt2;
  QLabel *labelPairingDot, *labelPairingDot2, *labelPairPattern, *labelWildcardNote,
      *labelMatchNote;

  // The naming method of the result files with its template and first number.
  QGroupBox* frameResultName;
  QComboBox* comboResultName;
  QLineEdit *txtResultFname, *txtResultExt, *txtInitNo;
  QLabel *labelResultDot, *labelResultName, *labelInitNo;
  QPushButton* cmdGenResultName;

  // The commands along the bottom.
  QPushButton *cmdBatchExecute, *cmdCancel, *cmdHelp, *cmdClose;

 private:
  void Create(QWidget* window, QAbstractItemModel* pairs);
  void LayOut(QWidget* window);
};

}  // namespace verko
