#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvana::wire {

// A caller on the bus that is not the peer that created the object.
inline constexpr std::uint32_t kErrAccessDenied = 0x80070005;

// An error reply carries its 32-bit code in its name: this prefix, "E" and eight upper-case hex
// digits, "com.orrendel.CorvanaWatcher8.Error.E8004000A".
inline constexpr char kErrorPrefix[] = "com.orrendel.CorvanaWatcher8.Error.";

std::string ErrorName(std::uint32_t code);
// The code an error name carries; nothing when the name is not one of ours.
std::optional<std::uint32_t> CodeFromErrorName(std::string_view name);

}  // namespace corvana::wire
