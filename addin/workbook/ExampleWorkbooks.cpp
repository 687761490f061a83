#include "addin/workbook/ExampleWorkbooks.h"

#include "addin/PortfolioModel.h"

#include <array>
#include <random>
#include <string>

namespace corvana::addin {

void ExampleWorkbooks::WriteSpring(WorkbookWriter& w, const std::filesystem::path& path) {
  w.NewWorkbook({"Spring"});
  w.Set("Spring.A1", "The lightest coil spring that meets its limits");
  w.Set("Spring.A3", "Dimension");
  w.Set("Spring.B3", "Value");
  w.Set("Spring.C3", "Lower");
  w.Set("Spring.D3", "Upper");
  const std::array<std::array<const char*, 4>, 3> dimensions = {
      {{"Wire diameter d", "0.05", "0.05", "2"},
       {"Mean coil diameter D", "0.5", "0.25", "1.3"},
       {"Active coils N", "5", "2", "15"}}};
  for (std::size_t i = 0; i < dimensions.size(); ++i)
    for (std::size_t c = 0; c < 4; ++c)
      w.Set("Spring." + std::string(1, static_cast<char>('A' + c)) + std::to_string(4 + i), dimensions[i][c]);
  w.Set("Spring.A8", "Weight (N + 2) D d^2");
  w.Set("Spring.B8", "=(B6+2)*B5*B4^2");
  w.Set("Spring.A9", "Goal");
  w.Set("Spring.B9", "min");
  // Each limit as its slack: the cell must not be negative.
  w.Set("Spring.A11", "Limit");
  w.Set("Spring.B11", "Slack");
  w.Set("Spring.A12", "Deflection");
  w.Set("Spring.B12", "=B5^3*B6/(71785*B4^4)-1");
  w.Set("Spring.A13", "Shear_Stress");
  w.Set("Spring.B13", "=IF(B5>B4;1-(4*B5^2-B4*B5)/(12566*(B5*B4^3-B4^4))-1/(5108*B4^2);-1000)");
  w.Set("Spring.A14", "Surge_Frequency");
  w.Set("Spring.B14", "=140.45*B4/(B5^2*B6)-1");
  w.Set("Spring.A15", "Outer_Diameter");
  w.Set("Spring.B15", "=1-(B4+B5)/1.5");
  w.Name("Corvana_Adjustable", "$Spring.$B$4:$B$6");
  w.Name("Corvana_Lower", "$Spring.$C$4:$C$6");
  w.Name("Corvana_Upper", "$Spring.$D$4:$D$6");
  w.Name("Corvana_Objective", "$Spring.$B$8");
  w.Name("Corvana_Goal", "$Spring.$B$9");
  w.Name("Corvana_Constraints", "$Spring.$B$12:$B$15");
  w.Name("Corvana_ConstraintNames", "$Spring.$A$12:$A$15");
  w.Save(path);
}

void ExampleWorkbooks::WritePortfolio(WorkbookWriter& w, const std::filesystem::path& path) {
  const auto& assets = kPortfolioAssets;
  constexpr int years = 1000;
  w.NewWorkbook({"Portfolio", "Years"});
  w.Set("Portfolio.A1", "Asset weights for the best mean yearly return");
  w.Set("Portfolio.A3", "Asset");
  w.Set("Portfolio.B3", "Weight");
  w.Set("Portfolio.C3", "Lower");
  w.Set("Portfolio.D3", "Upper");
  w.Set("Portfolio.E3", "Alpha");
  w.Set("Portfolio.F3", "Beta");
  w.Set("Portfolio.G3", "Sigma");
  for (std::size_t a = 0; a < assets.size(); ++a) {
    const std::string row = std::to_string(4 + a);
    w.Set("Portfolio.A" + row, assets[a].Name);
    w.SetNumbers("Portfolio.B" + row, {{0.125, 0, 0.4, assets[a].Alpha, assets[a].Beta, assets[a].Sigma}});
  }
  w.Set("Portfolio.A13", "Market mean");
  w.SetNumbers("Portfolio.B13", {{kPortfolioMarketMean}});
  w.Set("Portfolio.A14", "Market sigma");
  w.SetNumbers("Portfolio.B14", {{kPortfolioMarketSigma}});
  w.Set("Portfolio.A16", "Mean yearly return");
  w.Set("Portfolio.B16", "=AVERAGE(Years.K2:K" + std::to_string(years + 1) + ")");
  w.Set("Portfolio.A17", "Goal");
  w.Set("Portfolio.B17", "max");
  w.Set("Portfolio.A19", "Limit");
  w.Set("Portfolio.A20", "5th percentile of the return >= -12%");
  w.Set("Portfolio.B20", "=PERCENTILE(Years.K2:K" + std::to_string(years + 1) + ";0.05)+0.12");
  w.Set("Portfolio.A22", "Method");
  w.Set("Portfolio.B22", "budget");

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
  const std::string lastYear = std::to_string(years + 1);
  w.SetArrayFormula("Years.K2:K" + lastYear, "=MMULT(B2:I" + lastYear + ";$Portfolio.$B$4:$B$11)");
  w.Name("Corvana_Adjustable", "$Portfolio.$B$4:$B$11");
  w.Name("Corvana_Lower", "$Portfolio.$C$4:$C$11");
  w.Name("Corvana_Upper", "$Portfolio.$D$4:$D$11");
  w.Name("Corvana_Method", "$Portfolio.$B$22");
  w.Name("Corvana_Objective", "$Portfolio.$B$16");
  w.Name("Corvana_Goal", "$Portfolio.$B$17");
  w.Name("Corvana_Constraints", "$Portfolio.$B$20");
  w.Name("Corvana_ConstraintNames", "$Portfolio.$A$20");
  w.Save(path);
}

void ExampleWorkbooks::WriteSchedule(WorkbookWriter& w, const std::filesystem::path& path) {
  const auto& jobs = kScheduleJobs;
  const std::string last = std::to_string(3 + jobs.size());  // the last row of both tables
  w.NewWorkbook({"Schedule"});
  w.Set("Schedule.A1", "The order of the jobs on one machine with the least total weighted tardiness");
  w.Set("Schedule.A3", "Job");
  w.Set("Schedule.B3", "Processing time");
  w.Set("Schedule.C3", "Due");
  w.Set("Schedule.D3", "Weight");
  std::vector<std::vector<double>> table;
  for (const auto& job : jobs) table.push_back({double(job.Number), job.ProcessingTime, job.Due, job.Weight});
  w.SetNumbers("Schedule.A4", table);

  // The sequence: which job runs in each position, the adjustable cells. Each job starts when the
  // one before it finishes; its data is looked up in the job table by its number.
  w.Set("Schedule.F3", "Position");
  w.Set("Schedule.G3", "Job");
  w.Set("Schedule.H3", "Start");
  w.Set("Schedule.I3", "Finish");
  w.Set("Schedule.J3", "Due");
  w.Set("Schedule.K3", "Tardiness");
  w.Set("Schedule.L3", "Weighted tardiness");
  const auto lookup = [&](char column, const std::string& row) {
    return "INDEX($" + std::string(1, column) + "$4:$" + std::string(1, column) + "$" + last + ";MATCH(G" +
           row + ";$A$4:$A$" + last + ";0))";
  };
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const std::string r = std::to_string(4 + i);
    w.SetNumbers("Schedule.F" + r, {{double(i + 1), double(jobs[i].Number)}});
    w.Set("Schedule.H" + r, i == 0 ? "0" : "=I" + std::to_string(3 + i));
    w.Set("Schedule.I" + r, "=H" + r + "+" + lookup('B', r));
    w.Set("Schedule.J" + r, "=" + lookup('C', r));
    w.Set("Schedule.K" + r, "=MAX(0;I" + r + "-J" + r + ")");
    w.Set("Schedule.L" + r, "=K" + r + "*" + lookup('D', r));
  }
  w.Set("Schedule.A16", "Total weighted tardiness");
  w.Set("Schedule.B16", "=SUM(L4:L" + last + ")");
  w.Set("Schedule.A17", "Goal");
  w.Set("Schedule.B17", "min");
  w.Set("Schedule.A19", "Method");
  w.Set("Schedule.B19", "order");
  w.Set("Schedule.A20", "Lowest job number");
  w.SetNumbers("Schedule.B20", {{1}});
  w.Set("Schedule.A21", "Highest job number");
  w.SetNumbers("Schedule.B21", {{double(jobs.size())}});
  w.Name("Corvana_Adjustable", "$Schedule.$G$4:$G$" + last);
  w.Name("Corvana_Lower", "$Schedule.$B$20");
  w.Name("Corvana_Upper", "$Schedule.$B$21");
  w.Name("Corvana_Method", "$Schedule.$B$19");
  w.Name("Corvana_Objective", "$Schedule.$B$16");
  w.Name("Corvana_Goal", "$Schedule.$B$17");
  w.Save(path);
}

}  // namespace corvana::addin
