#include "paysheet/RowTotals.h"

#include "common/Text.h"

#include <numeric>

namespace paysheet {

RowTotals ComputeRowTotals(const std::vector<double>& earnings, const std::vector<double>& deductions,
                           std::optional<int> decimals)
{
    auto round = [&](double v) { return decimals ? RoundTo(v, *decimals) : v; };
    RowTotals t;
    t.earnings = round(std::accumulate(earnings.begin(), earnings.end(), 0.0));
    t.deductions = round(std::accumulate(deductions.begin(), deductions.end(), 0.0));
    t.net = round(t.earnings - t.deductions);
    return t;
}

} // namespace paysheet
