// A test fixture that starts every test with no database open, empty
// criteria and the start tolerances, and closes the database afterwards.
#pragma once

#include <gtest/gtest.h>

#include "celldb/database.h"
#include "query/criteria.h"

class SelectionFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    closedatabase();
    criteria = ttowerrec{};
    tolerancelon = toreal(0.2L);
    tolerancelat = toreal(0.33L);
  }
  void TearDown() override { closedatabase(); }
};
