#include "watcher/ui/qt/ControlBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "common/ErrorTrap.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/GraphControl.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/PictureBox.h"
#include "watcher/ui/ProgressBar.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/qt/ButtonPictures.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/GraphWidget.h"
#include "watcher/ui/qt/GridBinder.h"
#include "watcher/ui/qt/PictureWidget.h"

namespace corvana::ui {

namespace {

Qt::Alignment ToQt(Alignment alignment) {
  switch (alignment) {
    case Alignment::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::Left: break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

class LabelBinder : public ControlBinder {
 public:
  LabelBinder(Label& label, FormBinder& form) : ControlBinder(label, form), m_Label(label) {
    Attach(new QLabel(form.ParentFor(label)));
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QLabel*>(Widget());
    if (All(property) || property == "Caption" || property == "Divider") {
      w->setText(m_Label.IsDivider() ? QString() : Text(m_Label.Caption()));
      w->setFrameStyle(m_Label.IsDivider() ? (QFrame::HLine | QFrame::Sunken) : QFrame::NoFrame);
    }
    if (All(property) || property == "Alignment")
      w->setAlignment(ToQt(m_Label.TextAlignment()) | (m_Label.WordWrap() ? Qt::AlignTop : Qt::Alignment()));
    if (All(property) || property == "WordWrap") w->setWordWrap(m_Label.WordWrap());
  }
  void LeftReleased() override {
    if (m_Label.Click) ResumeNext([&] { m_Label.Click(); });
  }

 private:
  Label& m_Label;
};

class TextBoxBinder : public ControlBinder {
 public:
  TextBoxBinder(TextBox& box, FormBinder& form) : ControlBinder(box, form), m_Box(box) {
    auto* edit = new QLineEdit(form.ParentFor(box));
    Attach(edit);
    QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (!Updating()) ResumeNext([&] { m_Box.UserSetText(text.toStdString()); });
    });
    QObject::connect(edit, &QLineEdit::returnPressed, this,
                     [this] { ResumeNext([&] { m_Box.UserKeyPress(13); }); });
    QObject::connect(edit, &QLineEdit::editingFinished, this,
                     [this] { ResumeNext([&] { m_Box.UserLostFocus(); }); });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QLineEdit*>(Widget());
    UpdateScope scope(*this);
    if ((All(property) || property == "Text") && w->text().toStdString() != m_Box.Text())
      w->setText(Text(m_Box.Text()));
    if (All(property) || property == "Locked") w->setReadOnly(m_Box.Locked());
    if (All(property) || property == "Flat") w->setFrame(!m_Box.Flat());
    if (All(property) || property == "Alignment") w->setAlignment(ToQt(m_Box.TextAlignment()));
  }

 private:
  TextBox& m_Box;
};

class ButtonBinder : public ControlBinder {
 public:
  ButtonBinder(Button& button, FormBinder& form) : ControlBinder(button, form), m_Button(button) {
    auto* push = new QPushButton(form.ParentFor(button));
    push->setCheckable(true);
    Attach(push);
    QObject::connect(push, &QPushButton::clicked, this, [this] {
      QPointer<ControlBinder> self(this);
      ResumeNext([&] { m_Button.UserClick(); });
      // The pressed look is the model's, not a toggle of the widget.
      if (self && Widget()) SyncKind("Pressed");
    });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QPushButton*>(Widget());
    UpdateScope scope(*this);
    if (All(property) || property == "Caption" || property == "DropDown")
      w->setText(Text(m_Button.Caption()) +
                 (m_Button.HasDropDown() ? QString::fromUtf8(" \u25BE") : QString()));
    if (All(property) || property == "PictureKey" || property == "Geometry") {
      w->setIcon(ButtonPictures::Icon(m_Button.PictureKey()));
      int side = std::clamp(w->height() - 10, 12, 32);
      w->setIconSize(QSize(side, side));
    }
    if (All(property) || property == "Pressed") w->setChecked(m_Button.Pressed());
  }

