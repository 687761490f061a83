#include "addin/ModelCatalog.h"

#include <algorithm>
#include <stdexcept>

#include "addin/EllipsoidModel.h"
#include "addin/PortfolioModel.h"
#include "addin/PressureVesselModel.h"
#include "addin/RastriginModel.h"
#include "addin/RoutingModel.h"
#include "addin/SpeedReducerModel.h"
#include "addin/SpringDesignModel.h"

namespace corvana::addin {

const std::vector<std::string>& ModelCatalog::Names() {
  static const std::vector<std::string> names = {"portfolio",     "spring",          "routing",
                                                 "speed-reducer", "pressure-vessel", "rastrigin10",
                                                 "rastrigin30",   "ellipsoid10",     "ellipsoid30"};
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
  if (name == "speed-reducer") return std::make_unique<SpeedReducerModel>();
  if (name == "pressure-vessel") return std::make_unique<PressureVesselModel>();
  if (name == "rastrigin10") return std::make_unique<RastriginModel>(10);
  if (name == "rastrigin30") return std::make_unique<RastriginModel>(30);
  if (name == "ellipsoid10") return std::make_unique<EllipsoidModel>(10);
  if (name == "ellipsoid30") return std::make_unique<EllipsoidModel>(30);
  throw std::invalid_argument("unknown model \"" + name + "\"");
}

}  // namespace corvana::addin
