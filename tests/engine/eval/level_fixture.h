// A test fixture for tests that change the evaluation level: the level is
// put back, and the evaluator chosen again for it, after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace eval_testing {

class LevelRestoringTest : public ::testing::Test {
 protected:
  void SetUp() override { savedLevel_ = middleKnowledge; }
  void TearDown() override {
    middleKnowledge = savedLevel_;
    SelectEvaluator();
  }

 private:
  int32_t savedLevel_ = 0;
};

}  // namespace eval_testing
