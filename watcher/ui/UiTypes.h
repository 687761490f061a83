#pragma once

#include <cstdint>
#include <string>

namespace corvana::ui {

// An opaque top-level window identity; 0 is no window.
using WindowId = std::uint64_t;

struct Color {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  bool operator==(const Color&) const = default;
};

// The classic 16-colour palette by colour number 0..15; numbers outside give black.
Color QBColor(int index) noexcept;

struct Font {
  std::string Name;  // empty: the window system's default
  double Size = 8;   // points
  int Charset = 0;
  bool Bold = false;
  bool operator==(const Font&) const = default;
};

// A rectangle in twips (or in a picture's scale units).
struct Rect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const Rect&) const = default;
};

enum class Alignment { Left, Center, Right };

// Twips are 1440 per inch.
inline constexpr int kTwipsPerInch = 1440;

}  // namespace corvana::ui
