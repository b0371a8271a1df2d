// The common shape of the small settings dialogs: the program icon beside an explanation,
// and buttons without a default button (Enter presses none of them).
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
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
QPushButton* NewDialogButton(const QString& name, const QString& caption, QWidget* parent);

}  // namespace verko
