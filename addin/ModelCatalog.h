#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// The built-in models by name.
class ModelCatalog {
 public:
  static const std::vector<std::string>& Names();
  static std::string NamesText();  // "portfolio, spring, routing"
  static bool Has(const std::string& name);
  // Whether a series of optimizations can vary one of the model's constraints.
  static bool SupportsSeries(const std::string& name);
  // Raises std::invalid_argument for an unknown name.
  static std::unique_ptr<Model> Create(const std::string& name);
};

}  // namespace corvana::addin
