#include "ui/shared/dialog_parts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/shared/natural_breaks.h"
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

QPushButton* NewDialogButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setMinimumWidth(96);
  return button;
}

}  // namespace verko
