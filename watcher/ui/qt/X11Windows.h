#pragma once

#include <QRect>
#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace corvana::ui {

// Other processes' windows as the X11 window system shows them: the active window, the process
// that owns a window, where it stands, and stacking one window in front of another. Only the xcb
// platform has these; on Wayland and offscreen Open() answers null and callers fall back on what Qt
// can do with their own windows.
class X11Windows {
 public:
  static std::unique_ptr<X11Windows> Open();

  // _NET_ACTIVE_WINDOW of the root window, as the window manager keeps it; 0 when unknown.
  std::uint32_t ActiveWindow() const;
  // _NET_WM_PID of the window; 0 when the window is gone or does not say.
  std::int64_t ProcessOf(std::uint32_t window) const;
  // The window's rectangle on the root window, in pixels; false when the window does not exist.
  bool RootRect(std::uint32_t window, QRect& rect) const;
  // Stacks `window` directly in front of `sibling`: a restack request to the window manager, which
  // owns the stacking of managed windows, and the stacking itself when no manager runs.
  void RaiseAbove(std::uint32_t window, std::uint32_t sibling) const;

 private:
  X11Windows(xcb_connection_t* connection, std::uint32_t root);
  std::uint32_t Atom(const char* name) const;
  // The top-level window (child of the root) that holds `window`: what a reparenting window
  // manager stacks.
  std::uint32_t TopLevelOf(std::uint32_t window) const;

  xcb_connection_t* m_Connection;
  std::uint32_t m_Root;
};

}  // namespace corvana::ui
