#include "segtest/resultsummary.h"

#include <cmath>

namespace orvane {

qint64 roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5)
        return qint64(floor) + 1;
    if (diff < 0.5)
        return qint64(floor);
    const qint64 f = qint64(floor);
    return (f % 2 == 0) ? f : f + 1;
}

QString formatElapsed(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    const qint64 h = seconds / 3600;
    const qint64 m = (seconds % 3600) / 60;
    const qint64 s = seconds % 60;
    return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}

namespace {

// The value times 100 with two decimals, rounded half away from zero as a number format does.
double percentRounded(double ratio)
{
    return std::floor(ratio * 10000.0 + 0.5 + 1e-9) / 100.0;
}

QString perMinute(qint64 n)
{
    return QString::number(n) + QStringLiteral("字/分");
}

} // namespace

ResultNumbers resultNumbers(qint64 elapsedSeconds, int right, int wrong)
{
    const int typed = right + wrong;
    const qint64 secs = qMax<qint64>(0, elapsedSeconds);
    const double minutes = double(secs / 3600) * 60.0 + double((secs % 3600) / 60) + double(secs % 60) / 60.0;
    if (minutes == 0 || typed == 0)
        return {};
    return {percentRounded(double(right) / double(typed)), roundHalfEven(double(typed) / minutes),
        roundHalfEven(double(right) / minutes)};
}

ResultSummary summarizeResult(int hanzi, int symbols, int alpha, qint64 elapsedSeconds, int right, int wrong)
{
    ResultSummary r;
    r.total = QString::number(symbols + hanzi + alpha);
    r.hanzi = QString::number(hanzi);
    r.symbols = QString::number(symbols);
    r.alpha = QString::number(alpha);
    r.time = formatElapsed(elapsedSeconds);
    const ResultNumbers n = resultNumbers(elapsedSeconds, right, wrong);
    r.accuracy = QString::number(n.accuracyPercent, 'f', 2) + QLatin1Char('%');
    r.speed = perMinute(n.speed);
    r.effectiveSpeed = perMinute(n.effectiveSpeed);
    return r;
}

} // namespace orvane
