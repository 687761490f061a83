#include "addin/workbook/LoadInteraction.h"

#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>

namespace corvana::addin {

using namespace css;

void LoadInteraction::handle(const uno::Reference<task::XInteractionRequest>& request) {
  task::PasswordRequest password;
  if (request->getRequest() >>= password) m_PasswordAsked = true;
  for (const auto& continuation : request->getContinuations()) {
    uno::Reference<task::XInteractionAbort> abort(continuation, uno::UNO_QUERY);
    if (abort.is()) {
      abort->select();
      return;
    }
  }
}

}  // namespace corvana::addin
