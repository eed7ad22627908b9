// TVectorTools: sums, means, slopes, series, membership and conversions of vectors.
#include <gridsnip/tools/TVectorTools.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

#include <gridsnip/grid/TGridError.h>

double TVectorTools::SumVector(std::vector<double> values) {
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    return sum;
}

double TVectorTools::VectorMean(std::vector<double> values) {
    const auto n = static_cast<double>(values.size());
    return SumVector(std::move(values)) / n;
}

double TVectorTools::VectorWeightedMean(std::vector<double> values, std::vector<double> weights) {
    if (values.size() != weights.size()) {
        throw TGridError(
            "Length of value and weight vectors do not match in TVectorTools::WeightedMean");
    }
    double sum = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        sum += values[i] * weights[i];
    }
    return sum / static_cast<double>(values.size());
}

std::vector<double> TVectorTools::VectorProduct(std::vector<double> a, std::vector<double> b) {
    if (a.size() != b.size()) {
        throw TGridError("Length of vectors does not match in TVectorTools::VectorProduct");
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] *= b[i];
    }
    return a;
}

double TVectorTools::Gradient(std::vector<double> x, std::vector<double> y) {
    if (x.size() != y.size()) {
        throw TGridError("Length of vectors does not match in TVectorTools::VectorProduct");
    }
    return Gradient(x.data(), y.data(), y.size());
}

double TVectorTools::Gradient(const double* x, const double* y, std::size_t n) {
    // Each sum starts at 0 and runs in index order, as SumVector of the
    // element-wise products would.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double count = static_cast<double>(n);
    return (count * sxy - sx * sy) / (count * sxx - sx * sx);
}

namespace {

// Whether adding `step` to `v` leaves it unchanged.
bool Absorbs(double v, double step) {
    return v + step == v;
}

// Whether the series from start to end stalls: some value of it, at most end,
// absorbs the step, so the series would never end. The values rise from start;
// the gap between neighbouring doubles grows with the magnitude, so the values
// that absorb the step first are the most negative ones (at start) and the
// largest ones (near end). A value absorbs a step below half its gap, and a
// step of exactly half its gap when its last bit is even (ties round to even);
// of two neighbouring doubles in one binade one is even. So the series stalls
// exactly when start, the double after it, the double before end or end
// itself absorbs the step, counting only those within [start, end].
bool Stalls(double start, double end, double step) {
    const double afterStart = std::nextafter(start, end);
    const double beforeEnd = std::nextafter(end, start);
    return Absorbs(start, step) || Absorbs(end, step) ||
           (afterStart <= end && Absorbs(afterStart, step)) ||
           (beforeEnd >= start && Absorbs(beforeEnd, step));
}

}  // namespace

std::vector<double> TVectorTools::VectorSeries(double start, double end, double step) {
    std::vector<double> series;
    if (!(start <= end)) {
        return series;  // nothing to append (also for a NaN start or end)
    }
    if (step <= 0) {
        throw TGridError("Step must be greater than 0 in TVectorTools::VectorSeries");
    }
    if (Stalls(start, end, step)) {
        throw TGridError("Step is too small for the range in TVectorTools::VectorSeries");
    }
    // A series that does not stall has fewer than 2^55 values (the step is
    // above a 2^-54 share of the largest magnitude it passes), so the length
    // is known before anything is appended: reserve it, and a series too long
    // to hold fails at once with std::bad_alloc instead of after eating memory.
    // The quotients may be off by a few values; push_back absorbs that.
    // A NaN step gives start alone, as the loop below does without help.
    if (!std::isnan(step)) {
        double span = (end - start) / step;
        if (!std::isfinite(span)) {
            span = end / step - start / step;  // end - start overflowed
        }
        const double expected = std::floor(span) + 2;
        if (!(expected < static_cast<double>(series.max_size()))) {
            throw std::bad_alloc();  // more values than any vector can hold
        }
        series.reserve(static_cast<std::size_t>(expected));
    }
    for (double v = start; v <= end; v += step) {
        series.push_back(v);
    }
    return series;
}

bool TVectorTools::HasValue(std::vector<double> values, double value) {
    for (double v : values) {
        if (v == value) {
            return true;
        }
    }
    return false;
}

bool TVectorTools::HasValue(std::vector<int> values, int value) {
    for (int v : values) {
        if (v == value) {
            return true;
        }
    }
    return false;
}

std::vector<int> TVectorTools::StringToInt(std::vector<std::string> strings) {
    std::vector<int> result;
    result.reserve(strings.size());
    for (const std::string& text : strings) {
        // atoi's rules, with the overflow it leaves undefined saturated instead.
        std::size_t i = 0;
        while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
            ++i;
        }
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            ++i;
        }
        constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
        std::int64_t magnitude = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
        }
        const std::int64_t value = negative ? -magnitude : magnitude;
        result.push_back(static_cast<int>(std::clamp<std::int64_t>(
            value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    }
    return result;
}

std::vector<double> TVectorTools::StringToDouble(std::vector<std::string> strings) {
    std::vector<double> result;
    result.reserve(strings.size());
    for (const std::string& text : strings) {
        result.push_back(std::atof(text.c_str()));
    }
    return result;
}

std::vector<double> TVectorTools::IntToDouble(std::vector<int> values) {
    return std::vector<double>(values.begin(), values.end());
}
