#include "watcher/graph/OGrData.h"

namespace corvana {

OGrData OGrData::FromRows(const std::vector<std::vector<double>>& rows) {
  if (rows.size() == 2 && rows[0].size() == rows[1].size() && rows[0].size() != 2)
    return OGrData{rows[0], rows[1]};
  // A 2 x 2 array is ambiguous; two rows of two read as X and Y, as a two-point progress array does.
  if (rows.size() == 2 && rows[0].size() == 2 && rows[1].size() == 2) return OGrData{rows[0], rows[1]};
  return FromPointRows(rows);
}

OGrData OGrData::FromPointRows(const std::vector<std::vector<double>>& rows) {
  OGrData data;
  data.X.reserve(rows.size());
  data.Y.reserve(rows.size());
  for (const auto& row : rows) {
    if (row.size() < 2) continue;
    data.X.push_back(row[0]);
    data.Y.push_back(row[1]);
  }
  return data;
}

}  // namespace corvana
