#include "ui/shared/widget_parts.h"

#include <QLineEdit>
#include <QPushButton>

namespace verko {

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent,
                       const QString& toolTip) {
  auto* button = Named(new QPushButton(caption, parent), name);
  if (!toolTip.isEmpty()) button->setToolTip(toolTip);
  button->setAutoDefault(false);
  return button;
}

void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

void SetReadOnlyLook(QLineEdit* field, bool readOnly) {
  field->setReadOnly(readOnly);
  QPalette palette = field->parentWidget()->palette();
  if (readOnly) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  field->setPalette(palette);
}

}  // namespace verko