 private:
  Button& m_Button;
};

class CheckBoxBinder : public ControlBinder {
 public:
  CheckBoxBinder(CheckBox& box, FormBinder& form) : ControlBinder(box, form), m_Box(box) {
    auto* check = new QCheckBox(form.ParentFor(box));
    Attach(check);
    QObject::connect(check, &QCheckBox::clicked, this, [this] {
      if (Updating()) return;
      QPointer<ControlBinder> self(this);
      ResumeNext([&] { m_Box.UserClick(); });
      if (self && Widget()) SyncKind("Value");
    });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QCheckBox*>(Widget());
    UpdateScope scope(*this);
    if (All(property) || property == "Caption") w->setText(Text(m_Box.Caption()));
    if (All(property) || property == "Value") {
      w->setTristate(m_Box.Value() == kGrayed);
      w->setCheckState(m_Box.Value() == kChecked  ? Qt::Checked
                       : m_Box.Value() == kGrayed ? Qt::PartiallyChecked
                                                  : Qt::Unchecked);
    }
  }

 private:
  CheckBox& m_Box;
};

class ComboBoxBinder : public ControlBinder {
 public:
  ComboBoxBinder(ComboBox& combo, FormBinder& form) : ControlBinder(combo, form), m_Combo(combo) {
    auto* box = new QComboBox(form.ParentFor(combo));
    Attach(box);
    QObject::connect(box, &QComboBox::activated, this, [this](int index) {
      if (Updating()) return;
      QPointer<ControlBinder> self(this);
      ResumeNext([&] { m_Combo.UserSelect(index); });
      if (self && Widget()) SyncKind("ListIndex");
    });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QComboBox*>(Widget());
    UpdateScope scope(*this);
    if (All(property) || property == "List") {
      w->clear();
      for (const auto& item : m_Combo.Items()) w->addItem(Text(item));
    }
    if (All(property) || property == "List" || property == "ListIndex")
      w->setCurrentIndex(m_Combo.ListIndex());
  }

 private:
  ComboBox& m_Combo;
};

class ScrollBarBinder : public ControlBinder {
 public:
  ScrollBarBinder(ScrollBar& bar, FormBinder& form) : ControlBinder(bar, form), m_Bar(bar) {
    auto* scroll = new QScrollBar(bar.Horizontal() ? Qt::Horizontal : Qt::Vertical, form.ParentFor(bar));
    Attach(scroll);
    QObject::connect(scroll, &QScrollBar::valueChanged, this, [this, scroll](int value) {
      if (Updating()) return;
      ResumeNext([&] {
        if (scroll->isSliderDown())
          m_Bar.UserScroll(value);
        else
          m_Bar.UserSetValue(value);
      });
    });
    QObject::connect(scroll, &QScrollBar::sliderReleased, this,
                     [this] { ResumeNext([&] { m_Bar.UserEndScroll(); }); });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QScrollBar*>(Widget());
    UpdateScope scope(*this);
    if (All(property) || property == "Range" || property == "Value") {
      w->setRange(std::min(m_Bar.Min(), m_Bar.Max()), std::max(m_Bar.Min(), m_Bar.Max()));
      w->setInvertedAppearance(m_Bar.Min() > m_Bar.Max());
      w->setValue(m_Bar.Value());
    }
    if (All(property) || property == "SmallChange") w->setSingleStep(m_Bar.SmallChange());
    if (All(property) || property == "LargeChange") w->setPageStep(m_Bar.LargeChange());
  }

 private:
  ScrollBar& m_Bar;
};

class FrameBinder : public ControlBinder {
 public:
  FrameBinder(Frame& frame, FormBinder& form) : ControlBinder(frame, form), m_Frame(frame) {
    Attach(new QGroupBox(form.ParentFor(frame)));
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QGroupBox*>(Widget());
    if (All(property) || property == "Caption") w->setTitle(Text(m_Frame.Caption()));
    if (All(property) || property == "Border")
      w->setStyleSheet(m_Frame.BorderVisible() ? QString()
                                               : QString("QGroupBox { border: 0; margin: 0; padding: 0; }"));
  }

 private:
  Frame& m_Frame;
};

class TabControlBinder : public ControlBinder {
 public:
  TabControlBinder(TabControl& tabs, FormBinder& form) : ControlBinder(tabs, form), m_Tabs(tabs) {
    auto* bar = new QTabBar(form.ParentFor(tabs));
    bar->setExpanding(false);
    bar->setUsesScrollButtons(true);
    Attach(bar);
    QObject::connect(bar, &QTabBar::currentChanged, this, [this](int index) {
      if (Updating() || index < 0) return;
      QPointer<ControlBinder> self(this);
      ResumeNext([&] { m_Tabs.UserSelect(index); });
      if (self && Widget()) SyncKind("SelectedIndex");
    });
  }

