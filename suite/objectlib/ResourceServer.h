#pragma once

#include <map>
#include <memory>
#include <string>

#include "common/Variant.h"

namespace corvana {

// The font a product's user interface uses in one language.
struct ResourceFont {
  std::string Name;
  double Size = 8;
  int Charset = 0;  // Windows character-set number (0 = ANSI, 1 = default)
  bool operator==(const ResourceFont&) const = default;
};

// Texts of one product in one language, by number, with the font and the form-size factor of
// that language. Read from "<product>_<language tag>.txt" in the resources folder; numbers the
// language's file lacks come from the English file.
class ResourceServer {
 public:
  // Windows primary language numbers the suite knows.
  static constexpr long kLanguageEnglish = 9;
  static constexpr long kLanguageGerman = 7;

  // The three calls that bind a product's resource server:
  // 1. the user's language for a product (index 0 = "Corvana8", 2 = "Gendara8"); the user's
  //    choice is ORRENDEL_LANGUAGE (a number or a tag such as "de"), else LC_ALL / LC_MESSAGES /
  //    LANG, else English. An unknown product index raises the invalid-argument error.
  static long ProductLanguage(long productIndex);
  // 2. the language number as the tag of its resource file ("en", "de"); unknown numbers give "en".
  static std::string LanguageTag(long languageID);
  // 3. the server for a product code and language tag, from the suite's resources folder. A
  //    missing file of that language falls back to English; a missing English file raises
  //    0x8004000A naming the file.
  static std::shared_ptr<ResourceServer> Open(const std::string& productCode, const std::string& languageTag);
  // The same from an explicit folder (tests, tools).
  static std::shared_ptr<ResourceServer> OpenIn(const std::string& folder, const std::string& productCode,
                                                const std::string& languageTag);

  // Text `id` with %1, %2, %3 replaced by the parameters' texts (an Empty parameter counts as
  // missing and leaves its marker as it stands; "%%" gives "%"). An unknown number raises the
  // invalid-argument error naming it.
  std::string GetString(long id, const Variant& p1 = Variant(), const Variant& p2 = Variant(),
                        const Variant& p3 = Variant()) const;
  bool HasString(long id) const { return m_Texts.count(id) != 0; }

  const std::string& ProductCode() const noexcept { return m_ProductCode; }
  long LanguageID() const noexcept { return m_LanguageID; }
  const ResourceFont& Font() const noexcept { return m_Font; }
  // Factor by which forms whose texts run longer in this language are widened (1 in English).
  double SizeFactor() const noexcept { return m_SizeFactor; }

 private:
  std::string m_ProductCode;
  long m_LanguageID = kLanguageEnglish;
  ResourceFont m_Font;
  double m_SizeFactor = 1;
  std::map<long, std::string> m_Texts;

  friend class ResourceFileReader;
};

}  // namespace corvana
