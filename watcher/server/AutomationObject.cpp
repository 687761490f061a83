#include "watcher/server/AutomationObject.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <map>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "watcher/server/BusValues.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/TextBox.h"
#include "wire/BusNames.h"

namespace corvana::bus {

namespace {
using Out = std::optional<QList<QVariant>>;
// Larger than any screen: a size past it is a slip, not a window.
constexpr int kMaxFormTwips = 150000;

[[noreturn]] void Fail(const std::string& procedure, const std::string& text) {
  RaiseError(kErrInvalidArgument, procedure, text);
}

template <class T>
T& As(ui::Control& control, ui::ControlKind kind, const char* procedure) {
  if (control.Kind() != kind)
    Fail(procedure, std::string(procedure) + ": " + control.Name() + " is a " + ui::KindName(control.Kind()) +
                        ", not a " + ui::KindName(kind) + ".");
  return static_cast<T&>(control);
}

int AnswerCode(const QString& button) {
  static const std::map<QString, int> codes{{"OK", ui::MsgBox::kOK},         {"Cancel", ui::MsgBox::kCancel},
                                            {"Abort", ui::MsgBox::kAbort},   {"Retry", ui::MsgBox::kRetry},
                                            {"Ignore", ui::MsgBox::kIgnore}, {"Yes", ui::MsgBox::kYes},
                                            {"No", ui::MsgBox::kNo}};
  const auto it = codes.find(button);
  return it == codes.end() ? 0 : it->second;
}

// The answer that pressing `button` gives on the box, 0 when the box has no such button. A box with
// its own captions is answered by caption, with the button's 1-based index.
int AnswerFor(const ui::MessageBoxInfo& box, const QString& button) {
  if (!box.Captions.empty()) {
    for (std::size_t i = 0; i < box.Captions.size(); ++i)
      if (ToQ(box.Captions[i]).compare(button, Qt::CaseInsensitive) == 0) return static_cast<int>(i) + 1;
    return 0;
  }
  const int answer = AnswerCode(button);
  const auto offered = ui::MsgBox::Answers(box.Buttons);
  return std::find(offered.begin(), offered.end(), answer) == offered.end() ? 0 : answer;
}
}  // namespace

AutomationObject::AutomationObject(QDBusConnection connection, ui::Platform& platform,
                                   std::function<QString()> steerer)
    : BusObject(std::move(connection), wire::kAutomationPath, wire::kAutomationInterface, QString()),
      m_Platform(platform),
      m_Steerer(std::move(steerer)) {
  AddMethod({"ListForms", {}, {{"forms", "as"}}, [this](const QDBusMessage&, const QList<QVariant>&) {
               QStringList names;
               for (const ui::Form* form : m_Platform.Forms()) names << ToQ(form->Name());
               return Out(QList<QVariant>{names});
             }});
  AddMethod({"GetFormVisible",
             {{"form", "s"}},
             {{"visible", "b"}},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               const ui::Form* form = m_Platform.FindForm(FromQ(a[0].toString()));
               return Out(QList<QVariant>{form != nullptr && form->Visible()});
             }});
  AddMethod({"ListControls",
             {{"form", "s"}},
             {{"names", "as"}, {"kinds", "as"}},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               QStringList names, kinds;
               for (const auto& control : FindForm(a[0].toString()).Controls()) {
                 names << ToQ(control->Name());
                 kinds << QString::fromLatin1(ui::KindName(control->Kind()));
               }
               return Out(QList<QVariant>{names, kinds});
             }});
  AddMethod({"GetProperty",
             {{"form", "s"}, {"control", "s"}, {"property", "s"}},
             {{"value", "v"}},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               const std::string property = FromQ(a[2].toString());
               const Variant value = a[1].toString().isEmpty()
                                         ? FindForm(a[0].toString()).Property(property)
                                         : FindControl(a[0].toString(), a[1].toString()).Property(property);
               return Out(QList<QVariant>{QVariant::fromValue(QDBusVariant(ToBus(value)))});
             }});
  AddMethod(
      {"Click", {{"form", "s"}, {"control", "s"}}, {}, [this](const QDBusMessage&, const QList<QVariant>& a) {
         ui::Control& control = FindControl(a[0].toString(), a[1].toString());
         if (control.Kind() != ui::ControlKind::Button && control.Kind() != ui::ControlKind::CheckBox)
           Fail("Click", "Click: " + control.Name() + " is a " + ui::KindName(control.Kind()) +
                             "; only buttons and check boxes are clicked.");
         Later(a[0].toString(), a[1].toString(), [](ui::Control& c) {
           if (c.Kind() == ui::ControlKind::Button)
             static_cast<ui::Button&>(c).UserClick();
           else
             static_cast<ui::CheckBox&>(c).UserClick();
         });
         return Out(QList<QVariant>{});
       }});
  AddMethod({"RightClick",
             {{"form", "s"}, {"control", "s"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               FindControl(a[0].toString(), a[1].toString());
               Later(a[0].toString(), a[1].toString(), [](ui::Control& c) {
                 if (c.MouseUp) c.MouseUp(ui::kRightButton, 0, c.Width() / 2, c.Height() / 2);
               });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"SelectTab",
             {{"form", "s"}, {"control", "s"}, {"index", "i"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               auto& tabs = As<ui::TabControl>(FindControl(a[0].toString(), a[1].toString()),
                                               ui::ControlKind::TabControl, "SelectTab");
               const int index = a[2].toInt();
               if (index < 0 || index >= tabs.ItemCount())
                 Fail("SelectTab",
                      "SelectTab: " + tabs.Name() + " has no tab " + std::to_string(index) + ".");
               Later(a[0].toString(), a[1].toString(),
                     [index](ui::Control& c) { static_cast<ui::TabControl&>(c).UserSelect(index); });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"SetText",
             {{"form", "s"}, {"control", "s"}, {"text", "s"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               As<ui::TextBox>(FindControl(a[0].toString(), a[1].toString()), ui::ControlKind::TextBox,
                               "SetText");
               const std::string text = FromQ(a[2].toString());
               Later(a[0].toString(), a[1].toString(),
                     [text](ui::Control& c) { static_cast<ui::TextBox&>(c).UserSetText(text); });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"SetCheck",
             {{"form", "s"}, {"control", "s"}, {"checked", "b"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               As<ui::CheckBox>(FindControl(a[0].toString(), a[1].toString()), ui::ControlKind::CheckBox,
                                "SetCheck");
               const bool checked = a[2].toBool();
               Later(a[0].toString(), a[1].toString(), [checked](ui::Control& c) {
                 auto& box = static_cast<ui::CheckBox&>(c);
                 if (box.Checked() != checked) box.UserClick();
               });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"SetComboIndex",
             {{"form", "s"}, {"control", "s"}, {"index", "i"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               auto& combo = As<ui::ComboBox>(FindControl(a[0].toString(), a[1].toString()),
                                              ui::ControlKind::ComboBox, "SetComboIndex");
               const int index = a[2].toInt();
               if (index < 0 || index >= combo.ListCount())
                 Fail("SetComboIndex",
                      "SetComboIndex: " + combo.Name() + " has no item " + std::to_string(index) + ".");
               Later(a[0].toString(), a[1].toString(),
                     [index](ui::Control& c) { static_cast<ui::ComboBox&>(c).UserSelect(index); });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"SetScrollValue",
             {{"form", "s"}, {"control", "s"}, {"value", "i"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               auto& bar = As<ui::ScrollBar>(FindControl(a[0].toString(), a[1].toString()),
                                             ui::ControlKind::ScrollBar, "SetScrollValue");
               const int value = a[2].toInt();
               if (value < bar.Min() || value > bar.Max())
                 Fail("SetScrollValue", "SetScrollValue: " + std::to_string(value) + " is outside " +
                                            std::to_string(bar.Min()) + ".." + std::to_string(bar.Max()) +
                                            ".");
               Later(a[0].toString(), a[1].toString(),
                     [value](ui::Control& c) { static_cast<ui::ScrollBar&>(c).UserSetValue(value); });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"MouseMove",
             {{"form", "s"}, {"control", "s"}, {"x", "i"}, {"y", "i"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               const ui::Control& control = FindControl(a[0].toString(), a[1].toString());
               const int x = a[2].toInt(), y = a[3].toInt();
               if (x < 0 || y < 0 || x >= control.Width() || y >= control.Height())
                 Fail("MouseMove", "MouseMove: " + std::to_string(x) + ", " + std::to_string(y) +
                                       " is outside " + control.Name() + " (" +
                                       std::to_string(control.Width()) + " x " +
                                       std::to_string(control.Height()) + " twips).");
               Later(a[0].toString(), a[1].toString(), [x, y](ui::Control& c) {
                 if (c.MouseMove) c.MouseMove(0, 0, x, y);
               });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"CloseForm", {{"form", "s"}}, {}, [this](const QDBusMessage&, const QList<QVariant>& a) {
               if (!FindForm(a[0].toString()).Visible())
                 Fail("CloseForm", "CloseForm: " + FromQ(a[0].toString()) + " is not on screen.");
               // As the close box: the form's QueryUnload decides what closing means.
               QTimer::singleShot(0, this, [this, name = a[0].toString()] {
                 if (ui::Form* form = m_Platform.FindForm(FromQ(name)))
                   ResumeNext([&] { form->BackendCloseRequest(ui::kUnloadFormControlMenu); });
               });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"ResizeForm",
             {{"form", "s"}, {"width", "i"}, {"height", "i"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               const int width = a[1].toInt(), height = a[2].toInt();
               if (!FindForm(a[0].toString()).Visible())
                 Fail("ResizeForm", "ResizeForm: " + FromQ(a[0].toString()) + " is not on screen.");
               if (width <= 0 || height <= 0 || width > kMaxFormTwips || height > kMaxFormTwips)
                 Fail("ResizeForm", "ResizeForm: " + std::to_string(width) + " x " + std::to_string(height) +
                                        " twips is not a window size.");
               // As the user dragging the window's corner: the form lays itself out, or snaps back.
               QTimer::singleShot(0, this, [this, name = a[0].toString(), width, height] {
                 if (ui::Form* form = m_Platform.FindForm(FromQ(name)))
                   ResumeNext([&] { form->Move(form->Left(), form->Top(), width, height); });
               });
               return Out(QList<QVariant>{});
             }});
  AddMethod({"ChooseMenu",
             {{"form", "s"}, {"key", "s"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               FindForm(a[0].toString());
               const ui::PopupMenu* menu = m_Platform.OpenPopupMenu();
               const std::string key = FromQ(a[1].toString());
               if (!menu)
                 Fail("ChooseMenu",
                      "ChooseMenu: no popup menu is open; open it first (Click or RightClick its control).");
               if (!menu->CanChoose(key))
                 Fail("ChooseMenu", "ChooseMenu: the open menu offers no entry " + key + ".");
               m_Platform.ChoosePopupMenuKey(key);
               return Out(QList<QVariant>{});
             }});
  AddMethod({"ListMessageBoxes", {}, {{"texts", "as"}}, [this](const QDBusMessage&, const QList<QVariant>&) {
               QStringList texts;
               for (const auto& box : m_Platform.OpenMessageBoxes()) texts << ToQ(box.Text);
               return Out(QList<QVariant>{texts});
             }});
  AddMethod(
      {"AnswerMessageBox", {{"button", "s"}}, {}, [this](const QDBusMessage&, const QList<QVariant>& a) {
         const auto boxes = m_Platform.OpenMessageBoxes();
         if (boxes.empty()) Fail("AnswerMessageBox", "AnswerMessageBox: no message box is open.");
         const ui::MessageBoxInfo& box = boxes.back();
         const int answer = AnswerFor(box, a[0].toString());
         if (answer == 0)
           Fail("AnswerMessageBox",
                "AnswerMessageBox: the open box has no button " + FromQ(a[0].toString()) + ".");
         m_Platform.AnswerMessageBox(box.Id, answer);
         return Out(QList<QVariant>{});
       }});
  AddMethod({"SaveScreenshot",
             {{"form", "s"}, {"path", "s"}},
             {},
             [this](const QDBusMessage&, const QList<QVariant>& a) {
               const std::string path = FromQ(a[1].toString());
               if (!m_Platform.SaveScreenshot(FindForm(a[0].toString()), path))
                 RaiseError(kErrApplication, "SaveScreenshot",
                            "SaveScreenshot: cannot write " + path +
                                " (a file the Watcher did not create there is never replaced).");
               return Out(QList<QVariant>{});
             }});
}

bool AutomationObject::MayCall(const QString& peer) const {
  const QString steerer = m_Steerer ? m_Steerer() : QString();
  return !steerer.isEmpty() && peer == steerer;
}

ui::Form& AutomationObject::FindForm(const QString& name) const {
  ui::Form* form = m_Platform.FindForm(FromQ(name));
  if (!form) Fail("Automation", "No form named " + FromQ(name) + " is loaded.");
  return *form;
}

ui::Control& AutomationObject::FindControl(const QString& form, const QString& control) const {
  ui::Control* found = FindForm(form).FindControl(FromQ(control));
  if (!found) Fail("Automation", "The form " + FromQ(form) + " has no control named " + FromQ(control) + ".");
  return *found;
}

void AutomationObject::Later(const QString& form, const QString& control,
                             std::function<void(ui::Control&)> action) {
  QTimer::singleShot(0, this, [this, form, control, action = std::move(action)] {
    ui::Form* f = m_Platform.FindForm(FromQ(form));
    ui::Control* c = f ? f->FindControl(FromQ(control)) : nullptr;
    if (c) ResumeNext([&] { action(*c); });
  });
}

}  // namespace corvana::bus
