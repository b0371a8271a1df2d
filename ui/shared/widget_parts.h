// Small builders of the windows' controls: a widget named for the tests and screenshots that
// find it, a button that Enter never presses, a control that keeps its place when hidden, a
// field that looks read-only when it is; and the text of the core (UTF-8) as Qt holds it.
#pragma once

#include <QString>
#include <string>

class QLineEdit;
class QPushButton;
class QWidget;

namespace verko {

// `widget` with the object name `name`.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// A button named `name` that is never pressed by Enter (not an auto-default button); an
// empty `toolTip` leaves it without one.
QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent,
                       const QString& toolTip = QString());

// A hidden `widget` keeps its place in its layout, so that nothing around it moves when it
// is hidden or shown.
void KeepPlaceWhenHidden(QWidget* widget);

// A field that only shows its text takes the colour of a button's face instead of the
// colour of an entry field.
void SetReadOnlyLook(QLineEdit* field, bool readOnly);

// A UTF-8 text of the core as a QString.
inline QString ToQString(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace verko
