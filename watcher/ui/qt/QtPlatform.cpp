#include "watcher/ui/qt/QtPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>

#include "common/ErrorTrap.h"
#include "suite/objectlib/SuiteFolders.h"
#include "watcher/graph/render/OGrGraphRenderer.h"
#include "watcher/ui/Control.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/Timer.h"
#include "watcher/ui/qt/ButtonPictures.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/HelpWindow.h"
#include "watcher/ui/qt/X11Windows.h"

namespace corvana::ui {

namespace {

QMessageBox::StandardButton ToQt(int answer) {
  switch (answer) {
    case MsgBox::kOK: return QMessageBox::Ok;
    case MsgBox::kCancel: return QMessageBox::Cancel;
    case MsgBox::kAbort: return QMessageBox::Abort;
    case MsgBox::kRetry: return QMessageBox::Retry;
    case MsgBox::kIgnore: return QMessageBox::Ignore;
    case MsgBox::kYes: return QMessageBox::Yes;
    case MsgBox::kNo: return QMessageBox::No;
  }
  return QMessageBox::NoButton;
}

// Escape and the window's close button leave a box with captions without a choice; a message box
// without a standard escape button would otherwise refuse both.
class DismissWithoutChoice : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool escape =
        event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel);
    if (!escape && event->type() != QEvent::Close) return false;
    static_cast<QMessageBox*>(watched)->reject();
    return true;
  }
};

// The answer of a box ended without a choice: Cancel where offered, else No, else as Escape.
int DismissAnswer(int buttons) {
  const auto offered = MsgBox::Answers(buttons);
  for (int answer : {MsgBox::kCancel, MsgBox::kNo})
    if (std::find(offered.begin(), offered.end(), answer) != offered.end()) return answer;
  return MsgBox::EscapeAnswer(buttons);
}

int TwipsPerPixel(int dpi) {
  return std::max(1, static_cast<int>(std::lround(kTwipsPerInch / static_cast<double>(std::max(dpi, 1)))));
}

}  // namespace

QtPlatform::QtPlatform(QString helpDirectory)
    : m_HelpDirectory(std::move(helpDirectory)), m_X11(X11Windows::Open()) {
  if (m_HelpDirectory.isEmpty())
    m_HelpDirectory = QDir(QString::fromStdString(SuiteFolders::SystemDirectory())).filePath("help");
}

QtPlatform::~QtPlatform() {
  for (auto& [timer, qtimer] : m_Timers) {
    timer->SetObserver(nullptr);
    timer->SetAttachedPlatform(nullptr);
    delete qtimer;
  }
  m_Timers.clear();
  m_Binders.clear();
  delete m_HelpWindow.data();
}

std::uint32_t QtPlatform::TickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

void QtPlatform::AttachTimer(Timer& timer) {
  if (timer.AttachedPlatform() && timer.AttachedPlatform() != this)
    timer.AttachedPlatform()->DetachTimer(timer);
  if (m_Timers.count(&timer)) return;
  auto* qtimer = new QTimer(this);
  qtimer->setTimerType(Qt::PreciseTimer);
  m_Timers.emplace(&timer, qtimer);
  timer.SetAttachedPlatform(this);
  Timer* model = &timer;
  QObject::connect(qtimer, &QTimer::timeout, this, [model] { model->Fire(); });
  auto apply = [model, qtimer] {
    if (model->Enabled() && model->Interval() > 0)
      qtimer->start(model->Interval());  // restarts the count, as enabling a timer does
    else
      qtimer->stop();
  };
  timer.SetObserver([apply](Control&, std::string_view property) {
    if (property == "Enabled" || property == "Interval") apply();
  });
  apply();
}

void QtPlatform::DetachTimer(Timer& timer) {
  auto it = m_Timers.find(&timer);
  if (it == m_Timers.end()) return;
  it->second->stop();
  it->second->deleteLater();
  m_Timers.erase(it);
  timer.SetObserver(nullptr);
  timer.SetAttachedPlatform(nullptr);
}

