#pragma once
#include <optional>
#include <vector>

namespace paysheet {

// The three totals of a pay row.
struct RowTotals {
    double earnings = 0;   // YFTotal
    double deductions = 0; // KKTotal
    double net = 0;        // GZTotal
};

// Sums the amounts of each side. With decimals given, each sum is rounded to them (half
// away from zero) and the net pay is the rounded difference of the rounded sums, as the
// entry dialog shows them; without, nothing is rounded.
RowTotals ComputeRowTotals(const std::vector<double>& earnings, const std::vector<double>& deductions,
                           std::optional<int> decimals);

} // namespace paysheet
