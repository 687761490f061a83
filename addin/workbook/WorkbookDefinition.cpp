#include "addin/workbook/WorkbookDefinition.h"

#include <algorithm>
#include <cmath>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include "addin/workbook/WorkbookError.h"

namespace corvana::addin {

using namespace css;
using rtl::OUString;
using Document = uno::Reference<sheet::XSpreadsheetDocument>;

namespace {

std::string ToUtf8(const OUString& text) {
  return text.toUtf8().getStr();
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ColumnLetters(sal_Int32 column) {
  std::string letters;
  for (sal_Int32 c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters;
}

int CellCount(const table::CellRangeAddress& a) {
  return (a.EndColumn - a.StartColumn + 1) * (a.EndRow - a.StartRow + 1);
}

// Reads a workbook's names and cells for the checks, naming the culprit in every message.
class Reader {
 public:
  explicit Reader(const Document& document) : m_Document(document) {
    uno::Reference<beans::XPropertySet> props(document, uno::UNO_QUERY_THROW);
    m_Names.set(props->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
  }

  bool Has(const char* name) const { return m_Names->hasByName(OUString::createFromAscii(name)); }

  // The ranges a name refers to; a union of ranges is written "a~b" or "a;b".
  std::vector<table::CellRangeAddress> Ranges(const char* name) const {
    if (!Has(name)) throw WorkbookError(std::string("the workbook defines no name ") + name);
    uno::Reference<sheet::XNamedRange> range(m_Names->getByName(OUString::createFromAscii(name)),
                                             uno::UNO_QUERY_THROW);
    const std::string content = ToUtf8(range->getContent());
    std::vector<table::CellRangeAddress> result;
    std::size_t start = 0;
    while (start <= content.size()) {
      const std::size_t end = std::min(content.find('~', start), content.find(';', start));
      const std::string piece = content.substr(start, end == std::string::npos ? end : end - start);
      result.push_back(Convert(name, piece));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return result;
  }

  // A name that must refer to exactly one cell.
  WorkbookDefinition::Cell OneCell(const char* name) const {
    const auto ranges = Ranges(name);
    if (ranges.size() != 1 || CellCount(ranges[0]) != 1)
      throw WorkbookError(std::string(name) + " must name a single cell");
    return {ranges[0], Label(ranges[0].Sheet, ranges[0].StartColumn, ranges[0].StartRow)};
  }

  std::vector<WorkbookDefinition::Cell> Cells(const std::vector<table::CellRangeAddress>& ranges) const {
    std::vector<WorkbookDefinition::Cell> cells;
    for (const auto& r : ranges)
      for (sal_Int32 row = r.StartRow; row <= r.EndRow; ++row)
        for (sal_Int32 column = r.StartColumn; column <= r.EndColumn; ++column)
          cells.push_back(
              {table::CellRangeAddress(r.Sheet, column, row, column, row), Label(r.Sheet, column, row)});
    return cells;
  }

  std::string Label(sal_Int16 sheet, sal_Int32 column, sal_Int32 row) const {
    uno::Reference<container::XIndexAccess> sheets(m_Document->getSheets(), uno::UNO_QUERY_THROW);
    uno::Reference<container::XNamed> named(sheets->getByIndex(sheet), uno::UNO_QUERY_THROW);
    return ToUtf8(named->getName()) + "." + ColumnLetters(column) + std::to_string(row + 1);
  }

  uno::Any Value(const WorkbookDefinition::Cell& cell) const {
    uno::Reference<sheet::XCellRangeData> data(WorkbookDefinition::Range(m_Document, cell.Address),
                                               uno::UNO_QUERY_THROW);
    return data->getDataArray()[0][0];
  }

  // The number a cell shows; text, an error or an empty cell is refused.
  double Number(const WorkbookDefinition::Cell& cell, const std::string& role) const {
    const uno::Any value = Value(cell);
    double number = 0;
    if (value >>= number) return number;
    OUString text;
    if (!(value >>= text)) throw WorkbookError(cell.Label + " (" + role + ") shows an error");
    if (text.isEmpty()) throw WorkbookError(cell.Label + " (" + role + ") is empty; it must hold a number");
    throw WorkbookError(cell.Label + " (" + role + ") holds the text \"" + ToUtf8(text) +
                        "\"; it must hold a number");
  }

  std::string Text(const WorkbookDefinition::Cell& cell) const {
    OUString text;
    Value(cell) >>= text;
    return ToUtf8(text);
  }

  bool IsFormula(const WorkbookDefinition::Cell& cell) const {
    uno::Reference<sheet::XCellRangeFormula> formula(WorkbookDefinition::Range(m_Document, cell.Address),
                                                     uno::UNO_QUERY_THROW);
    return formula->getFormulaArray()[0][0].startsWith("=");
  }

  // Whether a cell shows TRUE or FALSE rather than a number.
  bool IsLogical(const WorkbookDefinition::Cell& cell) const {
    uno::Reference<beans::XPropertySet> props(WorkbookDefinition::Range(m_Document, cell.Address),
                                              uno::UNO_QUERY_THROW);
    sal_Int32 key = 0;
    props->getPropertyValue("NumberFormat") >>= key;
    uno::Reference<util::XNumberFormatsSupplier> supplier(m_Document, uno::UNO_QUERY_THROW);
    uno::Reference<beans::XPropertySet> format = supplier->getNumberFormats()->getByKey(key);
    sal_Int16 type = 0;
    format->getPropertyValue("Type") >>= type;
    return (type & util::NumberFormat::LOGICAL) != 0;
  }

 private:
  table::CellRangeAddress Convert(const char* name, const std::string& piece) const {
    uno::Reference<lang::XMultiServiceFactory> factory(m_Document, uno::UNO_QUERY_THROW);
    uno::Reference<beans::XPropertySet> conversion(
        factory->createInstance("com.sun.star.table.CellRangeAddressConversion"), uno::UNO_QUERY_THROW);
    table::CellRangeAddress address;
    try {
      conversion->setPropertyValue(
          "PersistentRepresentation",
          uno::Any(OUString(piece.data(), static_cast<sal_Int32>(piece.size()), RTL_TEXTENCODING_UTF8)));
      conversion->getPropertyValue("Address") >>= address;
    } catch (const uno::Exception&) {
      throw WorkbookError(std::string(name) + " refers to \"" + piece + "\", which is not a cell range");
    }
    return address;
  }

  Document m_Document;
  uno::Reference<sheet::XNamedRanges> m_Names;
};

SolvingMethod ParseMethod(const WorkbookDefinition::Cell& cell, const std::string& text) {
  const std::string method = Lower(text);
  if (method == "recipe") return SolvingMethod::Recipe;
  if (method == "order") return SolvingMethod::Order;
  if (method == "budget") return SolvingMethod::Budget;
  throw WorkbookError(cell.Label + " (Corvana_Method) holds \"" + text +
                      "\"; the solving methods are recipe, order and budget");
}

// Bounds: one cell for every adjustable cell, or one cell each.
std::vector<double> ReadBounds(const Reader& reader, const char* name, std::size_t count) {
  const auto cells = reader.Cells(reader.Ranges(name));
  if (cells.size() != 1 && cells.size() != count)
    throw WorkbookError(std::string(name) + " has " + std::to_string(cells.size()) +
                        " cells; it needs one, or " + std::to_string(count) + " like Corvana_Adjustable");
  std::vector<double> values;
  for (const auto& cell : cells) values.push_back(reader.Number(cell, name));
  values.resize(count, values.front());
  return values;
}

template <class T>
std::optional<T> ReadSetting(const Reader& reader, const char* name, double minimum) {
  if (!reader.Has(name)) return std::nullopt;
  const auto cell = reader.OneCell(name);
  const double value = reader.Number(cell, name);
  if (value < minimum)
    throw WorkbookError(cell.Label + " (" + name + ") must be at least " +
                        std::to_string(static_cast<long>(minimum)));
  return static_cast<T>(value);
}

}  // namespace

uno::Reference<table::XCellRange> WorkbookDefinition::Range(const Document& document,
                                                            const table::CellRangeAddress& a) {
  uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
  uno::Reference<table::XCellRange> sheet(sheets->getByIndex(a.Sheet), uno::UNO_QUERY_THROW);
  return sheet->getCellRangeByPosition(a.StartColumn, a.StartRow, a.EndColumn, a.EndRow);
}

WorkbookDefinition WorkbookDefinition::Read(const Document& document) {
  const Reader reader(document);
  WorkbookDefinition d;

  d.Adjustable = reader.Ranges("Corvana_Adjustable");
  const auto adjustable = reader.Cells(d.Adjustable);
  const auto lower = ReadBounds(reader, "Corvana_Lower", adjustable.size());
  const auto upper = ReadBounds(reader, "Corvana_Upper", adjustable.size());
  std::vector<SolvingMethod> methods(d.Adjustable.size(), SolvingMethod::Recipe);
  if (reader.Has("Corvana_Method")) {
    const auto cells = reader.Cells(reader.Ranges("Corvana_Method"));
    if (cells.size() != 1 && cells.size() != methods.size())
      throw WorkbookError("Corvana_Method has " + std::to_string(cells.size()) + " cells; it needs one, or " +
                          std::to_string(methods.size()) + " (one per range of Corvana_Adjustable)");
    for (std::size_t i = 0; i < methods.size(); ++i) {
      const auto& cell = cells[cells.size() == 1 ? 0 : i];
      methods[i] = ParseMethod(cell, reader.Text(cell));
    }
  }
  std::size_t next = 0;
  for (std::size_t g = 0; g < d.Adjustable.size(); ++g) {
    GeneGroup group;
    group.Name = "Group " + std::to_string(g + 1);
    group.Method = methods[g];
    for (int k = 0; k < CellCount(d.Adjustable[g]); ++k, ++next) {
      const Cell& cell = adjustable[next];
      if (reader.IsFormula(cell))
        throw WorkbookError(cell.Label +
                            " (Corvana_Adjustable) holds a formula; adjustable cells hold numbers");
      const double start = reader.Number(cell, "Corvana_Adjustable");
      if (!(lower[next] < upper[next]))
        throw WorkbookError(cell.Label + ": its lower bound " + std::to_string(lower[next]) +
                            " is not below its upper bound " + std::to_string(upper[next]));
      if (start < lower[next] || start > upper[next])
        throw WorkbookError(cell.Label + ": its value " + std::to_string(start) + " is outside its bounds");
      group.Genes.push_back({cell.Label, lower[next], upper[next], start});
    }
    d.Groups.push_back(std::move(group));
  }

  d.Objective = reader.OneCell("Corvana_Objective");
  reader.Number(d.Objective, "Corvana_Objective");
  const Cell goal = reader.OneCell("Corvana_Goal");
  const uno::Any goalValue = reader.Value(goal);
  double target = 0;
  if (goalValue >>= target) {
    d.Target = target;
  } else {
    const std::string text = Lower(reader.Text(goal));
    if (text == "max" || text == "maximize")
      d.Maximize = true;
    else if (text != "min" && text != "minimize")
      throw WorkbookError(goal.Label + " (Corvana_Goal) must hold max, min or a target value");
  }

  if (reader.Has("Corvana_Constraints")) {
    d.Constraints = reader.Cells(reader.Ranges("Corvana_Constraints"));
    std::vector<Cell> names;
    if (reader.Has("Corvana_ConstraintNames")) {
      names = reader.Cells(reader.Ranges("Corvana_ConstraintNames"));
      if (names.size() != d.Constraints.size())
        throw WorkbookError("Corvana_ConstraintNames has " + std::to_string(names.size()) +
                            " cells; it needs one per cell of Corvana_Constraints (" +
                            std::to_string(d.Constraints.size()) + ")");
    }
    for (std::size_t i = 0; i < d.Constraints.size(); ++i) {
      reader.Number(d.Constraints[i], "Corvana_Constraints");
      d.Logical.push_back(reader.IsLogical(d.Constraints[i]));
      const std::string name = names.empty() ? "" : reader.Text(names[i]);
      d.ConstraintNames.push_back(name.empty() ? d.Constraints[i].Label : name);
    }
  }
  d.Population = ReadSetting<int>(reader, "Corvana_Population", 2);
  d.Trials = ReadSetting<long>(reader, "Corvana_Trials", 1);
  d.Minutes = ReadSetting<double>(reader, "Corvana_Minutes", 0);
  return d;
}

}  // namespace corvana::addin