int QtPlatform::ShowMessageBox(const std::string& text, int buttons, const std::string& title) {
  // On the heap: the parent window may be destroyed while the box is open (see Dismiss).
  QPointer<QMessageBox> box = new QMessageBox(QApplication::activeWindow());
  box->setWindowTitle(QString::fromStdString(title.empty() ? std::string(MsgBox::kDefaultTitle) : title));
  box->setText(QString::fromStdString(text));
  switch (buttons & 0x70) {
    case MsgBox::kCritical: box->setIcon(QMessageBox::Critical); break;
    case MsgBox::kQuestion: box->setIcon(QMessageBox::Question); break;
    case MsgBox::kExclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgBox::kInformation: box->setIcon(QMessageBox::Information); break;
    default: break;
  }
  auto answers = MsgBox::Answers(buttons);
  std::map<QAbstractButton*, int> answerOf;
  for (int answer : answers) answerOf[box->addButton(ToQt(answer))] = answer;
  std::size_t defaultIndex = (buttons & MsgBox::kDefaultButton2) && answers.size() > 1 ? 1 : 0;
  box->setDefaultButton(ToQt(answers[defaultIndex]));
  box->setEscapeButton(box->button(ToQt(MsgBox::EscapeAnswer(buttons))));
  bool dismissed = false;
  QAbstractButton* clicked =
      ExecBox(*box, MessageBoxInfo{0, box->windowTitle().toStdString(), text, buttons, {}}, {}, dismissed);
  const auto it = answerOf.find(clicked);
  const int answer = it != answerOf.end() && !dismissed ? it->second
                     : dismissed                        ? DismissAnswer(buttons)
                                                        : MsgBox::EscapeAnswer(buttons);
  delete box.data();
  return answer;
}

int QtPlatform::ShowMessageDialog(const std::string& text, const std::vector<std::string>& captions,
                                  const std::string& title) {
  QPointer<QMessageBox> box = new QMessageBox(QApplication::activeWindow());
  box->setWindowTitle(QString::fromStdString(title.empty() ? std::string(MsgBox::kDefaultTitle) : title));
  box->setText(QString::fromStdString(text));
  std::vector<QPointer<QAbstractButton>> buttons;
  // One role for all keeps the buttons in the caller's order.
  for (const std::string& caption : captions)
    buttons.emplace_back(box->addButton(QString::fromStdString(caption), QMessageBox::ActionRole));
  if (!buttons.empty()) box->setDefaultButton(qobject_cast<QPushButton*>(buttons.front().data()));
  auto* dismiss = new DismissWithoutChoice;
  dismiss->setParent(box);
  box->installEventFilter(dismiss);
  bool dismissed = false;
  QAbstractButton* clicked = ExecBox(
      *box, MessageBoxInfo{0, box->windowTitle().toStdString(), text, 0, captions}, buttons, dismissed);
  const auto it = std::find(buttons.begin(), buttons.end(), clicked);
  const int answer =
      clicked && !dismissed && it != buttons.end() ? static_cast<int>(it - buttons.begin()) + 1 : 0;
  delete box.data();
  return answer;
}

QAbstractButton* QtPlatform::ExecBox(QMessageBox& box, MessageBoxInfo info,
                                     std::vector<QPointer<QAbstractButton>> captionButtons, bool& dismissed) {
  const int id = m_NextBoxId++;
  info.Id = id;
  info.Window = NewWindowId();
  QPointer<QMessageBox> guard(&box);
  m_OpenBoxes.push_back(OpenBox{id, std::move(info), &box, std::move(captionButtons)});
  box.exec();
  const auto it =
      std::find_if(m_OpenBoxes.begin(), m_OpenBoxes.end(), [&](const OpenBox& b) { return b.Id == id; });
  dismissed = !guard || (it != m_OpenBoxes.end() && it->Dismissed);
  if (it != m_OpenBoxes.end()) m_OpenBoxes.erase(it);
  return guard && !dismissed ? box.clickedButton() : nullptr;
}

void QtPlatform::Dismiss(OpenBox& open) {
  open.Dismissed = true;
  if (!open.Box) return;
  QMessageBox* box = open.Box;
  box->setParent(nullptr, box->windowFlags());
  box->done(QDialog::Rejected);
}

