#include "addin/workbook/WorkbookSession.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cstdlib>
#include <fstream>
#include <osl/file.hxx>
#include <rtl/ref.hxx>
#include <thread>
#include <vector>

#include "addin/workbook/LoadInteraction.h"
#include "addin/workbook/WorkbookError.h"

namespace corvana::addin {

using namespace css;
using rtl::OUString;

namespace {

constexpr auto kStartDeadline = std::chrono::seconds(90);  // a first start builds the profile
constexpr auto kStopDeadline = std::chrono::seconds(15);
constexpr int kRestartCode = 81;

OUString ToOUString(const std::string& text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const OUString& text) {
  return text.toUtf8().getStr();
}

OUString FileUrl(const std::filesystem::path& path) {
  OUString url;
  osl::FileBase::getFileURLFromSystemPath(
      ToOUString(std::filesystem::absolute(path).lexically_normal().string()), url);
  return url;
}

beans::PropertyValue Property(const char* name, const uno::Any& value) {
  beans::PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

uno::Sequence<beans::PropertyValue> Properties(std::initializer_list<beans::PropertyValue> list) {
  return {list.begin(), static_cast<sal_Int32>(list.size())};
}

// The filter that writes a file of this kind; an unknown extension is refused.
OUString FilterFor(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".ods") return "calc8";
  if (ext == ".xlsx") return "Calc MS Excel 2007 XML";
  throw WorkbookError(path.string() + ": can only save .ods or .xlsx workbooks");
}

// Settings of the private profile: no autosave or recovery data written behind the run's back.
constexpr const char* kProfileSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Recovery/AutoSave"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/RecoveryInfo"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";

// LibreOffice's lock file beside a workbook it has open: ".~lock.NAME#", one line
// "name,user,host,date,profile URL;".
std::filesystem::path LockFile(const std::filesystem::path& workbook) {
  return workbook.parent_path() / (".~lock." + workbook.filename().string() + "#");
}

std::vector<std::string> LockFields(const std::filesystem::path& lock) {
  std::ifstream in(lock);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == ';') line.pop_back();
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
    fields.push_back(line.substr(start, comma - start));
  fields.push_back(line.substr(start));
  return fields;
}

// Whether a process runs with this office profile.
bool ProfileInUse(const std::string& profileUrl) {
  const std::string option = "-env:UserInstallation=" + profileUrl;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(in, argument, '\0'))
      if (argument == option) return true;
  }
  return false;
}

// A lock left by an office of ours that is gone (a run killed outright) keeps the workbook from
// opening; it is removed. Any other lock stays: the workbook may be open in the user's office.
void RemoveStaleLock(const std::filesystem::path& workbook) {
  const std::filesystem::path lock = LockFile(workbook);
  std::error_code ec;
  if (!std::filesystem::exists(lock, ec)) return;
  const auto fields = LockFields(lock);
  const std::string& profile = fields.back();
  const std::string ours = "file:///tmp/corvana-office.";
  if (profile.rfind(ours, 0) != 0 || profile.find('/', ours.size()) != std::string::npos ||
      profile.size() == ours.size() || ProfileInUse(profile))
    return;
  std::filesystem::remove(lock, ec);
  // The profile of the office that is gone goes with it.
  std::filesystem::remove_all(profile.substr(std::string("file://").size()), ec);
}

}  // namespace

WorkbookSession::WorkbookSession() {
  if (access(CORVANA_SOFFICE, X_OK) != 0)
    throw WorkbookError(std::string("LibreOffice Calc is not installed (") + CORVANA_SOFFICE +
                        " is missing); install the package libreoffice-calc");
  char pattern[] = "/tmp/corvana-office.XXXXXX";
  if (!mkdtemp(pattern)) throw WorkbookError("cannot create a folder for the office's profile");
  m_Profile = pattern;
  m_Pipe = "corvana-" + m_Profile.filename().string();
  // The bridge writes to the office's pipe unguarded: an office that was killed, or that quits
  // while our references to it are released, must give an error here, not end this process.
  ::signal(SIGPIPE, SIG_IGN);
  try {
    std::filesystem::create_directories(m_Profile / "user");
    std::ofstream(m_Profile / "user" / "registrymodifications.xcu") << kProfileSettings;
    Launch();
    Connect();
  } catch (...) {
    Stop();
    throw;
  }
}

