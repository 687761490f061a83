#include "addin/UserScript.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace corvana::addin {

namespace {

using Kind = ScriptStep::Kind;

struct Grammar {
  Kind What;
  const char* Usage;
  std::size_t Words;  // words after the command; SetText takes the rest of the line
};

const std::map<std::string, Grammar>& Commands() {
  static const std::map<std::string, Grammar> commands = {
      {"wait-trials", {Kind::WaitTrials, "wait-trials N", 1}},
      {"wait-status", {Kind::WaitStatus, "wait-status running|paused|stopped", 1}},
      {"wait-form", {Kind::WaitForm, "wait-form FORM", 1}},
      {"wait-property", {Kind::WaitProperty, "wait-property FORM CONTROL PROPERTY VALUE", 4}},
      {"wait-modal", {Kind::WaitModal, "wait-modal", 0}},
      {"wait-rate", {Kind::WaitRate, "wait-rate crossover|mutation RATE", 2}},
      {"sleep", {Kind::Sleep, "sleep SECONDS", 1}},
      {"click", {Kind::Click, "click FORM CONTROL", 2}},
      {"select-tab", {Kind::SelectTab, "select-tab FORM CONTROL INDEX", 3}},
      {"set-text", {Kind::SetText, "set-text FORM CONTROL TEXT", 3}},
      {"set-check", {Kind::SetCheck, "set-check FORM CONTROL on|off", 3}},
      {"set-combo", {Kind::SetCombo, "set-combo FORM CONTROL INDEX", 3}},
      {"set-scroll", {Kind::SetScroll, "set-scroll FORM CONTROL VALUE", 3}},
      {"hover", {Kind::Hover, "hover FORM CONTROL X Y", 4}},
      {"close", {Kind::Close, "close FORM", 1}},
      {"resize", {Kind::Resize, "resize FORM WIDTH HEIGHT", 3}},
      {"menu", {Kind::Menu, "menu FORM KEY", 2}},
      {"answer", {Kind::Answer, "answer yes|no|ok|cancel", 1}},
      {"wait-question", {Kind::WaitQuestion, "wait-question", 0}},
      {"screenshot", {Kind::Screenshot, "screenshot FORM PATH", 2}},
      {"stop-timer", {Kind::StopTimer, "stop-timer", 0}},
      {"next-optimization", {Kind::NextOptimization, "next-optimization", 0}},
  };
  return commands;
}

double Number(const std::string& text, const std::string& where) {
  double value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value))
    throw ScriptError(where + "\"" + text + "\" is not a number");
  return value;
}

// A whole number the step can hold: a double outside the target's range must never reach a cast.
double WholeNumber(const std::string& text, const std::string& where, const char* usage, double minimum,
                   double maximum) {
  const double value = Number(text, where);
  if (value != std::floor(value) || value < minimum || value > maximum)
    throw ScriptError(where + usage + " needs a whole number from " +
                      std::to_string(static_cast<long>(minimum)) + " to " +
                      std::to_string(static_cast<long>(maximum)));
  return value;
}

constexpr double kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr double kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr double kLongestSleep = 86400;

