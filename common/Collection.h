#pragma once

#include <cstddef>
#include <vector>

#include "common/Variant.h"

namespace corvana {

// An ordered list of variants addressed from 1, as the add-in fills and reads it.
class Collection {
 public:
  Collection() = default;
  explicit Collection(std::vector<Variant> items) : m_Items(std::move(items)) {}

  void Add(Variant item) { m_Items.push_back(std::move(item)); }
  // Raises "Subscript out of range" for an index outside 1..Count.
  const Variant& Item(long index) const;
  void Remove(long index);
  void Clear() noexcept { m_Items.clear(); }
  long Count() const noexcept { return static_cast<long>(m_Items.size()); }

  const std::vector<Variant>& Items() const noexcept { return m_Items; }
  bool operator==(const Collection&) const = default;

 private:
  std::vector<Variant> m_Items;
};

}  // namespace corvana
