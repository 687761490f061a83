#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// Keys of the pictures the backends draw for buttons; each has a grey twin (GreyPicture).
namespace PictureKeys {
inline constexpr const char* kRun = "Run";
inline constexpr const char* kPause = "Pause";
inline constexpr const char* kStop = "Stop";
inline constexpr const char* kNextOptimization = "NextOptimization";
inline constexpr const char* kExcelUpdate = "ExcelUpdate";
inline constexpr const char* kWatcher = "Watcher";
inline constexpr const char* kMinimize = "Minimize";
inline constexpr const char* kHelp = "Help";
// The window icon.
inline constexpr const char* kProgressIcon = "ProgressIcon";
}  // namespace PictureKeys

// "Run" -> "RunGrey": the picture shown while a button must not be used.
std::string GreyPicture(const std::string& key);
// True for a grey twin's key.
bool IsGreyPicture(const std::string& key);

// A push button. It is never disabled to stop its use: the form shows the grey picture and keeps
// its own inactive flag. Pressed shows the button held down (a toggle look).
class Button : public Control {
 public:
  explicit Button(std::string name) : Control(ControlKind::Button, std::move(name)) {}

  const std::string& Caption() const noexcept { return m_Caption; }
  void SetCaption(const std::string& caption);
  const std::string& PictureKey() const noexcept { return m_PictureKey; }
  void SetPictureKey(const std::string& key);
  bool Pressed() const noexcept { return m_Pressed; }
  void SetPressed(bool pressed);
  // Draws a drop-down arrow (a button that opens a menu).
  bool HasDropDown() const noexcept { return m_DropDown; }
  void SetDropDown(bool dropDown);

  // The user clicked: fires Click when the button is visible and enabled.
  void UserClick();

  Variant Property(std::string_view name) const override;

  std::function<void()> Click;

 private:
  std::string m_Caption;
  std::string m_PictureKey;
  bool m_Pressed = false;
  bool m_DropDown = false;
};

}  // namespace corvana::ui
