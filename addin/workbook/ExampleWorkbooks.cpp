#include "addin/workbook/ExampleWorkbooks.h"

#include "addin/PortfolioModel.h"

#include <random>
#include <string>

namespace corvana::addin {

void ExampleWorkbooks::WriteSpring(WorkbookWriter& w, const std::filesystem::path& path) {
  w.NewWorkbook({"Spring"});
  w.Set("Spring.A1", "The lightest coil spring that meets its limits");
  w.SetRows("Spring.A3", {{"Dimension", "Value", "Lower", "Upper"},
                          {"Wire diameter d", "0.05", "0.05", "2"},
                          {"Mean coil diameter D", "0.5", "0.25", "1.3"},
                          {"Active coils N", "5", "2", "15"}});
  w.SetRows("Spring.A8", {{"Weight (N + 2) D d^2", "=(B6+2)*B5*B4^2"}, {"Goal", "min"}});
  // Each limit as its slack: the cell must not be negative.
  w.SetRows("Spring.A11",
            {{"Limit", "Slack"},
             {"Deflection", "=B5^3*B6/(71785*B4^4)-1"},
             {"Shear_Stress", "=IF(B5>B4;1-(4*B5^2-B4*B5)/(12566*(B5*B4^3-B4^4))-1/(5108*B4^2);-1000)"},
             {"Surge_Frequency", "=140.45*B4/(B5^2*B6)-1"},
             {"Outer_Diameter", "=1-(B4+B5)/1.5"}});
  w.NameModel({.Adjustable = "$Spring.$B$4:$B$6",
               .Lower = "$Spring.$C$4:$C$6",
               .Upper = "$Spring.$D$4:$D$6",
               .Objective = "$Spring.$B$8",
               .Goal = "$Spring.$B$9",
               .Constraints = "$Spring.$B$12:$B$15",
               .ConstraintNames = "$Spring.$A$12:$A$15"});
  w.Save(path);
}

void ExampleWorkbooks::WritePortfolio(WorkbookWriter& w, const std::filesystem::path& path) {
  const auto& assets = kPortfolioAssets;
  constexpr int years = 1000;
  w.NewWorkbook({"Portfolio", "Years"});
  w.Set("Portfolio.A1", "Asset weights for the best mean yearly return");
  w.SetRows("Portfolio.A3", {{"Asset", "Weight", "Lower", "Upper", "Alpha", "Beta", "Sigma"}});
  for (std::size_t a = 0; a < assets.size(); ++a) {
    const std::string row = std::to_string(4 + a);
    w.Set("Portfolio.A" + row, assets[a].Name);
    w.SetNumbers("Portfolio.B" + row, {{0.125, 0, 0.4, assets[a].Alpha, assets[a].Beta, assets[a].Sigma}});
  }
  w.Set("Portfolio.A13", "Market mean");
  w.SetNumbers("Portfolio.B13", {{kPortfolioMarketMean}});
  w.Set("Portfolio.A14", "Market sigma");
  w.SetNumbers("Portfolio.B14", {{kPortfolioMarketSigma}});
  const std::string lastYear = std::to_string(years + 1);
  w.SetRows("Portfolio.A16",
            {{"Mean yearly return", "=AVERAGE(Years.K2:K" + lastYear + ")"}, {"Goal", "max"}});
  w.Set("Portfolio.A19", "Limit");
  w.SetRows("Portfolio.A20",
            {{"5th percentile of the return >= -12%", "=PERCENTILE(Years.K2:K" + lastYear + ";0.05)+0.12"}});
  w.SetRows("Portfolio.A22", {{"Method", "budget"}});

  // The simulated years: a market draw and one draw per asset, the same draws every trial, and
  // each asset's return worked out by formulas from them.
  w.Set("Years.A1", "Market draw");
  for (std::size_t a = 0; a < assets.size(); ++a)
    w.Set("Years." + std::string(1, static_cast<char>('B' + a)) + "1", assets[a].Name);
  w.Set("Years.K1", "Portfolio return");
  std::mt19937_64 random(20261205);
  std::normal_distribution<double> normal;
  std::vector<std::vector<double>> draws;
  for (int i = 0; i < years; ++i) {
    std::vector<double> row = {normal(random)};
    for (std::size_t a = 0; a < assets.size(); ++a) row.push_back(normal(random));
    draws.push_back(std::move(row));
  }
  w.SetNumbers("Years.M2", draws);
  w.Set("Years.M1", "Draws: market, then each asset");
  for (int i = 0; i < years; ++i) {
    const std::string r = std::to_string(i + 2);
    w.Set("Years.A" + r, "=$Portfolio.$B$13+$Portfolio.$B$14*M" + r);
    for (std::size_t a = 0; a < assets.size(); ++a) {
      const std::string asset = std::to_string(4 + a);
      const char draw = static_cast<char>('N' + a);
      w.Set("Years." + std::string(1, static_cast<char>('B' + a)) + r,
            "=$Portfolio.$E$" + asset + "+$Portfolio.$F$" + asset + "*A" + r + "+$Portfolio.$G$" + asset +
                "*" + draw + r);
    }
  }
  // The portfolio's return each year, the years' asset returns times the weights: one array
  // formula over the column, which the office works out in one go each trial.
  w.SetArrayFormula("Years.K2:K" + lastYear, "=MMULT(B2:I" + lastYear + ";$Portfolio.$B$4:$B$11)");
  w.NameModel({.Adjustable = "$Portfolio.$B$4:$B$11",
               .Lower = "$Portfolio.$C$4:$C$11",
               .Upper = "$Portfolio.$D$4:$D$11",
               .Method = "$Portfolio.$B$22",
               .Objective = "$Portfolio.$B$16",
               .Goal = "$Portfolio.$B$17",
               .Constraints = "$Portfolio.$B$20",
               .ConstraintNames = "$Portfolio.$A$20"});
  w.Save(path);
}

void ExampleWorkbooks::WriteSchedule(WorkbookWriter& w, const std::filesystem::path& path) {
  const auto& jobs = kScheduleJobs;
  const std::string last = std::to_string(3 + jobs.size());  // the last row of both tables
  w.NewWorkbook({"Schedule"});
  w.Set("Schedule.A1", "The order of the jobs on one machine with the least total weighted tardiness");
  w.SetRows("Schedule.A3", {{"Job", "Processing time", "Due", "Weight"}});
  std::vector<std::vector<double>> table;
  for (const auto& job : jobs) table.push_back({double(job.Number), job.ProcessingTime, job.Due, job.Weight});
  w.SetNumbers("Schedule.A4", table);

  // The sequence: which job runs in each position, the adjustable cells. Each job starts when the
  // one before it finishes; its data is looked up in the job table by its number.
  w.SetRows("Schedule.F3",
            {{"Position", "Job", "Start", "Finish", "Due", "Tardiness", "Weighted tardiness"}});
  const auto lookup = [&](char column, const std::string& row) {
    return "INDEX($" + std::string(1, column) + "$4:$" + std::string(1, column) + "$" + last + ";MATCH(G" +
           row + ";$A$4:$A$" + last + ";0))";
  };
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const std::string r = std::to_string(4 + i);
    w.SetNumbers("Schedule.F" + r, {{double(i + 1), double(jobs[i].Number)}});
    w.SetRows("Schedule.H" + r,
              {{i == 0 ? "0" : "=I" + std::to_string(3 + i), "=H" + r + "+" + lookup('B', r),
                "=" + lookup('C', r), "=MAX(0;I" + r + "-J" + r + ")", "=K" + r + "*" + lookup('D', r)}});
  }
  w.SetRows("Schedule.A16", {{"Total weighted tardiness", "=SUM(L4:L" + last + ")"}, {"Goal", "min"}});
  w.SetRows(
      "Schedule.A19",
      {{"Method", "order"}, {"Lowest job number", "1"}, {"Highest job number", std::to_string(jobs.size())}});
  w.NameModel({.Adjustable = "$Schedule.$G$4:$G$" + last,
               .Lower = "$Schedule.$B$20",
               .Upper = "$Schedule.$B$21",
               .Method = "$Schedule.$B$19",
               .Objective = "$Schedule.$B$16",
               .Goal = "$Schedule.$B$17"});
  w.Save(path);
}

}  // namespace corvana::addin
