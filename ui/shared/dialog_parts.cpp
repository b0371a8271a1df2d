#include "ui/shared/dialog_parts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/shared/natural_breaks.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"

namespace verko {
namespace {

constexpr int kExplanationWidth = 440;

}  // namespace

QLabel* NewDialogIcon(QWidget* parent) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(QStringLiteral("Image1"));
  icon->setPixmap(ProgramIcon(32));
  icon->setFixedSize(32, 32);
  return icon;
}

QLabel* NewExplanation(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QStringLiteral("Label1"));
  // The lines break between phrases, never inside a word.
  label->setText(BreakAtNaturalPoints(text, label->fontMetrics(), kExplanationWidth));
  label->setWordWrap(false);
  label->setMinimumWidth(kExplanationWidth);
  return label;
}

QHBoxLayout* NewDialogHeader(const QString& explanation, QWidget* parent) {
  auto* top = new QHBoxLayout;
  top->addWidget(NewDialogIcon(parent), 0, Qt::AlignTop);
  top->addSpacing(8);
  top->addWidget(NewExplanation(explanation, parent));
  return top;
}

QPushButton* NewDialogButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = NewButton(name, caption, parent);
  button->setDefault(false);
  button->setMinimumWidth(96);
  return button;
}

void LayOutSettingsDialog(QDialog* dialog, const QString& explanation,
                          std::initializer_list<DialogRow> rows,
                          std::initializer_list<QPushButton*> buttons) {
  auto* top = NewDialogHeader(explanation, dialog);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  for (QPushButton* button : buttons) buttonRow->addWidget(button);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(top);
  for (const DialogRow& row : rows) {
    if (QWidget* const* widget = std::get_if<QWidget*>(&row)) {
      layout->addWidget(*widget);
    } else {
      layout->addLayout(std::get<QLayout*>(row));
    }
  }
  layout->addSpacing(4);
  layout->addLayout(buttonRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace verko
