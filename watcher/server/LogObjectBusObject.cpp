#include "watcher/server/LogObjectBusObject.h"

#include <QStringList>

#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"

namespace corvana::bus {

namespace {
using Out = std::optional<QList<QVariant>>;

QList<double> ToList(const std::vector<double>& values) {
  return QList<double>(values.begin(), values.end());
}

QList<bool> ToList(const std::vector<bool>& values) {
  QList<bool> list;
  list.reserve(static_cast<qsizetype>(values.size()));
  for (bool v : values) list.push_back(v);
  return list;
}
}  // namespace

LogObjectBusObject::LogObjectBusObject(QDBusConnection connection, QString path, QString owner)
    : BusObject(std::move(connection), std::move(path), wire::kLogObjectInterface, std::move(owner)) {
  LogObject& log = m_Log;
  AddMethod({"Initialize",
             {{"p_NumAdjustableCells", "i"}, {"p_AtomicConstraintCount", "i"}},
             {},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               log.Initialize(a[0].toInt(), a[1].toInt());
               return Out(QList<QVariant>{});
             }});
  AddMethod({"Dispose", {}, {}, [&log](const QDBusMessage&, const QList<QVariant>&) {
               log.Dispose();
               return Out(QList<QVariant>{});
             }});
  AddMethod({"PassAdjustableCellNames",
             {{"p_AdjustableCellNames", "as"}},
             {},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               log.PassAdjustableCellNames(StringsFromBus(a[0], "p_AdjustableCellNames"));
               return Out(QList<QVariant>{});
             }});
  AddMethod({"PassAtomicConstraintDescriptions",
             {{"p_AtomicConstraintDescriptions", "as"}},
             {},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               log.PassAtomicConstraintDescriptions(StringsFromBus(a[0], "p_AtomicConstraintDescriptions"));
               return Out(QList<QVariant>{});
             }});
  AddMethod({"AddRecord",
             {{"p_ObjectiveValueWithPenalties", "d"},
              {"p_ObjectiveValueWithoutPenalties", "d"},
              {"p_IsNewBest", "b"},
              {"p_AdjustableCellValues", "ad"},
              {"p_SolutionIsValid", "b"},
              {"p_AtomicConstraintValues", "ad"},
              {"p_AtomicConstraintIsMet", "ab"},
              {"p_CORVANA_NumIters", "i"},
              {"p_CORVANA_Mean", "d"},
              {"p_CORVANA_StdDev", "d"},
              {"p_CORVANA_Min", "d"},
              {"p_CORVANA_Max", "d"}},
             {},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               log.AddRecord(a[0].toDouble(), a[1].toDouble(), a[2].toBool(),
                             DoublesFromBus(a[3], "p_AdjustableCellValues"), a[4].toBool(),
                             DoublesFromBus(a[5], "p_AtomicConstraintValues"),
                             BooleansFromBus(a[6], "p_AtomicConstraintIsMet"), a[7].toInt(), a[8].toDouble(),
                             a[9].toDouble(), a[10].toDouble(), a[11].toDouble());
               return Out(QList<QVariant>{});
             }});
  AddMethod({"LogGetConstraintInfo",
             {{"constraintNum", "i"}, {"hardOrSoft", "i"}},
             {{"constraintName", "s"}, {"hardOrSoft", "i"}},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               std::string name;
               log.LogGetConstraintInfo(a[0].toInt(), name);
               return Out(QList<QVariant>{ToQ(name), a[1].toInt()});
             }});
  AddMethod({"LogGetAdjustableCellName",
             {{"adjustableCellNum", "i"}},
             {{"adjustableCellName", "s"}},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               std::string name;
               log.LogGetAdjustableCellName(a[0].toInt(), name);
               return Out(QList<QVariant>{ToQ(name)});
             }});
  AddMethod({"LogGetHeaderData",
             {},
             {{"NumAdjustableCells", "i"}, {"numConstraints", "i"}},
             [&log](const QDBusMessage&, const QList<QVariant>&) {
               std::int32_t cells = 0, constraints = 0;
               log.LogGetHeaderData(cells, constraints);
               return Out(QList<QVariant>{static_cast<int>(cells), static_cast<int>(constraints)});
             }});
  AddMethod({"LogGetRecord",
             {{"recordNum", "d"}, {"recalcOrNewBestNum", "n"}},
             {{"time", "i"},
              {"valueWithoutPenalties", "d"},
              {"valueWithPenalties", "d"},
              {"recalcNum", "i"},
              {"p_SolutionIsValid", "b"},
              {"p_AtomicConstraintValues", "ad"},
              {"p_AtomicConstraintIsMet", "ab"},
              {"geneArray", "ad"},
              {"CORVANA_Iters", "i"},
              {"CORVANA_Mean", "d"},
              {"CORVANA_StdDev", "d"},
              {"CORVANA_Min", "d"},
              {"CORVANA_Max", "d"}},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               LogObjectRecord r;
               log.LogGetRecord(a[0].toDouble(), static_cast<std::int16_t>(a[1].value<short>()), r);
               return Out(QList<QVariant>{
                   static_cast<int>(r.Time), r.ValueWithoutPenalties, r.ValueWithPenalties,
                   static_cast<int>(r.RecalcNum), r.SolutionIsValid,
                   QVariant::fromValue(ToList(r.AtomicConstraintValues)),
                   QVariant::fromValue(ToList(r.AtomicConstraintIsMet)),
                   QVariant::fromValue(ToList(r.GeneArray)), static_cast<int>(r.CORVANA_Iters),
                   r.CORVANA_Mean, r.CORVANA_StdDev, r.CORVANA_Min, r.CORVANA_Max});
             }});
  AddMethod({"LogGetRecordCounts",
             {},
             {{"trialCount", "i"}, {"progressStepCount", "i"}},
             [&log](const QDBusMessage&, const QList<QVariant>&) {
               std::int32_t trials = 0, steps = 0;
               log.LogGetRecordCounts(trials, steps);
               return Out(QList<QVariant>{static_cast<int>(trials), static_cast<int>(steps)});
             }});
  AddMethod({"GetResult",
             {{"p_WhichSolution", "i"}},
             {{"result", "d"}},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               return Out(QList<QVariant>{log.GetResult(a[0].toInt())});
             }});
  AddMethod({"GetAdjustableCellValues",
             {{"p_WhichSolution", "i"}},
             {{"result", "b"}, {"p_Values", "ad"}},
             [&log](const QDBusMessage&, const QList<QVariant>& a) {
               std::vector<double> values;
               const bool found = log.GetAdjustableCellValues(a[0].toInt(), values);
               return Out(QList<QVariant>{found, QVariant::fromValue(ToList(values))});
             }});
  AddMethod(
      {"GetCountOfAllTrials", {}, {{"count", "d"}}, [&log](const QDBusMessage&, const QList<QVariant>&) {
         return Out(QList<QVariant>{log.GetCountOfAllTrials()});
       }});
  AddMethod(
      {"GetCountOfValidTrials", {}, {{"count", "d"}}, [&log](const QDBusMessage&, const QList<QVariant>&) {
         return Out(QList<QVariant>{log.GetCountOfValidTrials()});
       }});
  AddProperty({"Initialized", "b", [&log] { return QVariant(log.Initialized()); }, {}});
  AddProperty(
      {"NewBestTrialIndex", "i", [&log] { return QVariant(static_cast<int>(log.NewBestTrialIndex())); }, {}});
  AddProperty({"NewBestValue", "d", [&log] { return QVariant(log.NewBestValue()); }, {}});
  AddProperty({"NumAdjustableCells",
               "i",
               [&log] { return QVariant(static_cast<int>(log.NumAdjustableCells())); },
               {}});
  AddReleaseMethod();
}

}  // namespace corvana::bus
