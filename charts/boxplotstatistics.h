#pragma once
// The five-number summary behind a boxplot, with the quartiles taken as the medians of the
// two halves of the sorted list (the middle value of an odd list belongs to neither half)
// and Tukey's fences at 1.5 times the interquartile range.

#include <vector>

namespace velmora::charts {

struct BoxplotStatistics {
    int count = 0;
    double mean = 0;
    double median = 0;
    double q1 = 0;
    double q3 = 0;
    double iqr = 0;
    double lowerFence = 0;
    double upperFence = 0;
    double lowerWhisker = 0;      // the smallest value not below the lower fence
    double upperWhisker = 0;      // the largest value not above the upper fence
    std::vector<double> outliers; // the values outside the whiskers, in ascending order
};

// Sorts the list in place (ascending) and summarises it. Throws core::Error "Array is Empty!"
// for an empty list.
BoxplotStatistics ComputeBoxplotStatistics(std::vector<double>& values);

// The single measures on a list that is already sorted ascending; they throw the same error
// for an empty list.
double Mean(const std::vector<double>& sorted);
double Median(const std::vector<double>& sorted);
void Quartiles(const std::vector<double>& sorted, double& q1, double& q3);

} // namespace velmora::charts
