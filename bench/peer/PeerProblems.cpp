#include "bench/peer/PeerProblems.h"

#include <utility>

namespace corvana::peer {

using addin::WorkbookWriter;
namespace fs = std::filesystem;

void WriteSpeedReducer(WorkbookWriter& w, const fs::path& path) {
  w.NewWorkbook({"Reducer"});
  w.Set("Reducer.A1", "Speed reducer (Golinski 1973): the lightest gear box");
  w.SetRows("Reducer.A3", {{"Dimension", "Value", "Lower", "Upper"}});
  const std::vector<std::pair<const char*, std::vector<double>>> genes = {
      {"Face width x1", {3.0, 2.6, 3.6}},      {"Tooth module x2", {0.75, 0.7, 0.8}},
      {"Pinion teeth x3", {22, 17, 28}},       {"Shaft 1 length x4", {8.0, 7.3, 8.3}},
      {"Shaft 2 length x5", {8.0, 7.3, 8.3}},  {"Shaft 1 diameter x6", {3.4, 2.9, 3.9}},
      {"Shaft 2 diameter x7", {5.2, 5.0, 5.5}}};
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const std::string row = std::to_string(4 + i);
    w.Set("Reducer.A" + row, genes[i].first);
    w.SetNumbers("Reducer.B" + row, {genes[i].second});
  }
  w.SetRows("Reducer.A12", {{"Pinion teeth, whole", "=ROUND(B6;0)"}});
  w.SetRows("Reducer.A14",
            {{"Weight",
              "=0.7854*B4*B5^2*(3.3333*B12^2+14.9334*B12-43.0934)-1.508*B4*(B9^2+B10^2)+7.4777*(B9^3+B10^3)"
              "+0.7854*(B7*B9^2+B8*B10^2)"},
             {"Goal", "min"}});
  w.SetRows("Reducer.A17", {{"Limit", "Slack (x 100000)"}});
  const std::vector<std::pair<const char*, const char*>> limits = {
      {"Bending_Stress", "27/(B4*B5^2*B12)"},
      {"Contact_Stress", "397.5/(B4*B5^2*B12^2)"},
      {"Shaft1_Deflection", "1.93*B7^3/(B5*B12*B9^4)"},
      {"Shaft2_Deflection", "1.93*B8^3/(B5*B12*B10^4)"},
      {"Shaft1_Stress", "SQRT((745*B7/(B5*B12))^2+16900000)/(110*B9^3)"},
      {"Shaft2_Stress", "SQRT((745*B8/(B5*B12))^2+157500000)/(85*B10^3)"},
      {"Gear_Size", "B5*B12/40"},
      {"Width_Min", "5*B5/B4"},
      {"Width_Max", "B4/(12*B5)"},
      {"Shaft1_Design", "(1.5*B9+1.9)/B7"},
      {"Shaft2_Design", "(1.1*B10+1.9)/B8"}};
  std::vector<std::vector<std::string>> limitRows;
  for (const auto& [name, ratio] : limits)
    limitRows.push_back({name, std::string("=100000*(1-") + ratio + ")"});
  w.SetRows("Reducer.A18", limitRows);
  w.NameModel({.Adjustable = "$Reducer.$B$4:$B$10",
               .Lower = "$Reducer.$C$4:$C$10",
               .Upper = "$Reducer.$D$4:$D$10",
               .Objective = "$Reducer.$B$14",
               .Goal = "$Reducer.$B$15",
               .Constraints = "$Reducer.$B$18:$B$28",
               .ConstraintNames = "$Reducer.$A$18:$A$28"});
  w.Save(path);
}

void WritePressureVessel(WorkbookWriter& w, const fs::path& path) {
  constexpr double step = 0.0625;  // plates come in steps of 1/16 inch
  w.NewWorkbook({"Vessel"});
  w.Set("Vessel.A1", "Pressure vessel (Sandgren 1990): the cheapest vessel of 1296000 cubic inches");
  w.SetRows("Vessel.A3", {{"Dimension", "Value", "Lower", "Upper"}});
  w.SetRows("Vessel.A4", {{"Shell thickness Ts"}, {"Head thickness Th"}, {"Inner radius R"}, {"Length L"}});
  w.SetNumbers("Vessel.B4", {{1.5, step, 99 * step}, {1.0, step, 99 * step}, {60, 10, 200}, {100, 10, 200}});
  w.SetRows("Vessel.A9", {{"Shell plate, in 1/16 inch", "=MAX(1;ROUND(B4/0.0625;0))*0.0625"},
                          {"Head plate, in 1/16 inch", "=MAX(1;ROUND(B5/0.0625;0))*0.0625"}});
  w.SetRows("Vessel.A12",
            {{"Cost", "=0.6224*B9*B6*B7+1.7781*B10*B6^2+3.1661*B9^2*B7+19.84*B9^2*B6"}, {"Goal", "min"}});
  w.SetRows("Vessel.A15", {{"Limit", "Slack"},
                           {"Shell_Thickness", "=100000*(B9-0.0193*B6)"},
                           {"Head_Thickness", "=100000*(B10-0.00954*B6)"},
                           {"Volume", "=PI()*B6^2*B7+4/3*PI()*B6^3-1296000"},
                           {"Length", "=1000*(240-B7)"}});
  w.NameModel({.Adjustable = "$Vessel.$B$4:$B$7",
               .Lower = "$Vessel.$C$4:$C$7",
               .Upper = "$Vessel.$D$4:$D$7",
               .Objective = "$Vessel.$B$12",
               .Goal = "$Vessel.$B$13",
               .Constraints = "$Vessel.$B$16:$B$19",
               .ConstraintNames = "$Vessel.$A$16:$A$19"});
  w.Save(path);
}

}  // namespace corvana::peer
