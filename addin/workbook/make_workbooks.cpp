// Writes the example workbooks into a folder: corvana-make-workbooks DIR
#include <com/sun/star/uno/Exception.hpp>
#include <filesystem>
#include <iostream>

#include "addin/workbook/ExampleWorkbooks.h"
#include "addin/workbook/WorkbookError.h"

int main(int argc, char** argv) {
  using namespace corvana::addin;
  if (argc != 2) {
    std::cerr << "usage: corvana-make-workbooks DIR\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  try {
    std::filesystem::create_directories(dir);
    WorkbookWriter writer;
    ExampleWorkbooks::WriteSpring(writer, dir / "spring.ods");
    std::cerr << "wrote " << (dir / "spring.ods").string() << "\n";
    ExampleWorkbooks::WritePortfolio(writer, dir / "portfolio.ods");
    std::cerr << "wrote " << (dir / "portfolio.ods").string() << "\n";
    ExampleWorkbooks::WriteSchedule(writer, dir / "schedule.ods");
    std::cerr << "wrote " << (dir / "schedule.ods").string() << "\n";
  } catch (const css::uno::Exception& e) {
    std::cerr << "corvana-make-workbooks: " << e.Message.toUtf8().getStr() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "corvana-make-workbooks: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
