#pragma once

#include <string>

#include "watcher/small_window/SmallProgressForm.h"

namespace corvana {

// The compact progress window shown while a single optimization runs: five figures, a bar of the
// run's budget used, and the run buttons. Every figure comes from the manager; every click goes
// to it.
class FormProgressSmall : public SmallProgressForm {
 public:
  explicit FormProgressSmall(ui::Platform& platform);
  ~FormProgressSmall() override;

  // ---- SmallWindow ----
  void Initialize(WatcherManager& manager) override;
  void Update() override;
  void ApplyFormLocalization() override;
  void SetExcelUpdateButtonState(bool pressed) override;

  void ProcessMenuCommand(const std::string& p_Key);

  // ---- Events ----
  void CommandRun_Click() override;
  void CommandPause_Click() override;
  void CommandStop_Click() override;
  void CommandExcelUpdate_Click();

 private:
  void StartUpEnded() override;
  SmallWindowFigures::LanguageWidths ExtraWidths() const override;

 public:
  // ---- Controls, under their own names, beside the shared ones ----
  ui::Label& LabelOriginal;
  ui::TextBox& TextOriginal;
  ui::Label& LabelBest;
  ui::TextBox& TextBest;
  ui::Button& CommandExcelUpdate;
};

}  // namespace corvana
