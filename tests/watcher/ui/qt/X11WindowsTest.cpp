// The window operations against another client's windows on a real X server (run under Xvfb, with
// no window manager, so the test itself plays the manager's part where one is needed).
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QTest>
#include <cstring>
#include <vector>

#include "tests/support/QtTestSupport.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/QtPlatform.h"

using namespace corvana;
using namespace corvana::ui;

namespace {

constexpr std::uint32_t kOtherProcess = 424242;

// A top-level window of another client: its own connection, as the add-in's host would have.
class ForeignWindow {
 public:
  ForeignWindow(std::int16_t x, std::int16_t y, std::uint16_t width, std::uint16_t height)
      : m_Connection(xcb_connect(nullptr, nullptr)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_Connection)).data;
    m_Root = screen->root;
    m_Id = xcb_generate_id(m_Connection);
    const std::uint32_t values[] = {1};
    xcb_create_window(m_Connection, XCB_COPY_FROM_PARENT, m_Id, m_Root, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_change_property(m_Connection, XCB_PROP_MODE_REPLACE, m_Id, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32,
                        1, &kOtherProcess);
    xcb_map_window(m_Connection, m_Id);
    Sync();
  }
  ~ForeignWindow() {
    xcb_destroy_window(m_Connection, m_Id);
    Sync();
    xcb_disconnect(m_Connection);
  }

  std::uint32_t Id() const { return m_Id; }
  // What a window manager does when this window is activated.
  void BecomeActive() {
    xcb_change_property(m_Connection, XCB_PROP_MODE_REPLACE, m_Root, Atom("_NET_ACTIVE_WINDOW"),
                        XCB_ATOM_WINDOW, 32, 1, &m_Id);
    Sync();
  }
  void Raise() {
    const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(m_Connection, m_Id, XCB_CONFIG_WINDOW_STACK_MODE, above);
    Sync();
  }
  // Root's children from bottom to top.
  std::vector<std::uint32_t> StackingOrder() {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(m_Connection, xcb_query_tree(m_Connection, m_Root), nullptr);
    std::vector<std::uint32_t> order(xcb_query_tree_children(tree),
                                     xcb_query_tree_children(tree) + xcb_query_tree_children_length(tree));
    std::free(tree);
    return order;
  }

 private:
  std::uint32_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_Connection, xcb_intern_atom(m_Connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
  }
  // A round trip: everything sent before is done when it returns.
  void Sync() {
    std::free(xcb_get_input_focus_reply(m_Connection, xcb_get_input_focus(m_Connection), nullptr));
  }

  xcb_connection_t* m_Connection;
  std::uint32_t m_Root = 0;
  std::uint32_t m_Id = 0;
};

class X11WindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { corvana::test::StartApplication<QApplication>("watcher_ui_x11_tests"); }

  QWidget& Show(Form& form) {
    form.Move(1500, 1500, 4500, 3000);
    form.Show();
    QWidget* window = m_Platform.Binder(form)->Window();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    return *window;
  }

  static long Position(const std::vector<std::uint32_t>& order, std::uint32_t window) {
    for (std::size_t i = 0; i < order.size(); ++i)
      if (order[i] == window) return static_cast<long>(i);
    return -1;
  }

  QtPlatform m_Platform{QString()};
};

}  // namespace

TEST_F(X11WindowsTest, SeesTheActiveWindowOfAnotherProcessWithItsProcessAndPlace) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  ForeignWindow host(40, 60, 320, 200);
  host.BecomeActive();
  const WindowId foreground = m_Platform.ForegroundWindow();
  EXPECT_EQ(foreground, host.Id());
  EXPECT_EQ(m_Platform.WindowProcessId(foreground), kOtherProcess);
  Rect rect;
  ASSERT_TRUE(m_Platform.WindowRectPixels(foreground, rect));
  EXPECT_EQ(rect.Left, 40);
  EXPECT_EQ(rect.Top, 60);
  EXPECT_EQ(rect.Width, 320);
  EXPECT_EQ(rect.Height, 200);
  // The host's screen is the one the small window opens on.
  const Rect area = m_Platform.WorkArea(foreground);
  EXPECT_GT(area.Width, 0);

  // A window that is gone is no window.
  EXPECT_FALSE(m_Platform.WindowRectPixels(0x7ffffff0, rect));
  EXPECT_EQ(m_Platform.WindowProcessId(0x7ffffff0), 0);
}

TEST_F(X11WindowsTest, PutsTheWatcherWindowInFrontOfTheHostWhicheverWayTheyAreNamed) {
  Form form(m_Platform, "FormProgress");
  QWidget& ours = Show(form);
  const auto ourWindow = static_cast<std::uint32_t>(ours.winId());
  ForeignWindow host(0, 0, 640, 480);
  PlatformControllerServices services(m_Platform);

  for (bool hostFirst : {true, false}) {
    host.Raise();
    ASSERT_GT(Position(host.StackingOrder(), host.Id()), Position(host.StackingOrder(), ourWindow));
    if (hostFirst)
      services.OrderWindows(host.Id(), form.Id());
    else
      services.OrderWindows(form.Id(), host.Id());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          const auto order = host.StackingOrder();
          return Position(order, ourWindow) > Position(order, host.Id());
        },
        5000))
        << (hostFirst ? "host named first" : "Watcher named first");
  }
}
