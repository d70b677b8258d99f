// Charts cast for tests, from moments the engine must accept.
#pragma once

#include <gtest/gtest.h>

#include "chart/chart.hpp"

namespace qelm::testing {

inline ChartState ChartOf(Sex sex, MomentInput birth) {
  const MomentOutcome r = CalcMoment(birth);
  EXPECT_TRUE(r) << "birth moment refused";
  return r ? LoadChart("測試", sex, *r.result) : ChartState{};
}

inline FlowState FlowAt(const ChartState& c, MomentInput at) {
  const MomentOutcome r = CalcMoment(at);
  EXPECT_TRUE(r) << "flow moment refused";
  return r ? ComputeFlow(&c, *r.result) : FlowState{};
}

}  // namespace qelm::testing
