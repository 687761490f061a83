#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Collection.h"
#include "common/Variant.h"
#include "suite/objectlib/ResourceServer.h"

namespace corvana {

// Bound by WatcherManager.Initialize, released by Dispose.
extern std::shared_ptr<ResourceServer> g_ResourceServer;
// This process's identifier, taken at start-up.
extern std::int32_t g_WatcherProcessID;

// Helpers shared by the controller and the windows that need no window.
namespace Utilities {

// Text `id` of the bound resource server with up to three parameters (Empty = missing). Without a
// server raises 0x8004000A "Missing resource server." from "GetResourceString".
std::string GetResourceString(long id, const Variant& p1 = Variant(), const Variant& p2 = Variant(),
                              const Variant& p3 = Variant());

// "hh:mm:ss" below 23 hours, "27:05:09" (hours unbounded) from 23 hours on.
std::string FormatElapsedTime(double milliseconds);

// Characters, not bytes, of a UTF-8 text: what a length rule on a shown text counts.
std::size_t CharacterCount(const std::string& utf8);
// The user's time separator if it is one character, else ":".
std::string GetTimeSeparator();

// ceiling(value / 10^e) * 10^e with e the exponent of the leading digit: 347 -> 400, 10 -> 10.
// 0 and values that are not finite come back unchanged.
double RoundUpToOneSignificantDigit(double value);

// Resource 4307 for an efficient-frontier series, else 4306.
std::string StopQuestionText(bool efficientFrontierShape);
// Asks to move on to the next optimization of the series, naming its constraining value (item n+1
// of the final order, n = the optimization under way, read from channel 21) when there is one.
std::string MoveOnQuestionText(const Collection& constrainingValuesFinalOrder);
// Resource 4526 for one constraint, else 4527 with the count.
std::string SolverQuestionText(long n);

// A constraint-solver objective (the count of unmet constraints) as text: special values as
// common text 1; with text, resource 4508 for 1 and 4509 with the count otherwise; without text
// the count alone.
std::string ConstraintSolverValueText(double value, bool withText);

// Raises 0x80040857 with the text as description.
[[noreturn]] void RaiseErrorWithText(const std::string& text);

}  // namespace Utilities
}  // namespace corvana
