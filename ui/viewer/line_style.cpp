#include "ui/viewer/line_style.h"

#include "report/line_colors.h"

namespace verko {
namespace {

QColor Mix(const QColor& base, const QColor& tint, double share) {
  return QColor::fromRgbF(base.redF() * (1 - share) + tint.redF() * share,
                          base.greenF() * (1 - share) + tint.greenF() * share,
                          base.blueF() * (1 - share) + tint.blueF() * share);
}

bool IsDark(const QPalette& palette) {
  return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

QColor LineBackground(LineKind kind, const QPalette& palette) {
  const LineColor color = ColorOfKind(kind);
  if (!color.colored) return QColor();
  return Mix(palette.color(QPalette::Base), QColor::fromRgb(color.rgb),
             IsDark(palette) ? 0.38 : 0.2);
}

QColor ChangedTextBackground(LineKind kind, const QPalette& palette) {
  const LineColor color = ColorOfKind(kind);
  if (!color.colored) return QColor();
  return Mix(palette.color(QPalette::Base), QColor::fromRgb(color.rgb),
             IsDark(palette) ? 0.62 : 0.45);
}

QColor GapBackground(const QPalette& palette) {
  return Mix(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.12);
}

QColor EmptyCellBackground(const QPalette& palette) {
  return Mix(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.05);
}

QColor MutedText(const QPalette& palette) {
  return Mix(palette.color(QPalette::Text), palette.color(QPalette::Base), 0.45);
}

QString LineNumberText(int number, int part) {
  if (number <= 0) return QString();
  return part > 0 ? QStringLiteral("%1~%2").arg(number).arg(part) : QString::number(number);
}

}  // namespace verko
