#pragma once

#include <cstdint>
#include <memory>

#include "watcher/controller/HostApplication.h"

namespace corvana {

class ControllerServices;

// Prepares the host window while a Watcher window is shown modally over it, and undoes it.
class ModalDialogChanges {
 public:
  explicit ModalDialogChanges(std::shared_ptr<ControllerServices> services)
      : m_Services(std::move(services)) {}
  void Initialize(const std::shared_ptr<HostApplication>& excelApplication, std::int32_t excelHwnd,
                  std::uint64_t dialogHwnd);
  void Restore();

 private:
  std::shared_ptr<ControllerServices> m_Services;
  std::shared_ptr<HostApplication> m_ExcelApplication;
  std::int32_t m_ExcelHwnd = 0;
  bool m_PreviousModalDialogShown = false;
  bool m_ExcelWindowWasEnabled = false;
};

}  // namespace corvana
