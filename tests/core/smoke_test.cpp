#include <gtest/gtest.h>
#include "core/arith.h"
TEST(Smoke, Capacity) { EXPECT_EQ(px::Binomial(36, 5), 376992); }
