#include "core/error.h"
#include "charts/boxplotstatistics.h"

#include <gtest/gtest.h>

using namespace velmora::charts;

namespace {

struct StatsCase {
    std::vector<double> values;
    double median, q1, q3, lowerFence, upperFence, lowerWhisker, upperWhisker;
    std::vector<double> outliers;
};

TEST(BoxplotStatistics, SummariesOfTheWorkedExamples) {
    const StatsCase cases[] = {
        {{2, 4, 6, 8, 10}, 6, 3, 9, -6, 18, 2, 10, {}},
        {{1, 2, 3, 4, 5, 6}, 3.5, 2, 5, -2.5, 9.5, 1, 6, {}},
        {{1, 2, 3, 4, 100}, 3, 1.5, 52, -74.25, 127.75, 1, 100, {}},
        {{1, 2, 3, 4, 5, 100}, 3.5, 2, 5, -2.5, 9.5, 1, 5, {100}},
        // unsorted input, an outlier on each side
        {{50, -40, 10, 11, 12, 13, 14}, 12, 10, 14, 4, 20, 10, 14, {-40, 50}},
        {{7}, 7, 7, 7, 7, 7, 7, 7, {}},
        {{3, 1}, 2, 1, 3, -2, 6, 1, 3, {}},
    };
    for (const StatsCase& c : cases) {
        std::vector<double> values = c.values;
        const BoxplotStatistics s = ComputeBoxplotStatistics(values);
        SCOPED_TRACE(::testing::PrintToString(c.values));
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())); // sorted in place
        EXPECT_DOUBLE_EQ(s.median, c.median);
        EXPECT_DOUBLE_EQ(s.q1, c.q1);
        EXPECT_DOUBLE_EQ(s.q3, c.q3);
        EXPECT_DOUBLE_EQ(s.lowerFence, c.lowerFence);
        EXPECT_DOUBLE_EQ(s.upperFence, c.upperFence);
        EXPECT_DOUBLE_EQ(s.lowerWhisker, c.lowerWhisker);
        EXPECT_DOUBLE_EQ(s.upperWhisker, c.upperWhisker);
        EXPECT_EQ(s.outliers, c.outliers);
    }
}

TEST(BoxplotStatistics, MeanIsTheAverageOfAllValuesOutliersIncluded) {
    std::vector<double> values{1, 2, 3, 4, 5, 100};
    EXPECT_DOUBLE_EQ(ComputeBoxplotStatistics(values).mean, 115.0 / 6);
}

TEST(BoxplotStatistics, AnEmptyListIsRefused) {
    std::vector<double> empty;
    try {
        ComputeBoxplotStatistics(empty);
        FAIL() << "no error";
    } catch (const velmora::core::Error& e) {
        EXPECT_EQ(e.Reason(), QStringLiteral("Array is Empty!"));
    }
    EXPECT_THROW(Median(empty), velmora::core::Error);
    EXPECT_THROW(Mean(empty), velmora::core::Error);
    double q1 = 0, q3 = 0;
    EXPECT_THROW(Quartiles(empty, q1, q3), velmora::core::Error);
}

} // namespace
