#include "charts/boxplotstatistics.h"

#include "charts/messages.h"
#include "core/error.h"

#include <algorithm>

namespace velmora::charts {

namespace {
void RequireValues(const std::vector<double>& values) {
    if (values.empty())
        throw core::Error(ResStr(rsArrayIsEmpty));
}
} // namespace

double Mean(const std::vector<double>& sorted) {
    RequireValues(sorted);
    double sum = 0;
    for (double v : sorted)
        sum += v;
    return sum / static_cast<double>(sorted.size());
}

double Median(const std::vector<double>& sorted) {
    RequireValues(sorted);
    const std::size_t n = sorted.size();
    if (n == 1)
        return sorted[0];
    const std::size_t i = n / 2;
    return n % 2 == 0 ? (sorted[i - 1] + sorted[i]) / 2 : sorted[i];
}

void Quartiles(const std::vector<double>& sorted, double& q1, double& q3) {
    RequireValues(sorted);
    const std::size_t n = sorted.size();
    if (n == 1) {
        q1 = q3 = sorted[0];
        return;
    }
    // The lower half is v[0 .. h-1], the upper half v[n-h .. n-1].
    const std::size_t h = n / 2;
    if (h % 2 == 1) {
        q1 = sorted[h / 2];
        q3 = sorted[n - 1 - h / 2];
    } else {
        q1 = (sorted[h / 2 - 1] + sorted[h / 2]) / 2;
        q3 = (sorted[n - 1 - h / 2] + sorted[n - h / 2]) / 2;
    }
}

BoxplotStatistics ComputeBoxplotStatistics(std::vector<double>& values) {
    RequireValues(values);
    std::sort(values.begin(), values.end());
    BoxplotStatistics s;
    s.count = static_cast<int>(values.size());
    s.mean = Mean(values);
    s.median = Median(values);
    Quartiles(values, s.q1, s.q3);
    s.iqr = s.q3 - s.q1;
    s.lowerFence = s.q1 - 1.5 * s.iqr;
    s.upperFence = s.q3 + 1.5 * s.iqr;
    // The quartiles lie inside the fences, so both searches find a value.
    s.lowerWhisker =
        *std::find_if(values.begin(), values.end(), [&](double v) { return v >= s.lowerFence; });
    s.upperWhisker =
        *std::find_if(values.rbegin(), values.rend(), [&](double v) { return v <= s.upperFence; });
    for (double v : values)
        if (v < s.lowerWhisker || v > s.upperWhisker)
            s.outliers.push_back(v);
    return s;
}

} // namespace velmora::charts
