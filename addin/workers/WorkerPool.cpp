#include "addin/workers/WorkerPool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "addin/workers/WorkerMessage.h"
#include "addin/workers/WorkerProcess.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin::workers {

using Clock = std::chrono::steady_clock;

WorkerPool::WorkerPool(Model& model, std::int32_t popHandle, int count, WorkerLaunch launch)
    : m_PopHandle(popHandle), m_Launch(std::move(launch)) {
  if (count < 1 || count > GD_MAX_WORKERS)
    throw std::invalid_argument("the number of worker processes is 1.." + std::to_string(GD_MAX_WORKERS));
  m_Workers.resize(static_cast<std::size_t>(count));
  try {
    Start(model);
  } catch (...) {
    Stop();
    throw;
  }
}

WorkerPool::~WorkerPool() {
  Stop();
}

void WorkerPool::Start(Model& model) {
  const pid_t addin = ::getpid();
  for (std::size_t i = 0; i < m_Workers.size(); ++i) {
    Worker& w = m_Workers[i];
    w.Number = static_cast<int>(i) + 1;
    // One socket pair per worker: commands one way, results the other. A socket, unlike a pipe,
    // lets a write to a dead worker fail without a SIGPIPE.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
      throw std::runtime_error(std::string("socketpair: ") + std::strerror(errno));
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
      ::close(ends[0]);
      ::close(ends[1]);
      throw std::runtime_error(std::string("cannot start a worker process: ") + std::strerror(errno));
    }
    if (pid == 0) {
      // Only its own end: a worker must not keep another's connection (or the add-in's) open.
      for (std::size_t j = 0; j < i; ++j) ::close(m_Workers[j].Fd);
      ::close(ends[0]);
      if (!m_Launch.Command.empty()) Exec(w, ends[1], addin);
      WorkerProcess::Run(model, m_PopHandle, w.Number, ends[1], addin);
    }
    ::close(ends[1]);
    w.Pid = pid;
    w.Fd = ends[0];
    w.Alive = true;
  }
}

void WorkerPool::Exec(const Worker& w, int fd, pid_t addin) const {
  constexpr int kWorkerFd = 3;
  if (fd == kWorkerFd) {
    ::fcntl(fd, F_SETFD, 0);  // keep it across exec
  } else if (::dup2(fd, kWorkerFd) < 0) {
    ::_exit(127);
  }
  ::close_range(kWorkerFd + 1, ~0U, 0);  // nothing of the add-in's (its office, its bus) goes along
  std::vector<std::string> args = m_Launch.Command;
  for (const std::string& a : {std::string("--pop-handle"), std::to_string(m_PopHandle),
                               std::string("--worker"), std::to_string(w.Number), std::string("--fd"),
                               std::to_string(kWorkerFd), std::string("--addin"), std::to_string(addin)})
    args.push_back(a);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);  // the pool sees the closed socket and goes on without this worker
}

int WorkerPool::Alive() const {
  int n = 0;
  for (const Worker& w : m_Workers) n += w.Alive ? 1 : 0;
  return n;
}

int WorkerPool::Busy() const {
  int n = 0;
  for (const Worker& w : m_Workers) n += w.Alive && w.Busy ? 1 : 0;
  return n;
}

std::vector<pid_t> WorkerPool::Pids() const {
  std::vector<pid_t> pids;
  for (const Worker& w : m_Workers)
    if (w.Alive) pids.push_back(w.Pid);
  return pids;
}

void WorkerPool::Send(Worker& w, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(w.Fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Died(w);
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

void WorkerPool::Dispatch(long outstanding) {
  long out = Busy();
  for (Worker& w : m_Workers) {
    if (out >= outstanding) break;
    if (!w.Alive || w.Busy) continue;
    w.Busy = true;
    ++out;
    Send(w, std::string(1, WorkerProcess::kGo));
  }
}

void WorkerPool::SetFirstConstraintBound(double bound) {
  std::string bytes(1, WorkerProcess::kBound);
  bytes.append(reinterpret_cast<const char*>(&bound), sizeof bound);
  for (Worker& w : m_Workers)
    if (w.Alive) Send(w, bytes);
}

void WorkerPool::Died(Worker& w) {
  if (!w.Alive) return;
  w.Alive = false;
  ++m_Lost;
  ::close(w.Fd);
  w.Fd = -1;
  ::kill(w.Pid, SIGKILL);  // a worker that closed its pipe but lingers is of no more use
  ::waitpid(w.Pid, nullptr, 0);
  // Its organism goes to the next taker. A worker that died inside a take has none (the engine
  // repaired the population); the requeue then does nothing.
  if (w.Busy) w.RequeuePending = true;
  w.Busy = false;
  RequeuePending();
}

void WorkerPool::RequeuePending() {
  for (Worker& w : m_Workers) {
    if (!w.RequeuePending) continue;
    // The Watcher may hold the lock while it asks the user a question: try again on the next poll.
    if (GdPopTryLock(m_PopHandle, 0) != GdOk) return;
    GdPopRequeueOrganism(m_PopHandle, w.Number);
    GdPopUnlock(m_PopHandle);
    w.RequeuePending = false;
  }
}

void WorkerPool::Poll(std::chrono::milliseconds wait) {
  RequeuePending();
  std::vector<pollfd> fds;
  std::vector<Worker*> owners;
  for (Worker& w : m_Workers) {
    if (!w.Alive) continue;
    fds.push_back({w.Fd, POLLIN, 0});
    owners.push_back(&w);
  }
  if (fds.empty()) {
    std::this_thread::sleep_for(wait);
    return;
  }
  const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
  if (ready <= 0) return;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    if (!fds[i].revents) continue;
    Worker& w = *owners[i];
    char buffer[65536];
    const ssize_t n = ::read(w.Fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Died(w);
      continue;
    }
    w.Received.append(buffer, static_cast<std::size_t>(n));
    while (auto trial = WorkerMessage::Decode(w.Received)) {
      trial->Worker = w.Number;
      m_Finished.push_back(std::move(*trial));
    }
  }
}

std::vector<FinishedTrial> WorkerPool::TakeFinished() {
  // A worker is free again only once its result is handed over to be reported: a new take before
  // that would put a new organism in the place the result belongs to.
  std::vector<FinishedTrial> finished;
  finished.swap(m_Finished);
  for (const FinishedTrial& t : finished) m_Workers.at(static_cast<std::size_t>(t.Worker - 1)).Busy = false;
  return finished;
}

void WorkerPool::Stop() {
  if (m_Stopped) return;
  m_Stopped = true;
  for (Worker& w : m_Workers) {
    if (!w.Alive) continue;
    const char quit = WorkerProcess::kQuit;
    [[maybe_unused]] ssize_t n = ::send(w.Fd, &quit, 1, MSG_NOSIGNAL);
    ::close(w.Fd);
  }
  // A worker in the middle of a long recalculation gets a grace to finish, then is ended.
  const auto until = Clock::now() + m_Launch.QuitGrace;
  for (Worker& w : m_Workers) {
    if (!w.Alive) continue;
    while (::waitpid(w.Pid, nullptr, WNOHANG) == 0) {
      if (Clock::now() >= until) {
        ::kill(w.Pid, SIGKILL);
        ::waitpid(w.Pid, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    w.Alive = false;
  }
}

}  // namespace corvana::addin::workers
