#include "watcher/ui/Platform.h"

#include <algorithm>

#include "watcher/ui/Form.h"

namespace corvana::ui {

namespace MsgBox {

std::vector<int> Answers(int buttons) {
  switch (buttons & 7) {
    case kOKCancel: return {kOK, kCancel};
    case kAbortRetryIgnore: return {kAbort, kRetry, kIgnore};
    case kYesNoCancel: return {kYes, kNo, kCancel};
    case kYesNo: return {kYes, kNo};
    case kRetryCancel: return {kRetry, kCancel};
    default: return {kOK};
  }
}

int EscapeAnswer(int buttons) {
  auto answers = Answers(buttons);
  if (std::find(answers.begin(), answers.end(), kCancel) != answers.end()) return kCancel;
  // Without Cancel a closed Yes/No box answers No and Abort/Retry/Ignore answers Abort.
  if ((buttons & 7) == kYesNo) return kNo;
  return answers.front();
}

}  // namespace MsgBox

Platform::~Platform() = default;

WindowId Platform::RegisterForm(Form& form) {
  WindowId id = m_NextId++;
  m_Forms.push_back(&form);
  form.m_Id = id;
  OnFormRegistered(form);
  return id;
}

void Platform::UnregisterForm(Form& form) {
  auto it = std::find(m_Forms.begin(), m_Forms.end(), &form);
  if (it == m_Forms.end()) return;
  m_Forms.erase(it);
  OnFormUnregistered(form);
}

Form* Platform::FindForm(std::string_view name) const noexcept {
  for (Form* form : m_Forms)
    if (form->Name() == name) return form;
  return nullptr;
}

Form* Platform::FindForm(WindowId id) const noexcept {
  for (Form* form : m_Forms)
    if (form->Id() == id) return form;
  return nullptr;
}

void Platform::RaiseAbove(WindowId window, WindowId /*other*/) {
  SetTopMost(window, true);
  SetForegroundWindow(window);
}

WindowId Platform::FindTopLevelWindow(const std::string& title) const {
  // An open box stands in front of the forms, so it is the one meant.
  for (const MessageBoxInfo& box : OpenMessageBoxes())
    if (box.Window != 0 && box.Title == title) return box.Window;
  for (Form* form : m_Forms)
    if (form->Visible() && form->Caption() == title) return form->Id();
  return 0;
}

}  // namespace corvana::ui
