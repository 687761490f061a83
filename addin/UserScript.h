#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace corvana::addin {

// One thing the scripted user does.
struct ScriptStep {
  enum class Kind {
    WaitTrials,        // wait-trials N: until the run has done N trials
    WaitStatus,        // wait-status running|paused|stopped
    WaitForm,          // wait-form FORM: until the form is on screen
    WaitProperty,      // wait-property FORM CONTROL|- PROPERTY VALUE...: until the property reads VALUE
    WaitModal,         // wait-modal: until the add-in's call showing the Watcher modally is under way
    WaitRate,          // wait-rate crossover|mutation RATE: until every group of the engine uses that rate
    Sleep,             // sleep SECONDS
    Click,             // click FORM CONTROL
    SelectTab,         // select-tab FORM CONTROL INDEX
    SetText,           // set-text FORM CONTROL TEXT...
    SetCheck,          // set-check FORM CONTROL on|off
    SetCombo,          // set-combo FORM CONTROL INDEX
    SetScroll,         // set-scroll FORM CONTROL VALUE
    Hover,             // hover FORM CONTROL X Y: the mouse rests there (twips inside the control)
    Close,             // close FORM: the window's close box
    Resize,            // resize FORM WIDTH HEIGHT: the user drags the window to that size (twips)
    Menu,              // menu FORM KEY
    Answer,            // answer yes|no|ok|cancel: the message box on screen (waits for one)
    WaitQuestion,      // wait-question: until a message box is on screen, left unanswered
    Screenshot,        // screenshot FORM PATH
    StopTimer,         // stop-timer: the add-in asks the Watcher to stop its timer and waits for the answer
    NextOptimization,  // next-optimization: asks to move on to the next optimization of a series
  };
  Kind What = Kind::Sleep;
  int Line = 0;
  std::string Form;
  std::string Control;
  std::string Text;  // text, menu key, answer, path or status
  double Number = 0;
  double Number2 = 0;  // hover: Y
};

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A user's script: one step a line, '#' starts a comment.
class UserScript {
 public:
  // Raises ScriptError "line N: ..." for the first malformed line.
  static std::vector<ScriptStep> Parse(const std::string& text);
  // Reads and parses a file; raises ScriptError when it cannot be read.
  static std::vector<ScriptStep> Load(const std::string& path);
};

}  // namespace corvana::addin
