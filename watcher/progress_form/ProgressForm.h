#pragma once

#include <cstdint>
#include <string>

#include "watcher/controller/RunState.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/PopupMenu.h"

namespace corvana {

class WatcherManager;

// What every progress window does alike over its form: the window-system side of the
// controller's interface, the run state its buttons show and the spreadsheet-update menu.
// `Interface` is the kind of window the controller sees (SmallWindow or WatcherWindow).
template <class Interface>
class ProgressForm : public Interface {
 public:
  void GoToRunningConfig() override;
  void GoToPausingConfig() override;

  void Show(bool modal) override;
  void Hide() override;
  void Unload() override;
  bool Visible() const override;
  std::uint64_t WindowId() const override;
  double Top() const override;
  void SetTopMost(bool topMost) override;
  void Activate() override;
  std::int32_t HelpContextID() const override;

  RunState CurrentRunState() const noexcept { return m_RunState; }
  ui::Form& GetForm() noexcept { return m_Form; }
  const ui::Form& GetForm() const noexcept { return m_Form; }

  // The menu item that stands for the add-in's recalculation setting (1 on, 2 best, 3 off).
  static const char* ExcelUpdatingKey(std::int32_t value);

 protected:
  ProgressForm(ui::Platform& platform, const std::string& name);

  // Shows m_RunState on the window's controls.
  virtual void ApplyRunStateConfig() = 0;
  // Presses the run or the pause button as the run state says.
  void PressRunPauseButtons(ui::Button& run, ui::Button& pause);
  // Makes the chosen menu item the add-in's recalculation setting; other keys change nothing.
  // True when the key was one of the menu's.
  bool ChooseExcelUpdating(const std::string& key);
  void Log(const std::string& line);
  // At the top right of the add-in's window, where the user is looking; left where it is when
  // that window's place is unknown.
  void PlaceAtTopRightOfHostWindow();

  ui::Form m_Form;

 public:
  ui::PopupMenu& m_ExcelUpdatingMenu;

 protected:
  WatcherManager* m_Manager = nullptr;
  RunState m_RunState = RunState::Running;
};

}  // namespace corvana
