// The common shape of the small settings dialogs: the program icon beside an explanation,
// the dialog's own rows below, and buttons without a default button (Enter presses none of
// them) at the bottom right.
#pragma once

#include <QString>
#include <initializer_list>
#include <variant>

class QDialog;
class QHBoxLayout;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;

namespace verko {

// The icon picture `Image1` of a dialog.
QLabel* NewDialogIcon(QWidget* parent);
// The explanation `Label1`, its lines broken between phrases.
QLabel* NewExplanation(const QString& text, QWidget* parent);
// The top row of a dialog: the icon, then the explanation.
QHBoxLayout* NewDialogHeader(const QString& explanation, QWidget* parent);
// A button named `name` that is never the default button.
QPushButton* NewDialogButton(const char* name, const QString& caption, QWidget* parent);

// A row of a settings dialog between its header and its buttons: one control, or a layout
// of several.
using DialogRow = std::variant<QWidget*, QLayout*>;

// Lays out a settings dialog from top to bottom: the header with `explanation`, the `rows`,
// and the `buttons` at the right edge. The dialog takes the size its contents need and
// keeps it.
void LayOutSettingsDialog(QDialog* dialog, const QString& explanation,
                          std::initializer_list<DialogRow> rows,
                          std::initializer_list<QPushButton*> buttons);

}  // namespace verko
