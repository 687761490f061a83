#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>

namespace corvana::ui {

class Control;
class FormBinder;
class GridTableModel;

// Mirrors one control model in one widget: the common properties (geometry from twips, visible,
// enabled, font, tool tip, parent frame) here, the kind's own in one subclass per control kind.
// User actions go back to the model through its User... operations with errors trapped.
class ControlBinder : public QObject {
 public:
  // nullptr for kinds without a widget (timers, popup menus).
  static std::unique_ptr<ControlBinder> Create(Control& control, FormBinder& form);
  ~ControlBinder() override;

  Control& Model() const noexcept { return m_Control; }
  QWidget* Widget() const noexcept { return m_Widget; }
  // The item model of a grid's view; nullptr for other kinds.
  virtual GridTableModel* TableModel() const { return nullptr; }
  // Places the widget in its frame (or the window) when that changed.
  void ApplyParent();

 protected:
  ControlBinder(Control& control, FormBinder& form);
  // Takes the widget (already parented) and applies every property once.
  void Attach(QWidget* widget);
  virtual void SyncKind(std::string_view property) = 0;
  virtual void LeftReleased() {}
  // Right-button and other releases become the model's MouseUp (in twips).
  bool eventFilter(QObject* watched, QEvent* event) override;

  FormBinder& Form() const noexcept { return m_Form; }
  // Sync's word for every property at once.
  static bool All(std::string_view property) { return property == "*"; }
  bool Updating() const noexcept { return m_Updating > 0; }
  struct UpdateScope {
    explicit UpdateScope(ControlBinder& b) : m_B(b) { ++m_B.m_Updating; }
    ~UpdateScope() { --m_B.m_Updating; }
    ControlBinder& m_B;
  };

 private:
  void Sync(std::string_view property);
  void ApplyGeometry();

  Control& m_Control;
  FormBinder& m_Form;
  QPointer<QWidget> m_Widget;
  int m_Updating = 0;
};

}  // namespace corvana::ui
