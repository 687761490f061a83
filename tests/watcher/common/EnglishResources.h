#pragma once

#include <gtest/gtest.h>

#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/Utilities.h"

// Binds the shipped English texts as the process's resource server for one test.
class EnglishResources : public ::testing::Test {
 protected:
  void SetUp() override { corvana::g_ResourceServer = corvana::ResourceServer::Open("Corvana8", "en"); }
  void TearDown() override { corvana::g_ResourceServer.reset(); }

  static std::string Text(long id, const corvana::Variant& p1 = corvana::Variant()) {
    return corvana::g_ResourceServer->GetString(id, p1);
  }
};
