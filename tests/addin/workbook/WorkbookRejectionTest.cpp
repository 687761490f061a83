#include <gtest/gtest.h>

#include <atomic>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <fstream>
#include <functional>
#include <memory>

#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookModel.h"
#include "addin/workbook/WorkbookSession.h"
#include "tests/addin/workbook/TestWorkbooks.h"

namespace corvana::addin {
namespace {

struct Defect {
  const char* File;
  std::function<void(WorkbookWriter&)> Break;
  const char* Message;  // what the error must say
};

const std::vector<Defect>& Defects() {
  static const std::vector<Defect> defects = {
      {"no-objective.ods", [](WorkbookWriter& w) { w.RemoveName("Corvana_Objective"); },
       "defines no name Corvana_Objective"},
      {"text-adjustable.ods", [](WorkbookWriter& w) { w.Set("Model.B3", "abc"); },
       "Model.B3 (Corvana_Adjustable) holds the text \"abc\""},
      {"formula-adjustable.ods", [](WorkbookWriter& w) { w.Set("Model.B3", "=1+1"); },
       "Model.B3 (Corvana_Adjustable) holds a formula"},
      {"empty-adjustable.ods", [](WorkbookWriter& w) { w.Set("Model.B3", ""); },
       "Model.B3 (Corvana_Adjustable) is empty"},
      {"outside-bounds.ods", [](WorkbookWriter& w) { w.Set("Model.B2", "11"); }, "Model.B2: its value"},
      {"crossed-bounds.ods", [](WorkbookWriter& w) { w.Set("Model.C2", "10"); }, "Model.B2: its lower bound"},
      {"bounds-shape.ods", [](WorkbookWriter& w) { w.Name("Corvana_Upper", "$Model.$D$2:$D$4"); },
       "Corvana_Upper has 3 cells; it needs one, or 2"},
      {"two-objectives.ods", [](WorkbookWriter& w) { w.Name("Corvana_Objective", "$Model.$B$5:$B$6"); },
       "Corvana_Objective must name a single cell"},
      {"text-objective.ods", [](WorkbookWriter& w) { w.Set("Model.B5", "hello"); },
       "Model.B5 (Corvana_Objective) holds the text \"hello\""},
      {"error-constraint.ods", [](WorkbookWriter& w) { w.Set("Model.B7", "=1/0"); },
       "Model.B7 (Corvana_Constraints) shows an error"},
      {"bad-goal.ods", [](WorkbookWriter& w) { w.Set("Model.B6", "biggest"); },
       "Model.B6 (Corvana_Goal) must hold max, min or a target value"},
      {"bad-method.ods",
       [](WorkbookWriter& w) {
         w.Set("Model.E2", "random");
         w.Name("Corvana_Method", "$Model.$E$2");
       },
       "Model.E2 (Corvana_Method) holds \"random\""},
      {"bad-population.ods",
       [](WorkbookWriter& w) {
         w.Set("Model.F1", "1");
         w.Name("Corvana_Population", "$Model.$F$1");
       },
       "Model.F1 (Corvana_Population) must be at least 2"},
  };
  return defects;
}

class WorkbookRejection : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_Folder = std::make_unique<TempDir>();
    for (const Defect& d : Defects()) testing::SaveTinyModel(*s_Folder / d.File, d.Break);
  }
  static void TearDownTestSuite() { s_Folder.reset(); }

  static std::string ErrorOf(const std::filesystem::path& path) {
    std::atomic<bool> stop{false};
    try {
      WorkbookModel model(path, stop);
    } catch (const WorkbookError& e) {
      return e.what();
    }
    return "accepted";
  }

  static std::unique_ptr<TempDir> s_Folder;
};
std::unique_ptr<TempDir> WorkbookRejection::s_Folder;

TEST_F(WorkbookRejection, NamesTheCellOrNameAtFault) {
  for (const Defect& d : Defects()) {
    const std::string error = ErrorOf(*s_Folder / d.File);
    EXPECT_NE(error.find(d.Message), std::string::npos) << d.File << ": " << error;
    EXPECT_NE(error.find(d.File), std::string::npos) << "the message names the workbook: " << error;
  }
}

TEST_F(WorkbookRejection, MissingOrCorruptFiles) {
  EXPECT_NE(ErrorOf(*s_Folder / "absent.ods").find("absent.ods: no such workbook"), std::string::npos);
  const auto corrupt = *s_Folder / "corrupt.ods";
  std::ofstream(corrupt) << "PK\x03\x04 not really a zip";
  const std::string error = ErrorOf(corrupt);
  EXPECT_NE(error.find("corrupt.ods: "), std::string::npos) << error;

  // A workbook saved with a password: the office asks for it, nobody answers, and the user reads why.
  const auto locked = *s_Folder / "password.ods";
  {
    WorkbookSession session;
    const auto document = session.Create();
    css::beans::PropertyValue filter, password;
    filter.Name = "FilterName";
    filter.Value <<= rtl::OUString("calc8");
    password.Name = "Password";
    password.Value <<= rtl::OUString("secret");
    const css::beans::PropertyValue properties[] = {filter, password};
    css::uno::Reference<css::frame::XStorable>(document, css::uno::UNO_QUERY_THROW)
        ->storeToURL(rtl::OUString::fromUtf8(("file://" + locked).c_str()),
                     css::uno::Sequence<css::beans::PropertyValue>(properties, 2));
  }
  EXPECT_NE(ErrorOf(locked).find("password.ods: the workbook is protected by a password"), std::string::npos)
      << ErrorOf(locked);
}

}  // namespace
}  // namespace corvana::addin
