#include "ui/shared/window_helpers.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>

#include "ui/shared/field_values.h"

namespace verko {

QPixmap ProgramIcon(int size) {
  // The same drawing as the icon installed for the desktop's menus.
  QSvgRenderer renderer(QStringLiteral(":/icons/io.github.verko.Verko.svg"));
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(0, 0, size, size));
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
