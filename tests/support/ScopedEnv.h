#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with nullopt, unsets) an environment variable for one test and puts it back after.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : m_Name(std::move(name)) {
    if (const char* old = std::getenv(m_Name.c_str())) m_Old = old;
    if (value)
      ::setenv(m_Name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(m_Name.c_str());
  }
  ~ScopedEnv() {
    if (m_Old)
      ::setenv(m_Name.c_str(), m_Old->c_str(), 1);
    else
      ::unsetenv(m_Name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_Name;
  std::optional<std::string> m_Old;
};
