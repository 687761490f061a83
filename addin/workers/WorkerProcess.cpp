#include "addin/workers/WorkerProcess.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <functional>
#include <thread>

#include "addin/workers/WorkerMessage.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin::workers {

namespace {

bool ReadAll(int fd, void* data, std::size_t size) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

[[noreturn]] void End(int code, const std::function<void()>& atExit) {
  if (atExit) atExit();
  ::_exit(code);
}

[[noreturn]] void Orphaned(pid_t addin, const std::function<void()>& atExit) {
  // The add-in died without freeing its population. Its closed command pipe comes before the system
  // counts it gone, which a busy machine can make take a while; once this worker has a new parent,
  // the add-in is gone and the segment is reclaimable. Several workers try; the first one does it.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (::getppid() == addin && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  GdPopReclaimStale();
  End(0, atExit);
}

}  // namespace

void WorkerProcess::Run(Model& model, std::int32_t popHandle, int worker, int fd, pid_t addin,
                        const std::function<void()>& atExit) {
  // Ctrl-C reaches the whole process group; ending the workers is the add-in's business. An add-in
  // that dies outright closes the command pipe, which ends the wait below.
  ::signal(SIGINT, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
  if (::getppid() != addin) Orphaned(addin, atExit);

  std::vector<double> genes(model.GeneCount());
  while (true) {
    char command = 0;
    if (!ReadAll(fd, &command, 1)) Orphaned(addin, atExit);
    if (command == kQuit) End(0, atExit);
    if (command == kBound) {
      double bound = 0;
      if (!ReadAll(fd, &bound, sizeof bound)) Orphaned(addin, atExit);
      model.SetFirstConstraintBound(bound);
      continue;
    }
    std::int32_t count = 0;
    if (GdPopTakeOrganism(popHandle, worker, genes.data(), static_cast<std::int32_t>(genes.size()), &count) !=
        GdOk)
      End(3, atExit);
    FinishedTrial trial;
    trial.Worker = worker;
    trial.Genes.assign(genes.begin(), genes.begin() + count);
    try {
      trial.Result = model.Evaluate(trial.Genes);
    } catch (const std::exception& e) {
      trial.Failed = true;
      trial.Error = e.what();
    } catch (...) {
      trial.Failed = true;
      trial.Error = "unknown failure";
    }
    if (!WriteAll(fd, WorkerMessage::Encode(trial))) Orphaned(addin, atExit);
  }
}

}  // namespace corvana::addin::workers
