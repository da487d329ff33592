// The figures of the result dialog: time used, accuracy, speed and effective speed as shown.
#pragma once

#include <QString>

namespace orvane {

struct ResultSummary {
    QString total, hanzi, symbols, alpha;
    QString time;     // h:mm:ss
    QString accuracy; // 97.50%
    QString speed;    // 80字/分
    QString effectiveSpeed;
};

// The numbers behind the result dialog's accuracy and speeds: the accuracy in percent rounded to
// two decimals, the speeds in characters a minute rounded to integers; zero when nothing was
// typed or no time passed.
struct ResultNumbers {
    double accuracyPercent = 0;
    qint64 speed = 0;
    qint64 effectiveSpeed = 0;
};
ResultNumbers resultNumbers(qint64 elapsedSeconds, int right, int wrong);

// elapsedSeconds is the test's time in whole seconds.
ResultSummary summarizeResult(int hanzi, int symbols, int alpha, qint64 elapsedSeconds, int right, int wrong);

// h:mm:ss, hours without a leading zero.
QString formatElapsed(qint64 seconds);

// Rounds to the nearest integer, halves to the even neighbour.
qint64 roundHalfEven(double value);

} // namespace orvane
