#include "wire/ErrorNames.h"

#include <charconv>
#include <cstdio>

namespace corvana::wire {

std::string ErrorName(std::uint32_t code) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(code));
  return std::string(kErrorPrefix) + "E" + digits;
}

std::optional<std::uint32_t> CodeFromErrorName(std::string_view name) {
  const std::string_view prefix(kErrorPrefix);
  if (!name.starts_with(prefix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  if (name.size() != 9 || name.front() != 'E') return std::nullopt;
  std::uint32_t code = 0;
  const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), code, 16);
  if (error != std::errc() || end != name.data() + name.size()) return std::nullopt;
  return code;
}

}  // namespace corvana::wire
