#include "app/kalyxon.h"

#include <gtest/gtest.h>

#include "platform/scripted.h"

namespace kalyxon {
namespace {

TEST(Kalyxon, BuildsWithScriptedServices) {
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), KALYXON_RUNTIME_DIR);
  EXPECT_EQ(k.form1.nAcc, 0);
  EXPECT_TRUE(k.form1.noDiacritico);
}

}  // namespace
}  // namespace kalyxon
