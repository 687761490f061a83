#include "watcher/ui/UiTypes.h"

#include <array>

namespace corvana::ui {

Color QBColor(int index) noexcept {
  static constexpr std::array<Color, 16> kPalette{{{0, 0, 0},
                                                   {0, 0, 128},
                                                   {0, 128, 0},
                                                   {0, 128, 128},
                                                   {128, 0, 0},
                                                   {128, 0, 128},
                                                   {128, 128, 0},
                                                   {192, 192, 192},
                                                   {128, 128, 128},
                                                   {0, 0, 255},
                                                   {0, 255, 0},
                                                   {0, 255, 255},
                                                   {255, 0, 0},
                                                   {255, 0, 255},
                                                   {255, 255, 0},
                                                   {255, 255, 255}}};
  if (index < 0 || index >= 16) return Color{};
  return kPalette[static_cast<std::size_t>(index)];
}

}  // namespace corvana::ui
