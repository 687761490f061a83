#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "suite/objectlib/ErrorRaising.h"
#include "watcher/controller/AddinApplication.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/HelpHost.h"
#include "watcher/controller/HostApplication.h"
#include "watcher/controller/WindowFactory.h"

namespace corvana::test {

// Every call the fakes receive, in order: "small.Update", "fullEF.GoToPausingConfig", ...
using Journal = std::vector<std::string>;

// What both fake windows do alike: note the call under the window's name.
template <class Interface>
class FakeProgressWindow : public Interface {
 public:
  FakeProgressWindow(Journal& journal, std::string name) : m_Journal(journal), m_Name(std::move(name)) {}
  void Initialize(WatcherManager&) override { Note("Initialize"); }
  void Dispose() override { Note("Dispose"); }
  void ApplyFormLocalization() override { Note("ApplyFormLocalization"); }
  void GoToRunningConfig() override {
    Note("GoToRunningConfig");
    Configuration = RunState::Running;
  }
  void GoToPausingConfig() override {
    Note("GoToPausingConfig");
    Configuration = RunState::Pausing;
  }
  void ControlsAfterStopClickedDisableEnable(bool enable) override {
    Note(std::string("ControlsAfterStopClickedDisableEnable ") + (enable ? "True" : "False"));
  }
  void UpdateRunPauseButtons() override { Note("UpdateRunPauseButtons"); }
  void SetExcelUpdateButtonState(bool pressed) override {
    Note(pressed ? "ExcelUpdate True" : "ExcelUpdate False");
  }
  void Unload() override { Note("Unload"); }
  void SetTopMost(bool topMost) override { Note(topMost ? "TopMost True" : "TopMost False"); }
  void Activate() override { Note("Activate"); }

  RunState Configuration = RunState::Running;
  bool FailUpdate = false;

 protected:
  void Note(const std::string& what) { m_Journal.push_back(m_Name + "." + what); }
  // A window that fails its update raises, as a real one's unexpected error would.
  void MaybeFailUpdate() {
    if (FailUpdate) RaiseApplicationError(m_Name + ".Update", "The window failed.");
  }

 private:
  Journal& m_Journal;
  std::string m_Name;
};

class FakeSmallWindow : public FakeProgressWindow<SmallWindow> {
 public:
  using FakeProgressWindow::FakeProgressWindow;
  void InitializeAfterFirstTrial() override { Note("InitializeAfterFirstTrial"); }
  void Update() override {
    Note("Update");
    MaybeFailUpdate();
  }
  void Show(bool modal) override {
    Note(modal ? "Show modal" : "Show");
    Visibility = true;
  }
  void Hide() override {
    Note("Hide");
    Visibility = false;
  }
  bool Visible() const override { return Visibility; }
  std::uint64_t WindowId() const override { return 11; }
  double Top() const override { return 1234.6; }
  std::int32_t HelpContextID() const override { return 11080; }

  bool Visibility = true;
};

class FakeWatcherWindow : public FakeProgressWindow<WatcherWindow> {
 public:
  using FakeProgressWindow::FakeProgressWindow;
  void InitializeAfterFirstTrial(std::int32_t a, std::int32_t b) override {
    Note("InitializeAfterFirstTrial " + std::to_string(a) + " " + std::to_string(b));
  }
  void Update(bool force, bool& updateLastResult) override {
    Note(std::string("Update ") + (force ? "True" : "False") + (updateLastResult ? " True" : " False"));
    MaybeFailUpdate();
  }
  void GoToStoppingConfig() override {
    Note("GoToStoppingConfig");
    Configuration = RunState::Stopping;
  }
  void SetResumeSignalTicks(int count) override { Note("SetResumeSignalTicks " + std::to_string(count)); }
  RunState ButtonConfiguration() const override { return Configuration; }
  bool StopTimer() const override { return StopTimerFlag; }
  void SetStopTimer(bool value) override {
    Note(value ? "StopTimer True" : "StopTimer False");
    StopTimerFlag = value;
  }
  void SetTimerUpdateEnabled(bool enabled) override { Note(enabled ? "TimerUpdate on" : "TimerUpdate off"); }
  bool OrrGraphModalDialogBeingDisplayed() const override { return GraphDialogOpen; }
  void Show(bool modal) override {
    Note(modal ? "Show modal" : "Show");
    if (modal && WhileModal) {
      WhileModal();
      Note("modal loop ended");  // touches the window after whatever ran inside its loop
    }
  }
  void Hide() override { Note("Hide"); }
  bool Visible() const override { return false; }
  std::uint64_t WindowId() const override { return 22; }
  double Top() const override { return 99.4; }
  std::int32_t HelpContextID() const override { return 11090; }
  bool ColorGraphTabSelected() const override { return ColorTabSelected; }
  void EnableColorGraphTimer() override { Note("EnableColorGraphTimer"); }
  bool SaveAllTrialsGraphPicture(const std::string& title, double axisMaximum, const std::string& path,
                                 int width, int height) override {
    Note("SaveAllTrialsGraphPicture " + title + " " + std::to_string(static_cast<int>(axisMaximum)) + " " +
         path + " " + std::to_string(width) + "x" + std::to_string(height));
    return true;
  }

  bool StopTimerFlag = false;
  bool GraphDialogOpen = false;
  bool ColorTabSelected = false;
  std::function<void()> WhileModal;
};

// Creates fakes named "small"/"full" or "smallEF"/"fullEF", and keeps pointers to the last ones.
class FakeWindowFactory : public WindowFactory {
 public:
  explicit FakeWindowFactory(Journal& journal) : m_Journal(journal) {}
  std::unique_ptr<SmallWindow> CreateSmallWindow(bool ef) override {
    auto window = std::make_unique<FakeSmallWindow>(m_Journal, ef ? "smallEF" : "small");
    Small = window.get();
    return window;
  }
  std::unique_ptr<WatcherWindow> CreateWatcherWindow(bool ef) override {
    auto window = std::make_unique<FakeWatcherWindow>(m_Journal, ef ? "fullEF" : "full");
    Full = window.get();
    return window;
  }
  FakeSmallWindow* Small = nullptr;
  FakeWatcherWindow* Full = nullptr;

