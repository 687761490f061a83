#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

namespace corvana::ui {

// The program's own button pictures and window icon, drawn as vector shapes; a key ending in
// "Grey" gives the grey twin of its picture. Unknown keys give an empty picture.
class ButtonPictures {
 public:
  static QPixmap Picture(const std::string& key, int size);
  static QIcon Icon(const std::string& key);
  static bool IsKnown(const std::string& key);
};

}  // namespace corvana::ui