std::vector<MessageBoxInfo> QtPlatform::OpenMessageBoxes() const {
  std::vector<MessageBoxInfo> result;
  for (const auto& open : m_OpenBoxes) result.push_back(open.Info);
  return result;
}

bool QtPlatform::AnswerMessageBox(int id, int answer) {
  for (auto& open : m_OpenBoxes) {
    if (open.Id != id || !open.Box || open.Dismissed) continue;
    QAbstractButton* button = nullptr;
    if (open.Info.Captions.empty())
      button = open.Box->button(ToQt(answer));
    else if (answer >= 1 && static_cast<std::size_t>(answer) <= open.CaptionButtons.size())
      button = open.CaptionButtons[static_cast<std::size_t>(answer) - 1];
    if (!button) return false;
    // Clicked from the event loop: the caller (an incoming call) returns before the box's owner goes on.
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    return true;
  }
  return false;
}

void QtPlatform::RunModal(Form& form) {
  FormBinder* binder = Binder(form);
  if (!binder || !form.Visible()) return;
  const Form* key = &form;
  QEventLoop loop;
  binder->AddModalLoop(&loop);
  EnterModal(form.Id());
  loop.exec(QEventLoop::DialogExec);
  LeaveModal();
  // The form may have been destroyed while its loop ran.
  auto it = m_Binders.find(key);
  if (it != m_Binders.end()) it->second->RemoveModalLoop(&loop);
}

void QtPlatform::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

std::string QtPlatform::ClipboardText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

void QtPlatform::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

int QtPlatform::TwipsPerPixelX() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? TwipsPerPixel(static_cast<int>(std::lround(screen->logicalDotsPerInchX()))) : 15;
}

int QtPlatform::TwipsPerPixelY() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? TwipsPerPixel(static_cast<int>(std::lround(screen->logicalDotsPerInchY()))) : 15;
}

Rect QtPlatform::WorkArea(WindowId nearWindow) {
  QScreen* screen = nullptr;
  Rect near;
  if (nearWindow != 0 && WindowRectPixels(nearWindow, near))
    screen = QGuiApplication::screenAt(QPoint(near.Left + near.Width / 2, near.Top + near.Height / 2));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return Rect{0, 0, 1024 * 15, 768 * 15};
  QRect area = screen->availableGeometry();
  int tx = TwipsPerPixelX();
  int ty = TwipsPerPixelY();
  return Rect{area.x() * tx, area.y() * ty, area.width() * tx, area.height() * ty};
}

void QtPlatform::SetTopMost(WindowId window, bool topMost) {
  if (Form* form = FindForm(window))
    if (FormBinder* binder = Binder(*form)) binder->SetTopMost(topMost);
}

WindowId QtPlatform::ForegroundWindow() {
  QWidget* active = QApplication::activeWindow();
  for (auto& [form, binder] : m_Binders)
    if (binder->Window() == active && active) return form->Id();
  return m_X11 ? IdOfNativeWindow(m_X11->ActiveWindow()) : 0;
}

std::int64_t QtPlatform::WindowProcessId(WindowId window) {
  if (window == 0) return 0;
  if (OwnWindow(window)) return QCoreApplication::applicationPid();
  return m_X11 && window <= UINT32_MAX ? m_X11->ProcessOf(static_cast<std::uint32_t>(window)) : 0;
}

bool QtPlatform::SetForegroundWindow(WindowId window) {
  Form* form = FindForm(window);
  FormBinder* binder = form ? Binder(*form) : nullptr;
  if (!binder || !binder->Window()->isVisible()) return false;
  binder->Window()->raise();
  binder->Window()->activateWindow();
  return true;
}

void QtPlatform::EnableWindow(WindowId window, bool enable) {
  Form* form = FindForm(window);
  if (FormBinder* binder = form ? Binder(*form) : nullptr) binder->Window()->setEnabled(enable);
}

