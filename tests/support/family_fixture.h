// An archive and a registry over it, for the tests of the statistic families.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px::test {

class FamilyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  // The archive becomes this one draw.
  void Only(const Combination& c) {
    archive.Clear();
    archive.Append(Draw(1, c));
  }
  StatTable Table(const std::string& code, bool sorted = false) {
    return ComputeStatTable(registry, registry.FindByCode(code), StatTableParams{0, 1000, sorted, '.'}, nullptr);
  }

  DrawArchive archive;
  TStatList registry;
};

}  // namespace px::test
