#include "ui/shared/window_helpers.h"

#include <QApplication>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <limits>

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

namespace {

// The area `frame` overlaps most, else the one nearest to its centre.
const QRect& NearestArea(const QRect& frame, const QList<QRect>& areas) {
  const QRect* nearest = &areas.front();
  long long most = 0;
  long long closest = std::numeric_limits<long long>::max();
  const QPoint centre = frame.center();
  for (const QRect& area : areas) {
    const QRect common = area.intersected(frame);
    const long long overlap = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
    const long long dx = std::max({area.left() - centre.x(), 0, centre.x() - area.right()});
    const long long dy = std::max({area.top() - centre.y(), 0, centre.y() - area.bottom()});
    const long long distance = dx * dx + dy * dy;
    if (overlap > most || (most == 0 && overlap == 0 && distance < closest)) {
      nearest = &area;
      most = overlap;
      closest = distance;
    }
  }
  return *nearest;
}

// The frame the window manager puts around `window`: its own once it has one. Before that,
// a title bar and borders as large as those of the program's other windows, and at least
// a usual title bar and borders (a resizable window may get wider borders than a fixed one).
QMargins ExpectedFrameMargins(const QWidget* window) {
  auto framed = [](const QWidget* widget) {
    const QWindow* native = widget->windowHandle();
    return native && widget->isVisible() ? native->frameMargins() : QMargins();
  };
  if (const QMargins own = framed(window); !own.isNull()) return own;
  constexpr int kBorder = 4;
  QMargins expected(kBorder, 2 * window->fontMetrics().height(), kBorder, kBorder);
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    const QMargins margins = framed(other);
    expected = QMargins(
        std::max(expected.left(), margins.left()), std::max(expected.top(), margins.top()),
        std::max(expected.right(), margins.right()), std::max(expected.bottom(), margins.bottom()));
  }
  return expected;
}

// `frame` moved so that it lies wholly within one of `areas` (the one it overlaps most, else
// the nearest); a frame larger than that area keeps its top-left corner on it. A frame
// that already lies within an area comes back as it is.
QRect FitIntoAreas(const QRect& frame, const QList<QRect>& areas) {
  if (areas.isEmpty()) return frame;
  for (const QRect& area : areas) {
    if (area.contains(frame)) return frame;
  }
  const QRect& area = NearestArea(frame, areas);
  QRect fitted = frame;
  fitted.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
  fitted.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
  return fitted;
}

}  // namespace

void BringOnScreen(QWidget* window) {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  if (areas.isEmpty()) return;
  const QMargins margins = ExpectedFrameMargins(window);
  // A window never placed by the program is placed by the window manager, on the screen of
  // the window that opened it: there it only has to fit.
  const bool placed = window->isVisible() || window->testAttribute(Qt::WA_Moved);
  QRect frame(window->pos(), window->size().grownBy(margins));
  const QRect area = placed ? NearestArea(frame, areas) : window->screen()->availableGeometry();
  const QSize room = area.size().shrunkBy(margins);
  const QSize fitted = window->size().boundedTo(room).expandedTo(window->minimumSize());
  if (fitted != window->size()) window->resize(fitted);
  if (!placed) return;
  frame.setSize(window->size().grownBy(margins));
  const QRect onScreen = FitIntoAreas(frame, areas);
  if (onScreen.topLeft() != frame.topLeft()) window->move(onScreen.topLeft());
}

void PlaceFrameAt(QWidget* window, const QPoint& framePos) {
  // The widget's own position until the window system reports where the window went.
  window->move(framePos);
  // A native window learns whether its position includes the frame only when it is made:
  // it is made, then made again frame-placed. Its size is settled first, so that showing it
  // does not set its geometry (and the client area's position) again.
  if (QLayout* layout = window->layout()) layout->activate();
  BringOnScreen(window);
  (void)window->winId();
  if (QWindow* native = window->windowHandle()) {
    native->destroy();
    native->setFramePosition(window->pos());
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
