#pragma once

#include <QString>
#include <QtGlobal>

namespace dict {

// How far one pass of the rebuild has come. The step per herb is span / count rounded to four
// decimals, a fixed-point value kept in ten-thousandths so that the sums are exact; the
// percentage text rounds halves to the even neighbour (12.5 gives 12, 37.5 gives 38).
class PassProgress {
public:
    PassProgress(int base, int span, qint64 count);

    void next() { m_units += m_step; }
    double value() const { return double(m_units) / kScale; }
    QString percentText() const;

private:
    static constexpr qint64 kScale = 10000;
    qint64 m_step;
    qint64 m_units;
};

// numerator / denominator rounded to a whole number, halves to even; denominator > 0.
qint64 roundHalfToEven(qint64 numerator, qint64 denominator);

} // namespace dict
