#include "suite/objectlib/ResourceServer.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "common/ComError.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/NumericHelpers.h"
#include "suite/objectlib/SuiteFolders.h"

namespace corvana {

namespace {

struct LanguageName {
  long ID;
  std::string_view Tag;
};
// Windows primary language numbers and the tags of their resource files.
constexpr LanguageName kLanguages[] = {{9, "en"},  {7, "de"},  {12, "fr"}, {10, "es"}, {16, "it"},
                                       {22, "pt"}, {19, "nl"}, {17, "ja"}, {4, "zh"},  {25, "ru"}};

long LanguageFromTag(std::string_view tag) {
  std::string lower;
  for (char c : tag) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  for (const auto& l : kLanguages)
    if (l.Tag == lower) return l.ID;
  return 0;
}

// "de_DE.UTF-8" -> 7; "C", "POSIX" and unknown languages -> 0.
long LanguageFromLocale(const std::string& locale) {
  const auto end = locale.find_first_of("_.@-");
  return LanguageFromTag(std::string_view(locale).substr(0, end));
}

}  // namespace

// Reads one resource file: "#" comments, "Key=Value" settings, "<number>=<text>" texts, with
// \n, \r, \t and \\ escapes in texts.
class ResourceFileReader {
 public:
  static void Read(const std::string& path, ResourceServer& server) {
    std::ifstream in(path, std::ios::binary);
    if (!in) RaiseApplicationError("ResourceServer", "Cannot read the resource file " + path + ".");
    std::string line;
    for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
      if (line.empty() || line.front() == '#') continue;
      const auto eq = line.find('=');
      if (eq == std::string::npos || eq == 0) Malformed(path, lineNumber, "no \"key=text\"");
      const std::string key = line.substr(0, eq);
      const std::string value = line.substr(eq + 1);
      if (std::isdigit(static_cast<unsigned char>(key.front()))) {
        char* end = nullptr;
        const long id = std::strtol(key.c_str(), &end, 10);
        if (*end != '\0') Malformed(path, lineNumber, "bad resource number \"" + key + "\"");
        if (!server.m_Texts.emplace(id, Unescape(value)).second)
          Malformed(path, lineNumber, "resource " + key + " given twice");
      } else if (key == "Language") {
        server.m_LanguageID = Number(path, lineNumber, value);
      } else if (key == "FontName") {
        server.m_Font.Name = value;
      } else if (key == "FontSize") {
        server.m_Font.Size = NumberText(path, lineNumber, value);
      } else if (key == "FontCharset") {
        server.m_Font.Charset = static_cast<int>(Number(path, lineNumber, value));
      } else if (key == "SizeFactor") {
        server.m_SizeFactor = NumberText(path, lineNumber, value);
      } else {
        Malformed(path, lineNumber, "unknown setting \"" + key + "\"");
      }
    }
  }

 private:
  [[noreturn]] static void Malformed(const std::string& path, long lineNumber, const std::string& what) {
    RaiseApplicationError("ResourceServer", "Resource file " + path + ", line " + std::to_string(lineNumber) +
                                                ": " + what + ".");
  }
  static double NumberText(const std::string& path, long lineNumber, const std::string& text) {
    double value = 0;
    if (!TryParseNumber(text, value) || value <= 0)
      Malformed(path, lineNumber, "bad number \"" + text + "\"");
    return value;
  }
  static long Number(const std::string& path, long lineNumber, const std::string& text) {
    double value = 0;
    if (!TryParseNumber(text, value) || value < 0 || value != static_cast<long>(value))
      Malformed(path, lineNumber, "bad number \"" + text + "\"");
    return static_cast<long>(value);
  }
  static std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\\' || i + 1 == text.size()) {
        out.push_back(text[i]);
        continue;
      }
      switch (text[++i]) {
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        default: out.push_back(text[i]); break;
      }
    }
    return out;
  }
};

long ResourceServer::ProductLanguage(long productIndex) {
  if (productIndex != 0 && productIndex != 2) RaiseInvalidArgument("ProductLanguage", "productIndex");
  if (const char* chosen = std::getenv("ORRENDEL_LANGUAGE"); chosen && *chosen) {
    double number = 0;
    if (TryParseNumber(chosen, number) && number > 0) return static_cast<long>(number);
    if (long id = LanguageFromLocale(chosen)) return id;
  }
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* locale = std::getenv(variable);
    if (!locale || !*locale) continue;
    // The first variable that is set decides, as the C library does.
    const long id = LanguageFromLocale(locale);
    return id ? id : kLanguageEnglish;
  }
  return kLanguageEnglish;
}

std::string ResourceServer::LanguageTag(long languageID) {
  for (const auto& l : kLanguages)
    if (l.ID == languageID) return std::string(l.Tag);
  return "en";
}

std::shared_ptr<ResourceServer> ResourceServer::Open(const std::string& productCode,
                                                     const std::string& languageTag) {
  return OpenIn(SuiteFolders::ResourceDirectory(), productCode, languageTag);
}

std::shared_ptr<ResourceServer> ResourceServer::OpenIn(const std::string& folder,
                                                       const std::string& productCode,
                                                       const std::string& languageTag) {
  if (productCode.empty() || productCode.find('/') != std::string::npos)
    RaiseInvalidArgument("GetResourceServer", "productCode");
  auto server = std::make_shared<ResourceServer>();
  server->m_ProductCode = productCode;
  const std::string english = folder + "/" + productCode + "_en.txt";
  const std::string own =
      folder + "/" + productCode + "_" + LanguageTag(LanguageFromTag(languageTag)) + ".txt";
  if (own != english && FileExists(own)) {
    ResourceFileReader::Read(own, *server);
    // English fills in what the language's file lacks; its settings do not replace the language's.
    ResourceServer fallback;
    if (FileExists(english)) ResourceFileReader::Read(english, fallback);
    server->m_Texts.merge(fallback.m_Texts);
  } else {
    if (!FileExists(english))
      RaiseApplicationError("GetResourceServer", "The resource file " + english + " is missing.");
    ResourceFileReader::Read(english, *server);
  }
  return server;
}

std::string ResourceServer::GetString(long id, const Variant& p1, const Variant& p2,
                                      const Variant& p3) const {
  const auto found = m_Texts.find(id);
  if (found == m_Texts.end())
    RaiseError(kErrInvalidArgument, "GetResourceString",
               "There is no resource string " + std::to_string(id) + " for " + m_ProductCode + ".");
  const std::string& text = found->second;
  const Variant* params[] = {&p1, &p2, &p3};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
      if (next >= '1' && next <= '3' && !params[next - '1']->IsEmpty()) {
        out += params[next - '1']->ToString();
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace corvana