// Printable text, tabs and UTF-8 only: anything else is not a script, and echoing it in an error
// would write raw bytes to the user's terminal.
bool IsText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f) return false;
      ++i;
      continue;
    }
    const std::size_t length = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
    if (length == 0 || (length == 3 && c > 0xef) || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::vector<ScriptStep> UserScript::Parse(const std::string& text) {
  std::vector<ScriptStep> steps;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    const auto found = Commands().find(command);
    if (found == Commands().end()) throw ScriptError(where + "unknown command \"" + command + "\"");
    const Grammar& g = found->second;

    std::vector<std::string> args;
    for (std::string word; args.size() < g.Words && words >> word;) args.push_back(word);
    std::string rest;
    std::getline(words >> std::ws, rest);
    rest.erase(rest.find_last_not_of(" \t\r") + 1);
    // The text, and a property's value, is the rest of the line.
    if ((g.What == Kind::SetText || g.What == Kind::WaitProperty) && args.size() == g.Words) {
      args.back() += rest.empty() ? "" : " " + rest;
      rest.clear();
    }
    if (args.size() != g.Words || !rest.empty()) throw ScriptError(where + "expected \"" + g.Usage + "\"");

    ScriptStep s;
    s.What = g.What;
    s.Line = number;
    switch (g.What) {
      case Kind::WaitTrials: s.Number = WholeNumber(args[0], where, "wait-trials", 1, kIntMax); break;
      case Kind::Sleep:
        // A day is longer than any run a script steers; beyond it is a typing slip, not a wait.
        s.Number = Number(args[0], where);
        if (s.Number < 0 || s.Number > kLongestSleep)
          throw ScriptError(where + "sleep needs a number of seconds from 0 to 86400");
        break;
      case Kind::WaitStatus:
        if (args[0] != "running" && args[0] != "paused" && args[0] != "stopped")
          throw ScriptError(where + "expected \"" + g.Usage + "\"");
        s.Text = args[0];
        break;
      case Kind::Answer:
        if (args[0] != "yes" && args[0] != "no" && args[0] != "ok" && args[0] != "cancel")
          throw ScriptError(where + "expected \"" + g.Usage + "\"");
        s.Text = args[0];
        break;
      case Kind::WaitForm:
      case Kind::Close: s.Form = args[0]; break;
      case Kind::WaitRate:
        if (args[0] != "crossover" && args[0] != "mutation")
          throw ScriptError(where + "expected \"" + g.Usage + "\"");
        s.Text = args[0];
        s.Number = Number(args[1], where);
        if (s.Number < 0 || s.Number > 1) throw ScriptError(where + "wait-rate needs a rate from 0 to 1");
        break;
      case Kind::Resize:
        s.Form = args[0];
        s.Number = WholeNumber(args[1], where, "resize", 1, kIntMax);
        s.Number2 = WholeNumber(args[2], where, "resize", 1, kIntMax);
        break;
      case Kind::Hover:
        s.Form = args[0];
        s.Control = args[1];
        s.Number = WholeNumber(args[2], where, "hover", 0, kIntMax);
        s.Number2 = WholeNumber(args[3], where, "hover", 0, kIntMax);
        break;
      case Kind::Menu:
        s.Form = args[0];
        s.Text = args[1];
        break;
      case Kind::Screenshot:
        s.Form = args[0];
        s.Text = args[1];
        break;
      case Kind::WaitProperty:
        s.Form = args[0];
        s.Control = args[1] == "-" ? "" : args[1];  // "-": the form itself
        s.Text = args[2] + " " + args[3];           // the property and the value it is to read
        break;
      case Kind::Click:
        s.Form = args[0];
        s.Control = args[1];
        break;
      case Kind::SetText:
        s.Form = args[0];
        s.Control = args[1];
        s.Text = args[2];
        break;
      case Kind::SetCheck:
        if (args[2] != "on" && args[2] != "off") throw ScriptError(where + "expected \"" + g.Usage + "\"");
        s.Form = args[0];
        s.Control = args[1];
        s.Number = args[2] == "on" ? 1 : 0;
        break;
      case Kind::SelectTab:
      case Kind::SetCombo:
      case Kind::SetScroll:
        s.Form = args[0];
        s.Control = args[1];
        s.Number = WholeNumber(args[2], where, command.c_str(), kIntMin, kIntMax);
        break;
      case Kind::StopTimer:
      case Kind::NextOptimization:
      case Kind::WaitQuestion:
      case Kind::WaitModal: break;
    }
    steps.push_back(std::move(s));
  }
  return steps;
}

std::vector<ScriptStep> UserScript::Load(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw ScriptError("\"" + path + "\" is a folder, not a script");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError("cannot read \"" + path + "\"");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ScriptError("cannot read \"" + path + "\"");
  if (!IsText(text.str())) throw ScriptError("\"" + path + "\" is not a text file");
  return Parse(text.str());
}

}  // namespace corvana::addin
