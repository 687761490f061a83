#include "watcher/ui/qt/FormWindow.h"

#include <QCloseEvent>
#include <QResizeEvent>

#include "common/ErrorTrap.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/qt/FormBinder.h"

namespace corvana::ui {

FormWindow::FormWindow(Form& form, FormBinder& binder) : QWidget(nullptr), m_Form(form), m_Binder(binder) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setObjectName(QString::fromStdString(form.Name()));
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The model decides: an accepted unload hides the window through the binder.
  event->ignore();
  if (m_Binder.ApplyingState()) return;
  ResumeNext([&] { m_Form.BackendCloseRequest(kUnloadFormControlMenu); });
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (m_Binder.ApplyingState()) return;
  m_Binder.ReportClientSize(event->size());
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (m_Binder.ApplyingState()) return;
  m_Binder.ReportPosition();
}

void FormWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  ResumeNext([&] { m_Form.BackendPaint(); });
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !m_Binder.ApplyingState()) m_Binder.ReportWindowState();
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_Form.Activate)
    ResumeNext([&] { m_Form.Activate(); });
}

}  // namespace corvana::ui
