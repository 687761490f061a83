#include "suite/objectlib/ResourceServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "common/ComError.h"
#include "suite/objectlib/SuiteFolders.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace corvana;

namespace {

std::set<long> IdsIn(const std::string& path) {
  std::ifstream in(path);
  std::set<long> ids;
  const std::regex text(R"(^(\d+)=)");
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, text)) ids.insert(std::stol(m[1]));
  return ids;
}

template <class F>
ComError Raised(F&& f) {
  try {
    f();
  } catch (const ComError& e) {
    return e;
  }
  ADD_FAILURE() << "nothing raised";
  return ComError(0, "", "");
}

}  // namespace

TEST(ResourceServer, ShippedLanguagesCoverTheSameNumbersWithOwnTexts) {
  const std::string folder = SuiteFolders::ResourceDirectory();
  const auto english = IdsIn(folder + "/Corvana8_en.txt");
  ASSERT_GT(english.size(), 130u);
  EXPECT_EQ(IdsIn(folder + "/Corvana8_de.txt"), english);

  const auto en = ResourceServer::Open("Corvana8", "en");
  const auto de = ResourceServer::Open("Corvana8", "de");
  EXPECT_EQ(en->LanguageID(), 9);
  EXPECT_EQ(de->LanguageID(), 7);
  EXPECT_GT(de->SizeFactor(), en->SizeFactor());
  EXPECT_FALSE(en->Font().Name.empty());
  std::size_t enLength = 0, deLength = 0;
  for (long id : english) {
    enLength += en->GetString(id).size();
    deLength += de->GetString(id).size();
  }
  // Layouts that widen by language need texts that really are longer.
  EXPECT_GT(deLength, enLength * 5 / 4);
  EXPECT_NE(de->GetString(4306), en->GetString(4306));
}

TEST(ResourceServer, SubstitutesUpToThreeParameters) {
  TempDir tmp;
  tmp.Write("P_en.txt", "1=%1 of %2 (%3)\n2=100%% done, %1\n3=no %4 here\n4=tab\\there\\\\\n");
  const auto server = ResourceServer::OpenIn(tmp.Path(), "P", "en");
  EXPECT_EQ(server->GetString(1, 3, 10.5, "x"), "3 of 10.5 (x)");
  // A missing parameter leaves its marker, so a forgotten argument shows.
  EXPECT_EQ(server->GetString(1, std::int32_t{3}), "3 of %2 (%3)");
  EXPECT_EQ(server->GetString(2, true), "100% done, True");
  EXPECT_EQ(server->GetString(3, 1), "no %4 here");
  EXPECT_EQ(server->GetString(4), "tab\there\\");
}

TEST(ResourceServer, UnknownNumberRaisesNamingIt) {
  const auto en = ResourceServer::Open("Corvana8", "en");
  const ComError e = Raised([&] { en->GetString(9999); });
  EXPECT_EQ(e.Code(), kErrInvalidArgument);
  EXPECT_NE(e.Description().find("9999"), std::string::npos);
}

TEST(ResourceServer, MissingLanguageFallsBackToEnglishAndMissingEnglishIsAnError) {
  TempDir tmp;
  tmp.Write("P_en.txt", "Language=9\n1=one\n2=two\n");
  tmp.Write("P_de.txt", "Language=7\nSizeFactor=1.2\n1=eins\n");
  const auto fr = ResourceServer::OpenIn(tmp.Path(), "P", "fr");
  EXPECT_EQ(fr->LanguageID(), 9);
  EXPECT_EQ(fr->GetString(1), "one");
  // German keeps its own settings and borrows only the missing text.
  const auto de = ResourceServer::OpenIn(tmp.Path(), "P", "de");
  EXPECT_EQ(de->LanguageID(), 7);
  EXPECT_DOUBLE_EQ(de->SizeFactor(), 1.2);
  EXPECT_EQ(de->GetString(1), "eins");
  EXPECT_EQ(de->GetString(2), "two");

  const ComError e = Raised([&] { ResourceServer::OpenIn(tmp.Path(), "Q", "en"); });
  EXPECT_EQ(e.Code(), kErrApplication);
  EXPECT_NE(e.Description().find(tmp / "Q_en.txt"), std::string::npos);
}

TEST(ResourceServer, MalformedFileIsReportedWithItsLine) {
  TempDir tmp;
  tmp.Write("P_en.txt", "# comment\n1=one\nthis line has no key\n");
  const ComError e = Raised([&] { ResourceServer::OpenIn(tmp.Path(), "P", "en"); });
  EXPECT_NE(e.Description().find("line 3"), std::string::npos);
  tmp.Write("R_en.txt", "1=one\n1=again\n");
  EXPECT_THROW(ResourceServer::OpenIn(tmp.Path(), "R", "en"), ComError);
  tmp.Write("S_en.txt", "FontSize=big\n");
  EXPECT_THROW(ResourceServer::OpenIn(tmp.Path(), "S", "en"), ComError);
}

TEST(ResourceServer, TheUsersLanguageComesFromTheSuiteSettingThenTheLocale) {
  ScopedEnv lcAll("LC_ALL", std::nullopt);
  ScopedEnv lcMessages("LC_MESSAGES", std::nullopt);
  // The suite's setting, a tag or a language number, wins over the locale, for each product.
  const struct {
    const char *Locale, *Setting;
    long Product, Language;
  } cases[] = {{"de_DE.UTF-8", nullptr, 0, 7},
               {"de_DE.UTF-8", "en", 0, 9},
               {"C.UTF-8", "7", 2, 7},
               {"C.UTF-8", nullptr, 0, 9}};
  for (const auto& c : cases) {
    ScopedEnv lang("LANG", c.Locale);
    ScopedEnv chosen("ORRENDEL_LANGUAGE", c.Setting ? std::optional<std::string>(c.Setting) : std::nullopt);
    EXPECT_EQ(ResourceServer::ProductLanguage(c.Product), c.Language)
        << c.Locale << " " << (c.Setting ? c.Setting : "-");
  }
  EXPECT_EQ(Raised([] { ResourceServer::ProductLanguage(1); }).Code(), kErrInvalidArgument);
  EXPECT_EQ(ResourceServer::LanguageTag(7), "de");
  EXPECT_EQ(ResourceServer::LanguageTag(12345), "en");
}
