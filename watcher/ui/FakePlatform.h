#pragma once

// COMPATIBILITY, removed once the window and controller tests include the fake platform from
// watcher/ui/testing and link watcher_ui_testing.
#include "watcher/ui/testing/FakePlatform.h"
