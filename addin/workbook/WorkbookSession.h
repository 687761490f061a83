#pragma once

#include <sys/types.h>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <string>
#include <vector>

namespace corvana::addin {

// One headless LibreOffice of our own: a private user profile in a temporary folder (never the
// user's), reached over a private pipe. The office lives in its own process group, so Ctrl-C in
// the terminal reaches only the add-in, which then stops it in order; it dies with the add-in.
class WorkbookSession {
 public:
  // Starts the office and connects; raises WorkbookError when it cannot.
  WorkbookSession();
  ~WorkbookSession();  // closes the documents, stops the office, removes the profile
  WorkbookSession(const WorkbookSession&) = delete;
  WorkbookSession& operator=(const WorkbookSession&) = delete;

  // Opens a workbook hidden, macros off. Raises WorkbookError naming the file.
  css::uno::Reference<css::sheet::XSpreadsheetDocument> Open(const std::filesystem::path& path);
  // A new empty workbook.
  css::uno::Reference<css::sheet::XSpreadsheetDocument> Create();
  // Writes the workbook to `path` in the format its extension names (.ods, .xlsx). The file is
  // written beside the target first and moved into place, so a failure leaves the old one whole.
  void Save(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document,
            const std::filesystem::path& path);

  // Whether the office process is still running.
  bool Alive();

  // The office's component context, to create its services (e.g. Calc's solvers) over the bridge.
  const css::uno::Reference<css::uno::XComponentContext>& Context() const { return m_Context; }

 private:
  void Launch();
  void Connect();
  void Stop();

  std::filesystem::path m_Profile;
  std::string m_Pipe;
  pid_t m_Pid = -1;
  int m_ExitCode = 0;  // of the office, once it has stopped
  css::uno::Reference<css::uno::XComponentContext> m_Context;
  css::uno::Reference<css::frame::XDesktop2> m_Desktop;
  std::vector<css::uno::Reference<css::sheet::XSpreadsheetDocument>> m_Documents;
};

}  // namespace corvana::addin
