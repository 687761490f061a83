#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <string>

#include "common/ComError.h"

namespace corvana::test {

// Matches a callable that raises the error `code` with a source and description that match.
inline auto ThrowsComError(std::uint32_t code, testing::Matcher<const std::string&> source = testing::_,
                           testing::Matcher<const std::string&> description = testing::_) {
  return testing::Throws<ComError>(testing::AllOf(testing::Property(&ComError::Code, code),
                                                  testing::Property(&ComError::Source, source),
                                                  testing::Property(&ComError::Description, description)));
}

}  // namespace corvana::test
