#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "watcher/ui/Platform.h"

class QAbstractButton;
class QMessageBox;
class QMenu;
class QTimer;

namespace corvana::ui {

class FormBinder;
class HelpWindow;
class X11Windows;

// The window system on Qt Widgets: every registered form gets a real window whose controls mirror
// the models; timers are QTimers; message boxes, modal loops and popup menus run nested event loops,
// so timers and incoming bus calls go on meanwhile. Needs a QApplication.
class QtPlatform : public QObject, public Platform {
 public:
  // helpDirectory holds "<context>.html" pages; empty = "<system directory>/help".
  explicit QtPlatform(QString helpDirectory = {});
  ~QtPlatform() override;

  std::uint32_t TickCount() override;
  void AttachTimer(Timer& timer) override;
  void DetachTimer(Timer& timer) override;
  int ShowMessageBox(const std::string& text, int buttons, const std::string& title) override;
  int ShowMessageDialog(const std::string& text, const std::vector<std::string>& captions,
                        const std::string& title) override;
  std::vector<MessageBoxInfo> OpenMessageBoxes() const override;
  bool AnswerMessageBox(int id, int answer) override;
  void RunModal(Form& form) override;
  void DoEvents() override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  int TwipsPerPixelX() override;
  int TwipsPerPixelY() override;
  Rect WorkArea(WindowId nearWindow) override;
  void SetTopMost(WindowId window, bool topMost) override;
  WindowId ForegroundWindow() override;
  std::int64_t WindowProcessId(WindowId window) override;
  bool SetForegroundWindow(WindowId window) override;
  void EnableWindow(WindowId window, bool enable) override;
  bool IsWindowEnabled(WindowId window) override;
  bool WindowRectPixels(WindowId window, Rect& rect) override;
  void SetWindowIcon(WindowId window, const std::string& iconKey) override;
  void RaiseAbove(WindowId window, WindowId other) override;
  std::string ShowPopupMenu(PopupMenu& menu, Form& owner, const Control* anchor, int x, int y) override;
  const PopupMenu* OpenPopupMenu() const override { return m_OpenMenuModel; }
  bool ChoosePopupMenuKey(const std::string& key) override;
  void ShowHelp(const std::string& helpFile, int contextId) override;
  // Creates the picture 0600; never replaces a file that it did not write itself.
  bool SaveScreenshot(Form& form, const std::string& path) override;
  bool SaveGraphPicture(const OGrGraph& graph, const std::string& path, int width, int height) override;

  // The binder of a registered form (nullptr when unknown); tests reach the widgets through it.
  FormBinder* Binder(const Form& form) const;
  // The help page last shown, for tests.
  QString LastHelpPage() const { return m_LastHelpPage; }

 protected:
  void OnFormRegistered(Form& form) override;
  void OnFormUnregistered(Form& form) override;

 private:
  struct OpenBox {
    int Id;
    MessageBoxInfo Info;
    QPointer<QMessageBox> Box;
    std::vector<QPointer<QAbstractButton>> CaptionButtons;  // a box with captions, in order
    bool Dismissed = false;
  };

  // Runs the box modally while the automation interface can see and answer it; returns the button
  // pressed, nullptr when closed without a choice or dismissed.
  QAbstractButton* ExecBox(QMessageBox& box, MessageBoxInfo info,
                           std::vector<QPointer<QAbstractButton>> captionButtons, bool& dismissed);
  // Ends an open box without a choice and frees it from its parent window, so that the window can
  // go while the box's caller is still on the stack.
  void Dismiss(OpenBox& open);
  // Our window (form or open box) by id; nullptr for another process's window.
  QWidget* OwnWindow(WindowId window) const;
  // The id under which the window operations know a window of the X11 screen.
  WindowId IdOfNativeWindow(std::uint32_t native) const;

  QString m_HelpDirectory;
  QString m_LastHelpPage;
  std::map<const Form*, std::unique_ptr<FormBinder>> m_Binders;
  std::map<Timer*, QTimer*> m_Timers;
  std::vector<OpenBox> m_OpenBoxes;
  int m_NextBoxId = 1;
  QPointer<QMenu> m_OpenMenu;
  const PopupMenu* m_OpenMenuModel = nullptr;
  const Form* m_OpenMenuOwner = nullptr;
  std::optional<std::string> m_ChosenMenuKey;
  QPointer<HelpWindow> m_HelpWindow;
  // Other processes' windows: null when the window system does not show them (Wayland, offscreen).
  std::unique_ptr<X11Windows> m_X11;
  // Screenshots written, by path: device and inode of the file as created.
  using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;
  std::map<std::string, FileIdentity> m_Screenshots;
};

}  // namespace corvana::ui
