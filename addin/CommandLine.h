#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "addin/RunSettings.h"

namespace corvana::addin {

// Bad input on the command line; main prints the message and exits with code 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The parsed command line: either a run, or a request for the usage text.
struct CommandLine {
  bool HelpRequested = false;
  RunSettings Settings;

  // `args` excludes the program name. Raises UsageError with a message that names the culprit.
  static CommandLine Parse(const std::vector<std::string>& args);
  static std::string UsageText();
};

}  // namespace corvana::addin
