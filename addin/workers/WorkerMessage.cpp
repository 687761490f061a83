#include "addin/workers/WorkerMessage.h"

#include <cstring>
#include <stdexcept>

namespace corvana::addin::workers {

namespace {

class Writer {
 public:
  template <class T>
  void Put(const T& value) {
    m_Bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void PutDoubles(const std::vector<double>& values) {
    Put(static_cast<std::uint32_t>(values.size()));
    for (double v : values) Put(v);
  }
  std::string Bytes() const { return m_Bytes; }

 private:
  std::string m_Bytes;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : m_Bytes(bytes) {}
  template <class T>
  T Get() {
    T value{};
    if (m_Bytes.size() < sizeof value) throw std::runtime_error("a worker sent a truncated message");
    std::memcpy(&value, m_Bytes.data(), sizeof value);
    m_Bytes.remove_prefix(sizeof value);
    return value;
  }
  std::vector<double> GetDoubles() {
    std::vector<double> values(Get<std::uint32_t>());
    if (m_Bytes.size() < values.size() * sizeof(double))
      throw std::runtime_error("a worker sent a truncated message");
    for (double& v : values) v = Get<double>();
    return values;
  }
  std::string Rest() const { return std::string(m_Bytes); }

 private:
  std::string_view m_Bytes;
};

}  // namespace

std::string WorkerMessage::Encode(const FinishedTrial& t) {
  const Evaluation& e = t.Result;
  Writer w;
  w.Put(static_cast<std::int32_t>(t.Worker));
  w.Put(static_cast<std::int32_t>(t.Failed));
  w.Put(static_cast<std::int32_t>(e.Valid));
  w.Put(static_cast<std::int32_t>(e.Iterations));
  for (double v :
       {e.Objective, e.ObjectiveWithPenalties, e.HardViolation, e.SimMean, e.SimStdDev, e.SimMin, e.SimMax})
    w.Put(v);
  w.PutDoubles(t.Genes);
  w.PutDoubles(e.ConstraintValues);
  w.PutDoubles(e.ConstraintPenalties);
  w.PutDoubles(std::vector<double>(e.ConstraintMet.begin(), e.ConstraintMet.end()));
  std::string body = w.Bytes() + t.Error;
  const auto length = static_cast<std::uint32_t>(body.size());
  return std::string(reinterpret_cast<const char*>(&length), sizeof length) + body;
}

std::optional<FinishedTrial> WorkerMessage::Decode(std::string& buffer) {
  std::uint32_t length = 0;
  if (buffer.size() < sizeof length) return std::nullopt;
  std::memcpy(&length, buffer.data(), sizeof length);
  if (buffer.size() < sizeof length + length) return std::nullopt;
  Reader r(std::string_view(buffer).substr(sizeof length, length));
  FinishedTrial t;
  Evaluation& e = t.Result;
  t.Worker = r.Get<std::int32_t>();
  t.Failed = r.Get<std::int32_t>() != 0;
  e.Valid = r.Get<std::int32_t>() != 0;
  e.Iterations = r.Get<std::int32_t>();
  for (double* v : {&e.Objective, &e.ObjectiveWithPenalties, &e.HardViolation, &e.SimMean, &e.SimStdDev,
                    &e.SimMin, &e.SimMax})
    *v = r.Get<double>();
  t.Genes = r.GetDoubles();
  e.ConstraintValues = r.GetDoubles();
  e.ConstraintPenalties = r.GetDoubles();
  for (double met : r.GetDoubles()) e.ConstraintMet.push_back(met != 0);
  t.Error = r.Rest();
  buffer.erase(0, sizeof length + length);
  return t;
}

}  // namespace corvana::addin::workers
