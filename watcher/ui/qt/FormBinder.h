#pragma once

#include <QPointer>
#include <QSize>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;
class QWidget;

namespace corvana::ui {

class Control;
class ControlBinder;
class Form;
class FormWindow;
class QtPlatform;

// Keeps one form's real window in step with its model: creates a binder per control as controls
// are added, converts twips to pixels and back, and runs the form's modal loops.
class FormBinder {
 public:
  FormBinder(Form& form, QtPlatform& platform);
  ~FormBinder();
  FormBinder(const FormBinder&) = delete;
  FormBinder& operator=(const FormBinder&) = delete;

  Form& Model() const noexcept { return m_Form; }
  QWidget* Window() const noexcept;
  QtPlatform& Platform() const noexcept { return m_Platform; }
  ControlBinder* Binder(std::string_view name) const;
  QWidget* WidgetFor(std::string_view name) const;

  int ToPixelsX(int twips) const;
  int ToPixelsY(int twips) const;
  int ToTwipsX(int pixels) const;
  int ToTwipsY(int pixels) const;

  // The widget a control's widget lives in: its frame's, else the window.
  QWidget* ParentFor(const Control& control) const;

  // Nested event loops that end when the form is hidden or gone.
  void AddModalLoop(QEventLoop* loop) { m_Loops.push_back(loop); }
  void RemoveModalLoop(QEventLoop* loop);

  // Keeps the window above others (z-order only).
  void SetTopMost(bool topMost);

  // True while the binder itself changes the window (its events are then not reported back).
  bool ApplyingState() const noexcept { return m_Applying > 0; }
  void ReportClientSize(const QSize& size);
  void ReportPosition();
  void ReportWindowState();

 private:
  void OnFormChanged(std::string_view property);
  void BindNewControls();
  void ApplyGeometry();
  void ApplyVisible();
  void ApplyWindowFlags();

  Form& m_Form;
  QtPlatform& m_Platform;
  std::unique_ptr<FormWindow> m_Window;
  std::map<std::string, std::unique_ptr<ControlBinder>, std::less<>> m_Binders;
  std::vector<QEventLoop*> m_Loops;
  int m_Applying = 0;
  bool m_TopMost = false;
};

}  // namespace corvana::ui
