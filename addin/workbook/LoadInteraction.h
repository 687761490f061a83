#pragma once

#include <atomic>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

namespace corvana::addin {

// Answers the office's questions while it loads a workbook for us. Nobody is there to answer, so
// every question is declined, as it is without a handler; a question for the workbook's password
// is remembered, so that the failed load can say why.
class LoadInteraction : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
 public:
  void SAL_CALL handle(const css::uno::Reference<css::task::XInteractionRequest>& request) override;
  bool PasswordAsked() const noexcept { return m_PasswordAsked; }

 private:
  std::atomic<bool> m_PasswordAsked{false};
};

}  // namespace corvana::addin
