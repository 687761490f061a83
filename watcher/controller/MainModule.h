#pragma once

namespace corvana {

// Process start-up (run by the first Initialize) and shutdown.
void InitializeApplication();
// Frees the engine, unloads everything and ends the process through the self-destruct timer.
void TerminateApplication();

}  // namespace corvana
