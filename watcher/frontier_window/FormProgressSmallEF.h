#pragma once

#include "watcher/small_window/SmallProgressForm.h"

namespace corvana {

// The compact progress window of an efficient-frontier series: iteration, trial and run time of
// the optimization under way, the bar of the run's budget, and the run buttons. It shows no
// original or best value: each optimization of the series has its own.
class FormProgressSmallEF : public SmallProgressForm {
 public:
  explicit FormProgressSmallEF(ui::Platform& platform);
  ~FormProgressSmallEF() override;

  // ---- SmallWindow ----
  void Initialize(WatcherManager& manager) override;
  void Update() override;
  void ApplyFormLocalization() override;
  void SetExcelUpdateButtonState(bool) override {}  // this window has no such button

  // ---- Events ----
  void CommandRun_Click() override;
  void CommandPause_Click() override;
  void CommandStop_Click() override;

 private:
  SmallWindowFigures::LanguageWidths ExtraWidths() const override;
};

}  // namespace corvana