 protected:
  void SyncKind(std::string_view property) override {
    auto* w = static_cast<QTabBar*>(Widget());
    UpdateScope scope(*this);
    if (All(property) || property == "Items") {
      while (w->count() < m_Tabs.ItemCount()) w->addTab(QString());
      while (w->count() > m_Tabs.ItemCount()) w->removeTab(w->count() - 1);
      for (int i = 0; i < m_Tabs.ItemCount(); ++i) {
        const TabItem& item = m_Tabs.Item(i);
        w->setTabText(i, Text(item.Caption));
        w->setTabVisible(i, item.Visible);
        w->setTabEnabled(i, item.Enabled);
      }
    }
    if (m_Tabs.ItemCount() > 0 && w->currentIndex() != m_Tabs.SelectedIndex())
      w->setCurrentIndex(m_Tabs.SelectedIndex());
  }

 private:
  TabControl& m_Tabs;
};

class ProgressBarBinder : public ControlBinder {
 public:
  ProgressBarBinder(ProgressBar& bar, FormBinder& form) : ControlBinder(bar, form), m_Bar(bar) {
    auto* progress = new QProgressBar(form.ParentFor(bar));
    progress->setRange(0, 1000);
    progress->setAlignment(Qt::AlignCenter);
    Attach(progress);
  }

 protected:
  void SyncKind(std::string_view) override {
    auto* w = static_cast<QProgressBar*>(Widget());
    w->setValue(static_cast<int>(std::lround(m_Bar.Fraction() * 1000)));
    w->setFormat(Text(m_Bar.Text()));
    w->setTextVisible(!m_Bar.Text().empty());
  }

 private:
  ProgressBar& m_Bar;
};

class PictureBoxBinder : public ControlBinder {
 public:
  PictureBoxBinder(PictureBox& picture, FormBinder& form) : ControlBinder(picture, form) {
    Attach(new PictureWidget(picture, form.ParentFor(picture)));
  }

 protected:
  void SyncKind(std::string_view property) override {
    // A tool tip that follows the mouse over the picture changes while it is shown.
    if (property == "ToolTipText") {
      if (QToolTip::isVisible() && Widget()->underMouse())
        QToolTip::showText(QCursor::pos(), Widget()->toolTip(), Widget());
      return;
    }
    Widget()->update();
  }
};

class GraphControlBinder : public ControlBinder {
 public:
  GraphControlBinder(GraphControl& graph, FormBinder& form) : ControlBinder(graph, form) {
    Attach(new GraphWidget(graph, form.ParentFor(graph)));
  }

