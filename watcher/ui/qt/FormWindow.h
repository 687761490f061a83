#pragma once

#include <QWidget>

namespace corvana::ui {

class Form;
class FormBinder;

// The top-level window of a form: routes close requests, resizes, moves and paints to the model.
class FormWindow : public QWidget {
 public:
  FormWindow(Form& form, FormBinder& binder);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  Form& m_Form;
  FormBinder& m_Binder;
};

}  // namespace corvana::ui