bool QtPlatform::IsWindowEnabled(WindowId window) {
  Form* form = FindForm(window);
  FormBinder* binder = form ? Binder(*form) : nullptr;
  return binder && binder->Window()->isEnabled();
}

bool QtPlatform::WindowRectPixels(WindowId window, Rect& rect) {
  QRect frame;
  if (QWidget* own = OwnWindow(window))
    frame = own->frameGeometry();
  else if (!m_X11 || window == 0 || window > UINT32_MAX ||
           !m_X11->RootRect(static_cast<std::uint32_t>(window), frame))
    return false;
  rect = Rect{frame.x(), frame.y(), frame.width(), frame.height()};
  return true;
}

void QtPlatform::SetWindowIcon(WindowId window, const std::string& iconKey) {
  Form* form = FindForm(window);
  if (FormBinder* binder = form ? Binder(*form) : nullptr)
    binder->Window()->setWindowIcon(ButtonPictures::Icon(iconKey));
}

void QtPlatform::RaiseAbove(WindowId window, WindowId other) {
  QWidget* own = OwnWindow(window);
  if (!own || !own->isVisible()) return;
  if (m_X11 && other != 0 && other <= UINT32_MAX) {
    const WindowId otherOwn = OwnWindow(other) ? static_cast<WindowId>(OwnWindow(other)->winId()) : other;
    m_X11->RaiseAbove(static_cast<std::uint32_t>(own->winId()), static_cast<std::uint32_t>(otherOwn));
    return;
  }
  // Qt alone cannot stack against another process's window: bring ours to the front instead.
  if (FindForm(window)) {
    Platform::RaiseAbove(window, other);
    return;
  }
  own->raise();
  own->activateWindow();
}

QWidget* QtPlatform::OwnWindow(WindowId window) const {
  if (window == 0) return nullptr;
  if (Form* form = FindForm(window))
    if (FormBinder* binder = Binder(*form)) return binder->Window();
  for (const OpenBox& open : m_OpenBoxes)
    if (open.Info.Window == window) return open.Box.data();
  return nullptr;
}

WindowId QtPlatform::IdOfNativeWindow(std::uint32_t native) const {
  if (native == 0) return 0;
  for (const auto& [form, binder] : m_Binders)
    if (binder->Window()->internalWinId() == native) return form->Id();
  for (const OpenBox& open : m_OpenBoxes)
    if (open.Box && open.Box->internalWinId() == native) return open.Info.Window;
  return native;
}

std::string QtPlatform::ShowPopupMenu(PopupMenu& menu, Form& owner, const Control* anchor, int x, int y) {
  FormBinder* binder = Binder(owner);
  if (!binder) return {};
  QWidget* origin = anchor ? binder->WidgetFor(anchor->Name()) : nullptr;
  if (!origin) origin = binder->Window();
  // On the heap and guarded: the owner's window may go while the menu is open.
  QPointer<QMenu> qmenu = new QMenu(origin);
  for (const auto& entry : menu.Entries()) {
    if (!entry.Visible) continue;
    QAction* action = qmenu->addAction(QString::fromStdString(entry.Caption));
    action->setData(QString::fromStdString(entry.Key));
    action->setCheckable(entry.Checked);
    action->setChecked(entry.Checked);
    action->setEnabled(entry.Enabled);
  }
  QPoint position = origin->mapToGlobal(QPoint(binder->ToPixelsX(x), binder->ToPixelsY(y)));
  m_OpenMenu = qmenu;
  m_OpenMenuModel = &menu;
  m_OpenMenuOwner = &owner;
  m_ChosenMenuKey.reset();
  QAction* chosen = qmenu->exec(position);
  const std::string key = !qmenu            ? std::string()
                          : m_ChosenMenuKey ? *m_ChosenMenuKey
                          : chosen          ? chosen->data().toString().toStdString()
                                            : std::string();
  m_OpenMenu = nullptr;
  m_OpenMenuModel = nullptr;
  m_OpenMenuOwner = nullptr;
  m_ChosenMenuKey.reset();
  delete qmenu.data();
  return key;
}

