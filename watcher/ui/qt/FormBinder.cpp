#include "watcher/ui/qt/FormBinder.h"

#include <QEventLoop>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "common/ErrorTrap.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/qt/ButtonPictures.h"
#include "watcher/ui/qt/ControlBinder.h"
#include "watcher/ui/qt/FormWindow.h"
#include "watcher/ui/qt/QtPlatform.h"

namespace corvana::ui {

namespace {
// Counts the binder's own changes to the window so their events are not echoed to the model.
class Applying {
 public:
  explicit Applying(int& counter) : m_Counter(counter) { ++m_Counter; }
  ~Applying() { --m_Counter; }

 private:
  int& m_Counter;
};
}  // namespace

FormBinder::FormBinder(Form& form, QtPlatform& platform)
    : m_Form(form), m_Platform(platform), m_Window(std::make_unique<FormWindow>(form, *this)) {
  m_Form.SetObserver([this](Form&, std::string_view property) { OnFormChanged(property); });
  ApplyWindowFlags();
  ApplyGeometry();
  BindNewControls();
}

FormBinder::~FormBinder() {
  for (QEventLoop* loop : m_Loops) loop->quit();
  m_Form.SetObserver(nullptr);
  // Control widgets belong to the window; their binders go first so none outlives its widget.
  m_Binders.clear();
  m_Window.reset();
}

QWidget* FormBinder::Window() const noexcept {
  return m_Window.get();
}

ControlBinder* FormBinder::Binder(std::string_view name) const {
  auto it = m_Binders.find(name);
  return it == m_Binders.end() ? nullptr : it->second.get();
}

QWidget* FormBinder::WidgetFor(std::string_view name) const {
  ControlBinder* binder = Binder(name);
  return binder ? binder->Widget() : nullptr;
}

int FormBinder::ToPixelsX(int twips) const {
  return static_cast<int>(std::lround(twips / static_cast<double>(m_Platform.TwipsPerPixelX())));
}
int FormBinder::ToPixelsY(int twips) const {
  return static_cast<int>(std::lround(twips / static_cast<double>(m_Platform.TwipsPerPixelY())));
}
int FormBinder::ToTwipsX(int pixels) const {
  return pixels * m_Platform.TwipsPerPixelX();
}
int FormBinder::ToTwipsY(int pixels) const {
  return pixels * m_Platform.TwipsPerPixelY();
}

QWidget* FormBinder::ParentFor(const Control& control) const {
  if (!control.Container().empty() && control.Container() != control.Name())
    if (QWidget* frame = WidgetFor(control.Container())) return frame;
  return m_Window.get();
}

void FormBinder::RemoveModalLoop(QEventLoop* loop) {
  m_Loops.erase(std::remove(m_Loops.begin(), m_Loops.end(), loop), m_Loops.end());
}

void FormBinder::BindNewControls() {
  for (const auto& control : m_Form.Controls()) {
    if (m_Binders.count(control->Name())) continue;
    auto binder = ControlBinder::Create(*control, *this);
    if (binder) m_Binders.emplace(control->Name(), std::move(binder));
  }
  // A frame added after its controls takes them in now.
  for (auto& [name, binder] : m_Binders) binder->ApplyParent();
}

void FormBinder::OnFormChanged(std::string_view property) {
  if (property == "ControlAdded") {
    BindNewControls();
  } else if (property == "Caption") {
    m_Window->setWindowTitle(QString::fromStdString(m_Form.Caption()));
  } else if (property == "Icon") {
    m_Window->setWindowIcon(ButtonPictures::Icon(m_Form.IconKey()));
  } else if (property == "Geometry") {
    ApplyGeometry();
  } else if (property == "Visible") {
    ApplyVisible();
  } else if (property == "BorderStyle") {
    ApplyWindowFlags();
  } else if (property == "WindowState") {
    Applying applying(m_Applying);
    switch (m_Form.State()) {
      case WindowState::Minimized: m_Window->setWindowState(Qt::WindowMinimized); break;
      case WindowState::Maximized: m_Window->setWindowState(Qt::WindowMaximized); break;
      case WindowState::Normal: m_Window->setWindowState(Qt::WindowNoState); break;
    }
  } else if (property == "Refresh") {
    m_Window->update();
  }
}

void FormBinder::ApplyGeometry() {
  Applying applying(m_Applying);
  m_Window->move(ToPixelsX(m_Form.Left()), ToPixelsY(m_Form.Top()));
  m_Window->resize(std::max(1, ToPixelsX(m_Form.ScaleWidth())), std::max(1, ToPixelsY(m_Form.ScaleHeight())));
}

void FormBinder::ApplyWindowFlags() {
  Applying applying(m_Applying);
  bool wasVisible = m_Window->isVisible();
  Qt::WindowFlags flags =
      Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
  switch (m_Form.Border()) {
    case BorderStyle::None: flags = Qt::Window | Qt::FramelessWindowHint; break;
    case BorderStyle::FixedToolWindow: flags |= Qt::Tool; break;
    case BorderStyle::Sizable: flags |= Qt::WindowMinMaxButtonsHint; break;
    case BorderStyle::FixedSingle:
    case BorderStyle::FixedDialog: flags |= Qt::MSWindowsFixedSizeDialogHint; break;
  }
  if (m_TopMost) flags |= Qt::WindowStaysOnTopHint;
  m_Window->setWindowFlags(flags);
  // Changing the flags of a shown window hides it.
  if (wasVisible) m_Window->show();
}

void FormBinder::SetTopMost(bool topMost) {
  if (m_TopMost == topMost) return;
  m_TopMost = topMost;
  ApplyWindowFlags();
}

void FormBinder::ApplyVisible() {
  Applying applying(m_Applying);
  if (m_Form.Visible()) {
    if (!m_Window->isVisible())
      m_Window->setWindowModality(m_Form.Modal() ? Qt::ApplicationModal : Qt::NonModal);
    m_Window->show();
    QSize frame = m_Window->frameGeometry().size() - m_Window->size();
    if (frame.width() > 0 || frame.height() > 0)
      m_Form.SetFrameSize(ToTwipsX(frame.width()), ToTwipsY(frame.height()));
  } else {
    m_Window->hide();
    for (QEventLoop* loop : m_Loops) loop->quit();
  }
}

void FormBinder::ReportClientSize(const QSize& size) {
  int frameWidth = m_Form.Width() - m_Form.ScaleWidth();
  int frameHeight = m_Form.Height() - m_Form.ScaleHeight();
  int clientWidth = ToTwipsX(size.width());
  int clientHeight = ToTwipsY(size.height());
  // Pixel rounding must not move a size the model set itself.
  if (ToPixelsX(m_Form.ScaleWidth()) == size.width() && ToPixelsY(m_Form.ScaleHeight()) == size.height())
    return;
  ResumeNext([&] {
    m_Form.BackendResized(clientWidth + frameWidth, clientHeight + frameHeight, clientWidth, clientHeight);
  });
}

void FormBinder::ReportPosition() {
  m_Form.BackendMoved(ToTwipsX(m_Window->x()), ToTwipsY(m_Window->y()));
}

void FormBinder::ReportWindowState() {
  Qt::WindowStates state = m_Window->windowState();
  WindowState model = state & Qt::WindowMinimized   ? WindowState::Minimized
                      : state & Qt::WindowMaximized ? WindowState::Maximized
                                                    : WindowState::Normal;
  m_Form.SetWindowState(model);
}

}  // namespace corvana::ui
