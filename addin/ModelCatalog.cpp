#include "addin/ModelCatalog.h"

#include <algorithm>
#include <stdexcept>

#include "addin/PortfolioModel.h"
#include "addin/RoutingModel.h"
#include "addin/SpringDesignModel.h"

namespace corvana::addin {

const std::vector<std::string>& ModelCatalog::Names() {
  static const std::vector<std::string> names = {"portfolio", "spring", "routing"};
  return names;
}

std::string ModelCatalog::NamesText() {
  std::string text;
  for (const auto& name : Names()) text += (text.empty() ? "" : ", ") + name;
  return text;
}

bool ModelCatalog::Has(const std::string& name) {
  return std::find(Names().begin(), Names().end(), name) != Names().end();
}

bool ModelCatalog::SupportsSeries(const std::string& name) {
  return Has(name) && !Create(name)->Constraints().empty();
}

std::unique_ptr<Model> ModelCatalog::Create(const std::string& name) {
  if (name == "portfolio") return std::make_unique<PortfolioModel>();
  if (name == "spring") return std::make_unique<SpringDesignModel>();
  if (name == "routing") return std::make_unique<RoutingModel>();
  throw std::invalid_argument("unknown model \"" + name + "\"");
}

}  // namespace corvana::addin
