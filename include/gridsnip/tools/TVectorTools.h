// TVectorTools: sums, means, slopes, series, membership and conversions of vectors.
#pragma once

#include <string>
#include <vector>

// Vectors are taken by value and never changed; sums run in index order from 0.
class TVectorTools {
  public:
    // The sum of the elements (0 for none).
    static double SumVector(std::vector<double> values);
    // The sum over the count (NaN for no elements).
    static double VectorMean(std::vector<double> values);
    // The sum of value x weight over the count (not over the sum of the weights).
    // Throws "Length of value and weight vectors do not match in
    // TVectorTools::WeightedMean".
    static double VectorWeightedMean(std::vector<double> values, std::vector<double> weights);
    // The element-wise product. Throws "Length of vectors does not match in
    // TVectorTools::VectorProduct".
    static std::vector<double> VectorProduct(std::vector<double> a, std::vector<double> b);
    // The least-squares slope of y against x: (n Sxy - Sx Sy) / (n Sxx - Sx^2),
    // NaN or infinite for fewer than two points or equal x. Throws the
    // VectorProduct message for vectors of different lengths.
    static double Gradient(std::vector<double> x, std::vector<double> y);
    // Gradient of the first n elements of x and y, with the same sums in the same
    // order, without copying them.
    static double Gradient(const double* x, const double* y, std::size_t n);
    // start, start + step, ... while not above end, each by adding step to the one
    // before (so rounding accumulates). Throws "Step must be greater than 0 in
    // TVectorTools::VectorSeries" when start <= end and step <= 0, "Step is too
    // small for the range in TVectorTools::VectorSeries" when a value of the
    // series up to end would not change by adding step (the series would never
    // end), and std::bad_alloc, before appending anything, for a series too long
    // to hold.
    static std::vector<double> VectorSeries(double start, double end, double step);
    // Whether an element equals `value` (IEEE equality: 0 matches -0, NaN nothing).
    static bool HasValue(std::vector<double> values, double value);
    static bool HasValue(std::vector<int> values, int value);
    // Each string as atoi reads it (leading blanks, sign, digits; 0 for no
    // number), saturated to the int range instead of overflowing.
    static std::vector<int> StringToInt(std::vector<std::string> strings);
    // Each string as atof reads it (0 for no number).
    static std::vector<double> StringToDouble(std::vector<std::string> strings);
    // Each int as the equal double.
    static std::vector<double> IntToDouble(std::vector<int> values);
};
