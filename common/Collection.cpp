#include "common/Collection.h"

#include <string>

#include "common/ComError.h"

namespace corvana {

namespace {
void CheckIndex(long index, long count) {
  if (index < 1 || index > count)
    RaiseError(kErrSubscriptOutOfRange, "Collection",
               "Subscript out of range: " + std::to_string(index) + " of " + std::to_string(count) + ".");
}
}  // namespace

const Variant& Collection::Item(long index) const {
  CheckIndex(index, Count());
  return m_Items[static_cast<std::size_t>(index - 1)];
}

void Collection::Remove(long index) {
  CheckIndex(index, Count());
  m_Items.erase(m_Items.begin() + (index - 1));
}

}  // namespace corvana