WorkbookSession::~WorkbookSession() {
  Stop();
}

void WorkbookSession::Launch() {
  const std::string profile = "-env:UserInstallation=" + ToUtf8(FileUrl(m_Profile));
  const std::string accept = "--accept=pipe,name=" + m_Pipe + ";urp;StarOffice.ComponentContext";
  const std::string log = (m_Profile / "office.log").string();
  std::filesystem::create_directories(m_Profile / "user");
  std::vector<std::string> args = {CORVANA_SOFFICE, "--headless",    "--invisible", "--nologo", "--norestore",
                                   "--nodefault",   "--nolockcheck", profile,       accept};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  m_Pid = fork();
  if (m_Pid < 0) throw WorkbookError("cannot start LibreOffice: fork failed");
  if (m_Pid == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    // The office's chatter must not mix with the result on standard output.
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  setpgid(m_Pid, m_Pid);
}

void WorkbookSession::Connect() {
  // The client side of the bridge reads the office's own bootstrap settings for its type library.
  const auto fundamental = std::filesystem::path(CORVANA_SOFFICE).parent_path() / "fundamentalrc";
  setenv("URE_BOOTSTRAP", ("vnd.sun.star.pathname:" + fundamental.string()).c_str(), 0);
  uno::Reference<uno::XComponentContext> local;
  try {
    local = cppu::defaultBootstrap_InitialComponentContext();
  } catch (const uno::Exception& e) {
    throw WorkbookError("cannot start the UNO runtime: " + ToUtf8(e.Message));
  }
  try {
    const auto resolver = bridge::UnoUrlResolver::create(local);
    const OUString url = ToOUString("uno:pipe,name=" + m_Pipe + ";urp;StarOffice.ComponentContext");
    const auto deadline = std::chrono::steady_clock::now() + kStartDeadline;
    bool restarted = false;
    while (true) {
      try {
        m_Context.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
        break;
      } catch (const connection::NoConnectException&) {
      }
      if (!Alive()) {
        // A new profile makes the office ask for one restart, as its launcher would do.
        if (m_ExitCode == kRestartCode && !restarted) {
          restarted = true;
          Launch();
          continue;
        }
        throw WorkbookError("LibreOffice stopped while starting (exit code " + std::to_string(m_ExitCode) +
                            ")");
      }
      if (std::chrono::steady_clock::now() > deadline)
        throw WorkbookError("LibreOffice did not answer within " + std::to_string(kStartDeadline.count()) +
                            " s");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    m_Desktop = frame::Desktop::create(m_Context);
  } catch (const uno::Exception& e) {
    throw WorkbookError("cannot reach LibreOffice: " + ToUtf8(e.Message));
  }
}

bool WorkbookSession::Alive() {
  if (m_Pid <= 0) return false;
  int status = 0;
  if (waitpid(m_Pid, &status, WNOHANG) == 0) return true;
  m_ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  m_Pid = -1;
  return false;
}

uno::Reference<sheet::XSpreadsheetDocument> WorkbookSession::Open(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) throw WorkbookError(path.string() + ": no such workbook");
  if (access(path.c_str(), R_OK) != 0) throw WorkbookError(path.string() + ": cannot read the workbook");
  RemoveStaleLock(path);
  const rtl::Reference<LoadInteraction> interaction(new LoadInteraction);
  const auto props =
      Properties({Property("Hidden", uno::Any(true)), Property("MacroExecutionMode", uno::Any(sal_Int16(0))),
                  Property("UpdateDocMode", uno::Any(sal_Int16(0))),
                  Property("InteractionHandler",
                           uno::Any(uno::Reference<task::XInteractionHandler>(interaction.get())))});
  const std::string passwordText =
      path.string() + ": the workbook is protected by a password; save a copy without one to optimize it";
  uno::Reference<lang::XComponent> component;
  try {
    uno::Reference<frame::XComponentLoader> loader(m_Desktop, uno::UNO_QUERY_THROW);
    component = loader->loadComponentFromURL(FileUrl(path), "_blank", 0, props);
  } catch (const uno::Exception& e) {
    if (interaction->PasswordAsked()) throw WorkbookError(passwordText);
    throw WorkbookError(path.string() + ": cannot open the workbook (" + ToUtf8(e.Message) + ")");
  }
  uno::Reference<sheet::XSpreadsheetDocument> document(component, uno::UNO_QUERY);
  if (!document.is()) {
    if (component.is()) component->dispose();
    if (interaction->PasswordAsked()) throw WorkbookError(passwordText);
    const std::filesystem::path lock = LockFile(path);
    if (std::filesystem::exists(lock, ec)) {
      const auto fields = LockFields(lock);
      const std::string who =
          fields.size() >= 4 ? " (by " + fields[1] + " on " + fields[2] + " since " + fields[3] + ")" : "";
      throw WorkbookError(path.string() + ": the workbook is open in another LibreOffice" + who +
                          "; close it there, or delete " + lock.filename().string() +
                          " beside it if no LibreOffice has it open");
    }
    throw WorkbookError(path.string() + ": not a spreadsheet workbook");
  }
  m_Documents.push_back(document);
  return document;
}

uno::Reference<sheet::XSpreadsheetDocument> WorkbookSession::Create() {
  uno::Reference<frame::XComponentLoader> loader(m_Desktop, uno::UNO_QUERY_THROW);
  const auto props = Properties({Property("Hidden", uno::Any(true))});
  uno::Reference<sheet::XSpreadsheetDocument> document(
      loader->loadComponentFromURL("private:factory/scalc", "_blank", 0, props), uno::UNO_QUERY_THROW);
  m_Documents.push_back(document);
  return document;
}

void WorkbookSession::Save(const uno::Reference<sheet::XSpreadsheetDocument>& document,
                           const std::filesystem::path& path) {
  const OUString filter = FilterFor(path);
  const std::filesystem::path partial = path.string() + ".partial" + path.extension().string();
  try {
    uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
    const auto props =
        Properties({Property("FilterName", uno::Any(filter)), Property("Overwrite", uno::Any(true))});
    storable->storeToURL(FileUrl(partial), props);
  } catch (const uno::Exception& e) {
    std::filesystem::remove(partial);
    throw WorkbookError(path.string() + ": cannot save the workbook (" + ToUtf8(e.Message) + ")");
  }
  std::error_code ec;
  std::filesystem::rename(partial, path, ec);
  if (ec) {
    std::filesystem::remove(partial);
    throw WorkbookError(path.string() + ": cannot save the workbook (" + ec.message() + ")");
  }
}

void WorkbookSession::Stop() {
  if (m_Desktop.is() && Alive()) {
    try {
      // Documents are closed unsaved first, so no modified document holds the office open.
      for (const auto& document : m_Documents) {
        uno::Reference<util::XCloseable> closeable(document, uno::UNO_QUERY);
        if (closeable.is()) closeable->close(true);
      }
      m_Desktop->terminate();
    } catch (const uno::Exception&) {
    }
  }
  m_Documents.clear();
  m_Desktop.clear();
  m_Context.clear();
  if (m_Pid > 0) {
    const auto deadline = std::chrono::steady_clock::now() + kStopDeadline;
    while (Alive() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (m_Pid > 0) {
      kill(-m_Pid, SIGKILL);
      waitpid(m_Pid, nullptr, 0);
      m_Pid = -1;
    }
  }
  std::error_code ec;
  if (!m_Profile.empty()) std::filesystem::remove_all(m_Profile, ec);
  // An office that was killed leaves its pipe's socket behind.
  std::filesystem::remove("/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + m_Pipe, ec);
}

}  // namespace corvana::addin