 protected:
  void SyncKind(std::string_view) override { Widget()->update(); }
};

}  // namespace

std::unique_ptr<ControlBinder> ControlBinder::Create(Control& control, FormBinder& form) {
  switch (control.Kind()) {
    case ControlKind::Label: return std::make_unique<LabelBinder>(static_cast<Label&>(control), form);
    case ControlKind::TextBox: return std::make_unique<TextBoxBinder>(static_cast<TextBox&>(control), form);
    case ControlKind::Button: return std::make_unique<ButtonBinder>(static_cast<Button&>(control), form);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBoxBinder>(static_cast<CheckBox&>(control), form);
    case ControlKind::ComboBox:
      return std::make_unique<ComboBoxBinder>(static_cast<ComboBox&>(control), form);
    case ControlKind::ScrollBar:
      return std::make_unique<ScrollBarBinder>(static_cast<ScrollBar&>(control), form);
    case ControlKind::Frame: return std::make_unique<FrameBinder>(static_cast<Frame&>(control), form);
    case ControlKind::TabControl:
      return std::make_unique<TabControlBinder>(static_cast<TabControl&>(control), form);
    case ControlKind::ProgressBar:
      return std::make_unique<ProgressBarBinder>(static_cast<ProgressBar&>(control), form);
    case ControlKind::Grid: return std::make_unique<GridBinder>(static_cast<Grid&>(control), form);
    case ControlKind::PictureBox:
      return std::make_unique<PictureBoxBinder>(static_cast<PictureBox&>(control), form);
    case ControlKind::GraphControl:
      return std::make_unique<GraphControlBinder>(static_cast<GraphControl&>(control), form);
    case ControlKind::Timer:
    case ControlKind::PopupMenu: return nullptr;
  }
  return nullptr;
}

ControlBinder::ControlBinder(Control& control, FormBinder& form) : m_Control(control), m_Form(form) {}

ControlBinder::~ControlBinder() {
  m_Control.SetObserver(nullptr);
  delete m_Widget.data();
}

void ControlBinder::Attach(QWidget* widget) {
  m_Widget = widget;
  widget->setObjectName(QString::fromStdString(m_Control.Name()));
  widget->installEventFilter(this);
  m_Control.SetObserver([this](Control&, std::string_view property) { Sync(property); });
  ApplyGeometry();
  Sync("*");
}

void ControlBinder::ApplyParent() {
  if (!m_Widget) return;
  QWidget* parent = m_Form.ParentFor(m_Control);
  if (m_Widget->parentWidget() == parent) return;
  m_Widget->setParent(parent);
  ApplyGeometry();
  m_Widget->setVisible(m_Control.Visible());
}

void ControlBinder::ApplyGeometry() {
  m_Widget->setGeometry(m_Form.ToPixelsX(m_Control.Left()), m_Form.ToPixelsY(m_Control.Top()),
                        m_Form.ToPixelsX(m_Control.Width()), m_Form.ToPixelsY(m_Control.Height()));
}

void ControlBinder::Sync(std::string_view property) {
  if (!m_Widget) return;
  ResumeNext([&] {
    bool all = All(property);
    if (all || property == "Geometry") ApplyGeometry();
    if (all || property == "Visible") m_Widget->setVisible(m_Control.Visible());
    if (all || property == "Enabled") m_Widget->setEnabled(m_Control.Enabled());
    if (all || property == "ToolTipText")
      m_Widget->setToolTip(QString::fromStdString(m_Control.ToolTipText()));
    if ((all || property == "Font") && m_Control.HasFont()) {
      QFont font = m_Widget->font();
      const Font& model = m_Control.GetFont();
      if (!model.Name.empty()) font.setFamily(QString::fromStdString(model.Name));
      if (model.Size > 0) font.setPointSizeF(model.Size);
      font.setBold(model.Bold);
      m_Widget->setFont(font);
    }
    if (property == "Container") ApplyParent();
    if (property == "Refresh") m_Widget->update();
    if (property == "Focus") {
      // A hidden control cannot hold the focus; taking it off the focused button is what counts.
      if (m_Widget->isVisible())
        m_Widget->setFocus(Qt::OtherFocusReason);
      else if (QWidget* focused = m_Widget->window()->focusWidget())
        focused->clearFocus();
    }
    SyncKind(property);
  });
}

bool ControlBinder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove && m_Widget && m_Control.MouseMove) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* source = qobject_cast<QWidget*>(watched);
    const QPoint position =
        source ? source->mapTo(m_Widget, mouse->position().toPoint()) : mouse->position().toPoint();
    const int buttons = (mouse->buttons() & Qt::LeftButton ? kLeftButton : 0) |
                        (mouse->buttons() & Qt::RightButton ? kRightButton : 0);
    ResumeNext([&] {
      m_Control.MouseMove(buttons, 0, m_Form.ToTwipsX(position.x()), m_Form.ToTwipsY(position.y()));
    });
  }
  if (event->type() == QEvent::MouseButtonRelease && m_Widget) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* source = qobject_cast<QWidget*>(watched);
    QPoint position =
        source ? source->mapTo(m_Widget, mouse->position().toPoint()) : mouse->position().toPoint();
    int button = mouse->button() == Qt::LeftButton    ? kLeftButton
                 : mouse->button() == Qt::RightButton ? kRightButton
                                                      : 4;
    int shift = (mouse->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                (mouse->modifiers() & Qt::ControlModifier ? 2 : 0) |
                (mouse->modifiers() & Qt::AltModifier ? 4 : 0);
    if (button == kLeftButton) LeftReleased();
    if (m_Control.MouseUp)
      ResumeNext([&] {
        m_Control.MouseUp(button, shift, m_Form.ToTwipsX(position.x()), m_Form.ToTwipsY(position.y()));
      });
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace corvana::ui
