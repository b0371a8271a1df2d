#include "tests/desktop/x_desktop.h"

#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

namespace verko::testing {
namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root() {
  return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
}

xcb_atom_t Atom(const char* name) {
  xcb_connection_t* c = Connection();
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

// A property of 32-bit items (CARDINAL, WINDOW, ATOM); empty when absent.
std::vector<uint32_t> Property(xcb_window_t window, const char* name) {
  xcb_connection_t* c = Connection();
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr);
  std::vector<uint32_t> items;
  if (!reply) return items;
  if (reply->format == 32) {
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    items.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return items;
}

// The X window of `window` as its native window holds it now.
xcb_window_t Id(const QWidget* window) {
  const QWindow* native = window->windowHandle();
  return static_cast<xcb_window_t>(native ? native->winId() : window->winId());
}

bool Poll(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    QGuiApplication::processEvents();
    if (done()) return true;
    if (clock.elapsed() > milliseconds) return false;
    QThread::msleep(10);
  }
}

}  // namespace

bool WaitForWindowManager(int milliseconds) {
  if (!Connection()) return false;
  return Poll([] { return !Property(Root(), "_NET_SUPPORTING_WM_CHECK").empty(); }, milliseconds);
}

bool IsManaged(const QWidget* window) {
  const std::vector<uint32_t> clients = Property(Root(), "_NET_CLIENT_LIST");
  return Property(Id(window), "_NET_FRAME_EXTENTS").size() == 4 &&
         std::find(clients.begin(), clients.end(), Id(window)) != clients.end();
}

bool WaitUntilManaged(const QWidget* window, int milliseconds) {
  const bool managed = Poll([window] { return IsManaged(window); }, milliseconds);
  // Let Qt take in the frame margins and the position the manager chose.
  Poll([] { return false; }, 100);
  return managed;
}

QPoint FrameTopLeft(const QWidget* window) {
  xcb_connection_t* c = Connection();
  xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
      c, xcb_translate_coordinates(c, Id(window), Root(), 0, 0), nullptr);
  if (!reply) return QPoint(-100000, -100000);
  QPoint client(reply->dst_x, reply->dst_y);
  std::free(reply);
  const std::vector<uint32_t> extents = Property(Id(window), "_NET_FRAME_EXTENTS");
  if (extents.size() != 4) return client;
  // left, right, top, bottom
  return client - QPoint(static_cast<int>(extents[0]), static_cast<int>(extents[2]));
}

std::vector<unsigned> StackingOrder() {
  std::vector<uint32_t> order = Property(Root(), "_NET_CLIENT_LIST_STACKING");
  return std::vector<unsigned>(order.begin(), order.end());
}

bool IsStackedAbove(const QWidget* upper, const QWidget* lower) {
  const std::vector<unsigned> order = StackingOrder();
  auto up = std::find(order.begin(), order.end(), Id(upper));
  auto low = std::find(order.begin(), order.end(), Id(lower));
  return up != order.end() && low != order.end() && up > low;
}

bool ManagerKeepsAbove(const QWidget* window) {
  const std::vector<uint32_t> states = Property(Id(window), "_NET_WM_STATE");
  return std::find(states.begin(), states.end(), Atom("_NET_WM_STATE_ABOVE")) != states.end();
}

bool ManagerOffers(const QWidget* window, const char* action) {
  const std::vector<uint32_t> actions = Property(Id(window), "_NET_WM_ALLOWED_ACTIONS");
  return std::find(actions.begin(), actions.end(), Atom(action)) != actions.end();
}

QString Describe(const QWidget* window) {
  QString stacking;
  for (unsigned id : StackingOrder()) stacking += QString::number(id, 16) + QLatin1Char(' ');
  return QStringLiteral("%1 id %2; stacking (bottom to top): %3")
      .arg(window->objectName(), QString::number(Id(window), 16), stacking);
}

}  // namespace verko::testing
