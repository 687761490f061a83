#include "addin/workbook/WorkbookWriter.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XArrayFormulaRange.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <utility>

#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookSession.h"

namespace corvana::addin {

using namespace css;
using rtl::OUString;

namespace {

OUString ToOUString(const std::string& text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

}  // namespace

struct WorkbookWriter::Office {
  WorkbookSession Session;
  uno::Reference<sheet::XSpreadsheetDocument> Document;

  uno::Reference<table::XCellRange> Cells(const std::string& cell) {
    const auto dot = cell.find('.');
    if (!Document.is() || dot == std::string::npos)
      throw WorkbookError("\"" + cell + "\" names no cell of the workbook being built");
    uno::Reference<table::XCellRange> sheet(Document->getSheets()->getByName(ToOUString(cell.substr(0, dot))),
                                            uno::UNO_QUERY_THROW);
    return sheet->getCellRangeByName(ToOUString(cell.substr(dot + 1)));
  }

  // The block of `width` x `height` cells whose top-left cell is `topLeft`.
  uno::Reference<table::XCellRange> Block(const std::string& topLeft, sal_Int32 width, sal_Int32 height) {
    uno::Reference<sheet::XCellRangeAddressable> corner(Cells(topLeft), uno::UNO_QUERY_THROW);
    const auto a = corner->getRangeAddress();
    uno::Reference<container::XIndexAccess> sheets(Document->getSheets(), uno::UNO_QUERY_THROW);
    uno::Reference<table::XCellRange> sheet(sheets->getByIndex(a.Sheet), uno::UNO_QUERY_THROW);
    return sheet->getCellRangeByPosition(a.StartColumn, a.StartRow, a.StartColumn + width - 1,
                                         a.StartRow + height - 1);
  }
};

WorkbookWriter::WorkbookWriter() : m_Office(std::make_unique<Office>()) {}

WorkbookWriter::~WorkbookWriter() = default;

void WorkbookWriter::NewWorkbook(const std::vector<std::string>& sheets) {
  Office& o = *m_Office;
  if (o.Document.is()) uno::Reference<util::XCloseable>(o.Document, uno::UNO_QUERY_THROW)->close(true);
  o.Document = o.Session.Create();
  const auto all = o.Document->getSheets();
  uno::Reference<container::XIndexAccess> indexed(all, uno::UNO_QUERY_THROW);
  uno::Reference<container::XNamed>(indexed->getByIndex(0), uno::UNO_QUERY_THROW)
      ->setName(ToOUString(sheets.at(0)));
  for (std::size_t i = 1; i < sheets.size(); ++i)
    all->insertNewByName(ToOUString(sheets[i]), static_cast<sal_Int16>(i));
}

void WorkbookWriter::Set(const std::string& cell, const std::string& content) {
  uno::Reference<table::XCellRange> range = m_Office->Cells(cell);
  range->getCellByPosition(0, 0)->setFormula(ToOUString(content));
}

void WorkbookWriter::SetRows(const std::string& topLeft, const std::vector<std::vector<std::string>>& rows) {
  if (rows.empty()) return;
  const auto width = static_cast<sal_Int32>(rows.front().size());
  const auto height = static_cast<sal_Int32>(rows.size());
  uno::Sequence<uno::Sequence<OUString>> contents(height);
  for (sal_Int32 r = 0; r < height; ++r) {
    if (static_cast<sal_Int32>(rows[r].size()) != width)
      throw WorkbookError("the rows written at " + topLeft + " are not all as wide as the first");
    contents[r].realloc(width);
    for (sal_Int32 c = 0; c < width; ++c) contents[r][c] = ToOUString(rows[r][c]);
  }
  uno::Reference<sheet::XCellRangeFormula>(m_Office->Block(topLeft, width, height), uno::UNO_QUERY_THROW)
      ->setFormulaArray(contents);
}

void WorkbookWriter::SetNumbers(const std::string& topLeft, const std::vector<std::vector<double>>& rows) {
  if (rows.empty()) return;
  const auto width = static_cast<sal_Int32>(rows.front().size());
  const auto height = static_cast<sal_Int32>(rows.size());
  uno::Sequence<uno::Sequence<uno::Any>> data(height);
  for (sal_Int32 r = 0; r < height; ++r) {
    data[r].realloc(width);
    for (sal_Int32 c = 0; c < width; ++c) data[r][c] <<= rows[r].at(c);
  }
  uno::Reference<sheet::XCellRangeData>(m_Office->Block(topLeft, width, height), uno::UNO_QUERY_THROW)
      ->setDataArray(data);
}

void WorkbookWriter::SetArrayFormula(const std::string& range, const std::string& formula) {
  uno::Reference<sheet::XArrayFormulaRange>(m_Office->Cells(range), uno::UNO_QUERY_THROW)
      ->setArrayFormula(ToOUString(formula));
}

void WorkbookWriter::Name(const std::string& name, const std::string& content) {
  uno::Reference<beans::XPropertySet> props(m_Office->Document, uno::UNO_QUERY_THROW);
  uno::Reference<sheet::XNamedRanges> names(props->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
  if (names->hasByName(ToOUString(name))) names->removeByName(ToOUString(name));
  names->addNewByName(ToOUString(name), ToOUString(content), table::CellAddress(0, 0, 0), 0);
}

void WorkbookWriter::RemoveName(const std::string& name) {
  uno::Reference<beans::XPropertySet> props(m_Office->Document, uno::UNO_QUERY_THROW);
  uno::Reference<sheet::XNamedRanges> names(props->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
  names->removeByName(ToOUString(name));
}

void WorkbookWriter::NameModel(const ModelRanges& r) {
  const std::pair<const char*, const std::string*> names[] = {
      {"Corvana_Adjustable", &r.Adjustable},
      {"Corvana_Lower", &r.Lower},
      {"Corvana_Upper", &r.Upper},
      {"Corvana_Method", &r.Method},
      {"Corvana_Objective", &r.Objective},
      {"Corvana_Goal", &r.Goal},
      {"Corvana_Constraints", &r.Constraints},
      {"Corvana_ConstraintNames", &r.ConstraintNames}};
  for (const auto& [name, range] : names)
    if (!range->empty()) Name(name, *range);
}

void WorkbookWriter::Save(const std::filesystem::path& path) {
  m_Office->Session.Save(m_Office->Document, path);
}

}  // namespace corvana::addin
