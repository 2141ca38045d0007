// The frame's choice of the side the normal flow comes from, and the runs of
// faces between two wet elements.
#include <limits>

#include "normal_flow_side.hpp"
#include "test_support.hpp"
#include "wet_faces.hpp"

namespace {

using kernels::FaceRun;
using kernels::NormalFlowSide;

const double nan = std::numeric_limits<double>::quiet_NaN();

// 'L' local, 'A' adjacent, 'N' neither, through the pick the kernels use.
char sideOf(double qnL, double qnA) {
    const NormalFlowSide side = kernels::normalFlowSide(qnL, qnA);
    EXPECT_FALSE(side.fromLocal && side.fromAdjacent);
    return static_cast<char>(kernels::pickByFlowSide(side, 'L', 'A', 'N'));
}

TEST(NormalFlowSide, ThreeWayChoiceWithNaNTakingTheThirdBranch) {
    EXPECT_EQ(sideOf(1, 1), 'L');
    EXPECT_EQ(sideOf(1, 0), 'L');
    EXPECT_EQ(sideOf(1, -0.0), 'L');
    EXPECT_EQ(sideOf(-1, -1), 'A');
    EXPECT_EQ(sideOf(0, -1), 'A');
    EXPECT_EQ(sideOf(-0.0, -1), 'A');
    EXPECT_EQ(sideOf(0, 0), 'N');
    EXPECT_EQ(sideOf(1, -1), 'N');   // converging
    EXPECT_EQ(sideOf(-1, 1), 'N');   // diverging
    EXPECT_EQ(sideOf(0, 1), 'N');
    EXPECT_EQ(sideOf(-1, 0), 'N');
    EXPECT_EQ(sideOf(nan, 1), 'N');
    EXPECT_EQ(sideOf(nan, -1), 'N');
    EXPECT_EQ(sideOf(1, nan), 'N');
    EXPECT_EQ(sideOf(-1, nan), 'N');
    EXPECT_EQ(sideOf(nan, nan), 'N');
    EXPECT_TRUE(test_support::sameDouble(kernels::normalDischarge(3, 4, 0.6, 0.8), 3 * 0.6 + 4 * 0.8));
}

std::vector<FaceRun> runsOf(const std::vector<double>& marker) {
    const std::ptrdiff_t Nface = static_cast<std::ptrdiff_t>(marker.size());
    std::vector<FaceRun> runs;
    for (FaceRun run = kernels::nextWetFaceRun(marker.data(), Nface, 0); run.first < Nface;
         run = kernels::nextWetFaceRun(marker.data(), Nface, run.last)) {
        EXPECT_LT(run.first, run.last);
        runs.push_back(run);
    }
    return runs;
}

TEST(WetFaceRuns, CoverExactlyTheFacesNotMarkedOne) {
    EXPECT_TRUE(runsOf({}).empty());
    EXPECT_TRUE(runsOf({1, 1, 1}).empty());
    auto same = [](const std::vector<FaceRun>& runs, const std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>>& want) {
        ASSERT_EQ(runs.size(), want.size());
        for (std::size_t r = 0; r < runs.size(); ++r) {
            EXPECT_EQ(runs[r].first, want[r].first) << "run " << r;
            EXPECT_EQ(runs[r].last, want[r].second) << "run " << r;
        }
    };
    same(runsOf({0, 0, 0}), {{0, 3}});
    same(runsOf({1, 0, 0, 1, 1, 0, 1}), {{1, 3}, {5, 6}});
    same(runsOf({0, 1, 0}), {{0, 1}, {2, 3}});
    // Only 1.0 skips a face: any other value counts as between two wet elements.
    same(runsOf({0.5, 1, 2, nan}), {{0, 1}, {2, 4}});
}

}  // namespace
