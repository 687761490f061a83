#pragma once

#include "watcher/ui/Button.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/TextBox.h"

namespace corvana {

// The small modal dialog in which the user types a new crossover or mutation rate (0.01 to 1)
// while the run goes on.
class FormRate {
 public:
  explicit FormRate(ui::Platform& platform);

  // Shows the dialog modally over `owner` with the current rate. True when the user confirmed a
  // valid rate, which is then in p_NewRate; otherwise p_NewRate is untouched. p_IsCrossover picks
  // the prompt: the crossover rate when True, the mutation rate when False.
  bool ShowDialog(bool& p_IsCrossover, double p_CurrentRate, double& p_NewRate, ui::WindowId owner = 0);

  void CommandOK_Click();
  void CommandCancel_Click();
  void Form_QueryUnload(bool& cancel, int unloadMode);

  ui::Form& GetForm() noexcept { return m_Form; }
  bool Cancelled() const noexcept { return m_Cancelled; }

  // The rate a text stands for, with a decimal point or (as some languages write it) a comma;
  // false when it is not a number.
  static bool ParseRate(const std::string& text, double& rate);

 private:
  ui::Form m_Form;

 public:
  ui::Label& LabelRate;
  ui::TextBox& TextRate;
  ui::Button& CommandOK;
  ui::Button& CommandCancel;

 private:
  bool m_Cancelled = true;
};

}  // namespace corvana
