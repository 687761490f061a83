#include "addin/ScriptRunner.h"

#include "addin/BusCall.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <map>

#include "addin/WatcherDriver.h"
#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/gdlib/gdlib8.h"
#include "wire/BusNames.h"
#include "wire/dbus/BusErrors.h"

namespace corvana::addin {

namespace {

using Clock = std::chrono::steady_clock;
using Kind = ScriptStep::Kind;

// A step that waits gives up after this long: a script must not hang a headless run forever.
constexpr auto kWaitLimit = std::chrono::seconds(60);

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

ScriptRunner::ScriptRunner(std::vector<ScriptStep> steps, WatcherDriver& driver, QDBusConnection bus,
                           QObject* parent)
    : QObject(parent), m_Steps(std::move(steps)), m_Driver(driver), m_Bus(std::move(bus)) {
  m_Timer.setInterval(50);
  connect(&m_Timer, &QTimer::timeout, this, &ScriptRunner::Tick);
}

void ScriptRunner::Start() {
  m_Timer.start();
}

std::int16_t ScriptRunner::RunStatus() const {
  return m_Driver.PopHandle() ? GdPopGetRunStatus(m_Driver.PopHandle()) : std::int16_t{0};
}

bool ScriptRunner::EveryGroupHasRate(bool crossover, double rate) const {
  const std::int32_t pop = m_Driver.PopHandle();
  const std::int32_t groups = pop ? GdPopGetChromosomeCount(pop) : 0;
  if (groups <= 0) return false;
  for (std::int32_t g = 1; g <= groups; ++g) {
    double actual = -1;
    std::int32_t isAuto = 0;
    const std::int16_t rc =
        crossover ? GdChrGetCrossoverRate(pop, g, &actual) : GdChrGetMutationMode(pop, g, &isAuto, &actual);
    if (rc != 0 || isAuto != 0 || std::abs(actual - rate) > 1e-9) return false;
  }
  return true;
}

QList<QVariant> ScriptRunner::Automation(const char* method, const QList<QVariant>& args) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(wire::kServiceName), QString::fromLatin1(wire::kAutomationPath),
      QString::fromLatin1(wire::kAutomationInterface), QString::fromLatin1(method));
  call.setArguments(args);
  const QDBusMessage reply = CallServingEvents(m_Bus, call);
  if (reply.type() == QDBusMessage::ErrorMessage) throw wire::ErrorFromReply(reply, method);
  return reply.arguments();
}

void ScriptRunner::Tick() {
  // A step's bus call serves events while it waits, and with them this timer: no re-entry.
  if (m_Busy || Finished()) return;
  m_Busy = true;
  const ScriptStep& step = m_Steps[m_Next];
  if (!m_StepStarted) {
    m_StepStarted = true;
    m_StepStart = Clock::now();
  }
  ErrorInfo err;
  bool done = false;
  if (!ResumeNext(err, [&] { done = Perform(step); })) {
    m_Error = "line " + std::to_string(step.Line) + ": " + err.Description;
  } else if (done) {
    ++m_Next;
    m_StepStarted = false;
  } else if (Clock::now() - m_StepStart > kWaitLimit) {
    m_Error = "line " + std::to_string(step.Line) + ": gave up waiting after " +
              std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kWaitLimit).count()) +
              " seconds";
  }
  if (Finished()) m_Timer.stop();
  m_Busy = false;
  if (!m_Error.empty() && OnFailure) OnFailure();
}

bool ScriptRunner::QuestionOnScreen() {
  const auto open = Automation("ListMessageBoxes");
  return !open.isEmpty() && !open.front().toStringList().isEmpty();
}

bool ScriptRunner::Perform(const ScriptStep& s) {
  switch (s.What) {
    case Kind::WaitTrials: return m_Driver.TrialCount() >= static_cast<long>(s.Number);
    case Kind::WaitStatus: {
      const std::int16_t status = RunStatus();
      if (s.Text == "running") return status == GdRunStatusOptimizing;
      if (s.Text == "paused") return status == GdRunStatusPaused;
      return status == GdRunStatusStopped;
    }
    case Kind::Sleep: return Clock::now() - m_StepStart >= std::chrono::duration<double>(s.Number);
    case Kind::WaitForm: {
      const auto reply = Automation("GetFormVisible", {Q(s.Form)});
      return !reply.isEmpty() && reply.front().toBool();
    }
    case Kind::WaitProperty: {
      const QString propertyAndValue = Q(s.Text);
      const qsizetype space = propertyAndValue.indexOf(' ');
      const auto reply = Automation("GetProperty", {Q(s.Form), Q(s.Control), propertyAndValue.left(space)});
      return !reply.isEmpty() &&
             reply.front().value<QDBusVariant>().variant().toString() == propertyAndValue.mid(space + 1);
    }
    case Kind::WaitModal: return m_Driver.ShowingModally();
    case Kind::WaitRate: return EveryGroupHasRate(s.Text == "crossover", s.Number);
    case Kind::Click: Automation("Click", {Q(s.Form), Q(s.Control)}); return true;
    case Kind::SelectTab:
      Automation("SelectTab", {Q(s.Form), Q(s.Control), static_cast<int>(s.Number)});
      return true;
    case Kind::SetText: Automation("SetText", {Q(s.Form), Q(s.Control), Q(s.Text)}); return true;
    case Kind::SetCheck: Automation("SetCheck", {Q(s.Form), Q(s.Control), s.Number != 0}); return true;
    case Kind::SetCombo:
      Automation("SetComboIndex", {Q(s.Form), Q(s.Control), static_cast<int>(s.Number)});
      return true;
    case Kind::SetScroll:
      Automation("SetScrollValue", {Q(s.Form), Q(s.Control), static_cast<int>(s.Number)});
      return true;
    case Kind::Hover:
      Automation("MouseMove",
                 {Q(s.Form), Q(s.Control), static_cast<int>(s.Number), static_cast<int>(s.Number2)});
      return true;
    case Kind::Close: Automation("CloseForm", {Q(s.Form)}); return true;
    case Kind::Resize:
      Automation("ResizeForm", {Q(s.Form), static_cast<int>(s.Number), static_cast<int>(s.Number2)});
      return true;
    case Kind::Menu: Automation("ChooseMenu", {Q(s.Form), Q(s.Text)}); return true;
    case Kind::WaitQuestion: return QuestionOnScreen();
    case Kind::Answer: {
      // Wait for the question to be on screen, then press the named button.
      if (!QuestionOnScreen()) return false;
      static const std::map<std::string, QString> buttons = {
          {"yes", "Yes"}, {"no", "No"}, {"ok", "OK"}, {"cancel", "Cancel"}};
      Automation("AnswerMessageBox", {buttons.at(s.Text)});
      return true;
    }
    case Kind::Screenshot: {
      const QString path = QFileInfo(Q(s.Text)).absoluteFilePath();
      QDir().mkpath(QFileInfo(path).absolutePath());
      Automation("SaveScreenshot", {Q(s.Form), path});
      return true;
    }
    case Kind::NextOptimization: m_Driver.RequestNextOptimization(); return true;
    case Kind::StopTimer:
      if (m_Driver.TimerStopAcknowledged()) return true;
      m_Driver.RequestStopTimer();  // repeating the request until it is answered is harmless
      return false;
  }
  return true;
}

}  // namespace corvana::addin
