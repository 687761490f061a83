#include "watcher/ui/qt/X11Windows.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

namespace corvana::ui {

namespace {

// xcb replies are malloc'ed and freed by the caller.
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> Take(Reply* reply) {
  return ReplyPtr<Reply>(reply, &std::free);
}

// Source indication of a restack request: a pager, which window managers obey without the
// focus-stealing checks they apply to applications.
constexpr std::uint32_t kSourcePager = 2;

}  // namespace

std::unique_ptr<X11Windows> X11Windows::Open() {
  auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = app ? app->connection() : nullptr;
  if (!connection || xcb_connection_has_error(connection)) return nullptr;
  const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  if (screens.rem == 0) return nullptr;
  return std::unique_ptr<X11Windows>(new X11Windows(connection, screens.data->root));
}

X11Windows::X11Windows(xcb_connection_t* connection, std::uint32_t root)
    : m_Connection(connection), m_Root(root) {}

std::uint32_t X11Windows::Atom(const char* name) const {
  const auto reply = Take(xcb_intern_atom_reply(
      m_Connection, xcb_intern_atom(m_Connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr));
  return reply ? reply->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
}

std::uint32_t X11Windows::ActiveWindow() const {
  const auto reply = Take(xcb_get_property_reply(
      m_Connection,
      xcb_get_property(m_Connection, 0, m_Root, Atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1), nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

std::int64_t X11Windows::ProcessOf(std::uint32_t window) const {
  if (window == 0) return 0;
  const auto reply = Take(xcb_get_property_reply(
      m_Connection, xcb_get_property(m_Connection, 0, window, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
      nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

bool X11Windows::RootRect(std::uint32_t window, QRect& rect) const {
  if (window == 0) return false;
  const auto geometry =
      Take(xcb_get_geometry_reply(m_Connection, xcb_get_geometry(m_Connection, window), nullptr));
  if (!geometry) return false;
  const auto origin = Take(xcb_translate_coordinates_reply(
      m_Connection, xcb_translate_coordinates(m_Connection, window, m_Root, 0, 0), nullptr));
  if (!origin) return false;
  rect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
  return true;
}

std::uint32_t X11Windows::TopLevelOf(std::uint32_t window) const {
  for (std::uint32_t current = window; current != 0;) {
    const auto tree =
        Take(xcb_query_tree_reply(m_Connection, xcb_query_tree(m_Connection, current), nullptr));
    if (!tree) return 0;
    if (tree->parent == m_Root || tree->parent == 0) return current;
    current = tree->parent;
  }
  return 0;
}

void X11Windows::RaiseAbove(std::uint32_t window, std::uint32_t sibling) const {
  const std::uint32_t frame = TopLevelOf(window);
  const std::uint32_t siblingFrame = TopLevelOf(sibling);
  if (frame == 0 || siblingFrame == 0 || frame == siblingFrame) return;

  xcb_client_message_event_t restack{};
  restack.response_type = XCB_CLIENT_MESSAGE;
  restack.format = 32;
  restack.window = window;
  restack.type = Atom("_NET_RESTACK_WINDOW");
  restack.data.data32[0] = kSourcePager;
  restack.data.data32[1] = sibling;
  restack.data.data32[2] = XCB_STACK_MODE_ABOVE;
  xcb_send_event(m_Connection, 0, m_Root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&restack));

  // Under a window manager this becomes a request it may grant; without one it is the stacking.
  const std::uint32_t values[] = {siblingFrame, XCB_STACK_MODE_ABOVE};
  const auto cookie = xcb_configure_window_checked(
      m_Connection, frame, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
  std::free(xcb_request_check(m_Connection, cookie));
}

}  // namespace corvana::ui