bool QtPlatform::ChoosePopupMenuKey(const std::string& key) {
  if (!m_OpenMenu || !m_OpenMenuModel) return false;
  if (!key.empty() && !m_OpenMenuModel->CanChoose(key)) return false;
  m_ChosenMenuKey = key;
  m_OpenMenu->close();
  return true;
}

void QtPlatform::ShowHelp(const std::string& /*helpFile*/, int contextId) {
  // The help set is one page per context number in the suite's help folder.
  QString page = QDir(m_HelpDirectory).filePath(QString::number(contextId) + ".html");
  if (!m_HelpWindow) m_HelpWindow = new HelpWindow();
  m_HelpWindow->ShowPage(page, contextId);
  m_LastHelpPage = page;
}

namespace {
// The window as a user sees it: its caption over its contents. A grab has no frame of its own
// (offscreen there is none at all), so the caption is drawn as a title bar.
QImage WithTitleBar(QWidget& window) {
  const QImage contents = window.grab().toImage();
  QFont font = window.font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int bar = metrics.height() + 10;
  QImage shot(contents.width(), contents.height() + bar, QImage::Format_RGB32);
  shot.setDevicePixelRatio(contents.devicePixelRatio());
  QPainter painter(&shot);
  painter.fillRect(QRect(0, 0, contents.width(), bar), QColor(60, 60, 64));
  painter.setPen(Qt::white);
  painter.setFont(font);
  painter.drawText(QRect(8, 0, contents.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   metrics.elidedText(window.windowTitle(), Qt::ElideRight, contents.width() - 16));
  painter.drawImage(0, bar, contents);
  return shot;
}
}  // namespace

bool QtPlatform::SaveScreenshot(Form& form, const std::string& path) {
  FormBinder* binder = Binder(form);
  if (!binder) return false;
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !WithTitleBar(*binder->Window()).save(&buffer, "PNG"))
    return false;
  // A new file only, private to the user; a file this platform wrote before may be written again.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) {
    const auto written = m_Screenshots.find(path);
    if (written == m_Screenshots.end()) return false;
    fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (fd >= 0 &&
        (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
         FileIdentity{status.st_dev, status.st_ino} != written->second || ::ftruncate(fd, 0) != 0)) {
      ::close(fd);
      return false;
    }
  }
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0600) == 0;
  for (qsizetype done = 0; ok && done < png.size();) {
    const ssize_t n = ::write(fd, png.constData() + done, static_cast<std::size_t>(png.size() - done));
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    done += n > 0 ? n : 0;
  }
  struct stat status {};
  if (ok && ::fstat(fd, &status) == 0) m_Screenshots[path] = FileIdentity{status.st_dev, status.st_ino};
  return ::close(fd) == 0 && ok;
}

bool QtPlatform::SaveGraphPicture(const OGrGraph& graph, const std::string& path, int width, int height) {
  return OGrGraphRenderer::SavePng(graph, QString::fromStdString(path), width, height);
}

FormBinder* QtPlatform::Binder(const Form& form) const {
  auto it = m_Binders.find(&form);
  return it == m_Binders.end() ? nullptr : it->second.get();
}

void QtPlatform::OnFormRegistered(Form& form) {
  m_Binders[&form] = std::make_unique<FormBinder>(form, *this);
}

void QtPlatform::OnFormUnregistered(Form& form) {
  auto it = m_Binders.find(&form);
  if (it == m_Binders.end()) return;
  // Boxes and the menu opened over this window are ended before it goes, as Cancel or No.
  const QWidget* window = it->second->Window();
  for (auto& open : m_OpenBoxes) {
    for (const QWidget* parent = open.Box ? open.Box->parentWidget() : nullptr; parent;
         parent = parent->parentWidget())
      if (parent == window) {
        Dismiss(open);
        break;
      }
  }
  if (m_OpenMenuOwner == &form) {
    m_OpenMenuModel = nullptr;
    m_OpenMenuOwner = nullptr;
    m_ChosenMenuKey.reset();
    if (m_OpenMenu) m_OpenMenu->close();
  }
  m_Binders.erase(it);
}

}  // namespace corvana::ui
