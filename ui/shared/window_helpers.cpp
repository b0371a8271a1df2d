#include "ui/shared/window_helpers.h"

#include <QPainter>
#include <QWidget>

#include "ui/shared/field_values.h"

namespace verko {
namespace {

void DrawSheet(QPainter& painter, const QRectF& sheet, const QColor& line) {
  painter.setPen(QPen(QColor(70, 70, 90), sheet.width() / 22.0));
  painter.setBrush(Qt::white);
  painter.drawRect(sheet);
  painter.setPen(QPen(line, sheet.height() / 16.0));
  const double margin = sheet.width() * 0.18;
  for (int i = 1; i <= 5; ++i) {
    double y = sheet.top() + sheet.height() * i / 6.5;
    double right = sheet.right() - margin * (i % 2 == 0 ? 1.8 : 1.0);
    painter.drawLine(QPointF(sheet.left() + margin, y), QPointF(right, y));
  }
}

}  // namespace

QPixmap ProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  DrawSheet(painter, QRectF(s * 0.06, s * 0.06, s * 0.5, s * 0.66), QColor(40, 90, 200));
  DrawSheet(painter, QRectF(s * 0.42, s * 0.28, s * 0.5, s * 0.66), QColor(200, 60, 40));
  return pixmap;
}

void PlaceBesideMain(QWidget* dialog, const QWidget* main) {
  const double dpi = main->logicalDpiY();
  QPoint origin = main->pos();
  dialog->move(origin.x() + TwipsToPixels(400, dpi), origin.y() + TwipsToPixels(200, dpi));
}

void SetAlwaysOnTop(QWidget* window, bool on) {
  if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) window->show();
}

}  // namespace verko