 private:
  Journal& m_Journal;
};

// Message boxes answer from a queue (default: the first button); timers fire when the test says.
class FakeServices : public ControllerServices {
 public:
  struct Shown {
    std::string Text;
    int Buttons;
  };
  struct TimerEntry {
    int Interval;
    std::function<void()> Callback;
    bool Running;
  };

  int MessageBox(const std::string& text, const std::string& title, int buttons) override {
    Messages.push_back({text, buttons});
    Titles.push_back(title);
    if (DuringMessage) DuringMessage();
    if (Answers.empty()) return buttons == 4 ? 6 : 1;
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  int MessageDialog(const std::string& text, const std::string& title, const std::string&, const std::string&,
                    const std::string&) override {
    return MessageBox(text, title, -3);
  }
  void SetApplicationHelpFile(const std::string& path) override { HelpFile = path; }
  std::uint64_t ForegroundWindow() override { return Foreground; }
  std::int32_t WindowProcessId(std::uint64_t window) override {
    const auto it = Processes.find(window);
    return it == Processes.end() ? 0 : it->second;
  }
  std::uint64_t FindTopLevelWindow(const std::string& title) override {
    const auto it = TopLevelWindows.find(title);
    return it == TopLevelWindows.end() ? 0 : it->second;
  }
  void OrderWindows(std::uint64_t host, std::uint64_t window) override { Ordered.push_back({host, window}); }
  void TieDialogToWindow(std::uint64_t dialog, std::uint64_t host) override {
    Tied.push_back({dialog, host});
  }
  void SetForegroundWindow(std::uint64_t window) override { Foreground = window; }
  std::uint64_t StartTimer(int interval, std::function<void()> callback) override {
    Timers.push_back({interval, std::move(callback), true});
    return Timers.size();
  }
  void KillTimer(std::uint64_t id) override { Timers.at(id - 1).Running = false; }
  std::int32_t CurrentProcessId() override { return 4242; }
  void TerminateProcess(int exitCode) override { ExitCode = exitCode; }

  // The running timers' intervals, oldest first.
  std::vector<int> RunningIntervals() const {
    std::vector<int> result;
    for (const auto& timer : Timers)
      if (timer.Running) result.push_back(timer.Interval);
    return result;
  }
  // Fires the newest running timer with this interval; false when there is none.
  bool Fire(int interval) {
    for (std::size_t i = Timers.size(); i-- > 0;)
      if (Timers[i].Running && Timers[i].Interval == interval) {
        auto callback = Timers[i].Callback;
        callback();
        return true;
      }
    return false;
  }

  std::deque<int> Answers;
  std::vector<Shown> Messages;
  std::vector<std::string> Titles;
  std::function<void()> DuringMessage;
  std::string HelpFile;
  std::uint64_t Foreground = 0;
  std::map<std::uint64_t, std::int32_t> Processes;
  std::map<std::string, std::uint64_t> TopLevelWindows;  // by title
  std::vector<std::pair<std::uint64_t, std::uint64_t>> Ordered, Tied;
  std::vector<TimerEntry> Timers;
  int ExitCode = -1;
};

class FakeHostApplication : public HostApplication {
 public:
  explicit FakeHostApplication(Journal& journal) : m_Journal(journal) {}
  HostObjectRef Reference() const override { return {":1.7", "/host/Application"}; }
  void Run(const std::string& macro) override { m_Journal.push_back("host.Run " + macro); }
  bool BooleanProperty(std::int32_t locale) override {
    m_Journal.push_back("host.BooleanProperty " + std::to_string(locale));
    return Property;
  }
  void SetBooleanProperty(std::int32_t, bool value) override {
    m_Journal.push_back(value ? "host.SetBooleanProperty True" : "host.SetBooleanProperty False");
    Property = value;
  }
  bool WindowEnabled() override { return Enabled; }
  void EnableWindow(bool enabled) override {
    m_Journal.push_back(enabled ? "host.EnableWindow True" : "host.EnableWindow False");
    Enabled = enabled;
  }
  void SetForeground() override { m_Journal.push_back("host.SetForeground"); }
  HostWindowRect WindowRect() override { return {}; }
  HostObjectRef CreateChart(const HostObjectRef& data, const HostObjectRef& placement, std::int32_t kind,
                            std::int32_t color) override {
    m_Journal.push_back("host.CreateChart " + data.Path + " " + placement.Path + " " + std::to_string(kind) +
                        " " + std::to_string(color));
    return {":1.7", "/host/Chart/1"};
  }
  bool Property = true;
  bool Enabled = true;

 private:
  Journal& m_Journal;
};

class FakeAddinApplication : public AddinApplication {
 public:
  HostObjectRef Reference() const override { return {":1.7", "/host/Addin"}; }
  void ProgressGraphPictureSize(std::int32_t& width, std::int32_t& height) override {
    width = 640;
    height = 480;
  }
  void ConstraintSolverFixSeed() override {}
  void EndOfRunChoices(bool, bool, bool, std::int32_t, std::int32_t) override {}
};

class FakeHelpHost : public HelpHost {
 public:
  HostObjectRef Reference() const override { return {":1.7", "/host/Interop"}; }
  void ShowHelp(std::int32_t id) override { Shown.push_back(id); }
  std::vector<std::int32_t> Shown;
};

}  // namespace corvana::test
