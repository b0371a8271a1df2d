#include "ui/shared/window_helpers.h"

#include <QLayout>
#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>
#include <QWindow>

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

void PlaceFrameAt(QWidget* window, const QPoint& framePos) {
  // The widget's own position until the window system reports where the window went.
  window->move(framePos);
  // A native window learns whether its position includes the frame only when it is made:
  // it is made, then made again frame-placed. Its size is settled first, so that showing it
  // does not set its geometry (and the client area's position) again.
  if (QLayout* layout = window->layout()) layout->activate();
  (void)window->winId();
  if (QWindow* native = window->windowHandle()) {
    native->destroy();
    native->setFramePosition(framePos);
    native->create();
  }
}

void PlaceBesideMain(QWidget* dialog, const QWidget* main) {
  const double dpi = main->logicalDpiY();
  const QPoint origin = main->pos();  // the frame's corner
  PlaceFrameAt(dialog,
               QPoint(origin.x() + TwipsToPixels(400, dpi), origin.y() + TwipsToPixels(200, dpi)));
}

void SetAlwaysOnTop(QWidget* window, bool on) {
  Qt::WindowFlags flags = window->windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == on) return;
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  QWindow* native = window->windowHandle();
  if (native) {
    // Changing the widget's flags would destroy and re-create its native window (a shown
    // window flickers and loses its place, a placed one forgets how it was placed); the
    // native window takes the new state as it is, and the widget just records it.
    window->overrideWindowFlags(flags);
    native->setFlags(flags);
    return;
  }
  window->setWindowFlags(flags);
}

void KeepAboveOpener(QWidget* window, const QWidget* opener) {
  if (!opener) return;
  SetAlwaysOnTop(window, opener->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

}  // namespace verko
