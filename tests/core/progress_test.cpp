// The progress bar of a stage: what the user sees after each line (every value shown, the
// cancel taken at the step it is requested) for stages of many sizes and shares.
#include "compare/lines/progress.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/rounding.h"
#include "tests/support/scripted_host.h"

namespace verko {
namespace {

// The bar a stage must show: after line k of n, everything earned so far, once it grows.
std::vector<int> ExpectedBar(const std::vector<int>& ks, int n, double share) {
  std::vector<int> shown;
  int added = 0;
  for (int k : ks) {
    const int earned = RoundHalfEven(static_cast<double>(k) / n * share);
    if (earned > added) {
      added = earned;
      shown.push_back(added);
    }
  }
  return shown;
}

TEST(StageShare, ShowsWhatEveryLineEarnsForAnySizeShareAndStride) {
  std::mt19937 random(15);
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(random() % (round < 200 ? 40 : 70000));
    const double share = std::vector<double>{3, 4.5, 7, 9, 23, 50, 0.4}[random() % 7];
    // Lines one by one, or with gaps (a stage may skip lines it has nothing to do for).
    const int stride = 1 + static_cast<int>(random() % 3) * static_cast<int>(random() % 500);
    std::vector<int> ks;
    for (int k = 1; k <= n; k += 1 + static_cast<int>(random() % stride)) ks.push_back(k);
    ks.push_back(n);

    RunFlags flags;
    test_support::ScriptedHost host(flags);
    ProgressMeter meter(host, flags);
    StageShare stage(meter, share);
    for (int k : ks) ASSERT_EQ(stage.Advance(k, n), Flow::kContinue);
    EXPECT_EQ(host.progress, ExpectedBar(ks, n, share)) << "n " << n << ", share " << share;
    EXPECT_EQ(stage.Added(), RoundHalfEven(share));
  }
}

TEST(StageShare, CancelIsTakenAtTheStepItIsRequestedAndNotBetweenSteps) {
  RunFlags flags;
  test_support::ScriptedHost host(flags);
  host.cancelAtShow = 3;
  ProgressMeter meter(host, flags);
  StageShare stage(meter, 9);
  int cancelledAt = 0;
  for (int k = 1; k <= 900; ++k) {
    if (stage.Advance(k, 900) == Flow::kStop) {
      cancelledAt = k;
      break;
    }
  }
  EXPECT_EQ(host.progress, (std::vector<int>{1, 2, 3}));
  // 250 / 900 * 9 = 2.5 rounds half to even to 2: line 251 earns the third step.
  EXPECT_EQ(cancelledAt, 251);
}

}  // namespace
}  // namespace verko
