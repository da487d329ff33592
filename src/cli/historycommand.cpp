#include "cli/historycommand.h"

#include "history/historydb.h"

#include <QFileInfo>

namespace orvane::cli {

namespace {

QString fixed(const std::optional<double> &v, int decimals)
{
    return v ? QString::number(*v, 'f', decimals) : QStringLiteral("-");
}

QString percent(const std::optional<double> &v)
{
    return v ? QString::number(*v * 100, 'f', 1) + QLatin1Char('%') : QStringLiteral("-");
}

QString count(const std::optional<int> &v)
{
    return v ? QString::number(*v) : QStringLiteral("-");
}

} // namespace

int runHistory(const QStringList &args, Streams &io)
{
    const bool csv = args == QStringList{QStringLiteral("--csv")};
    if (!args.isEmpty() && !csv) {
        io.err << "usage: orvane-cli history [--csv]" << Qt::endl;
        return 2;
    }
    const QString path = defaultHistoryPath();
    QVector<HistoryRecord> tests;
    // No file yet: no test was kept, which is not an error (and creates nothing).
    if (QFileInfo::exists(path)) {
        HistoryDb db;
        QString error;
        if (!db.open(path, &error)) {
            io.err << "orvane-cli history: " << error << Qt::endl;
            return 1;
        }
        error.clear();
        tests = db.tests(&error);
        if (!error.isEmpty()) {
            io.err << "orvane-cli history: " << error << Qt::endl;
            return 1;
        }
    }
    if (csv) {
        QString text = historyCsv(tests);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        io.out << text;
        io.out.flush();
        return 0;
    }
    // One line per test, oldest first: start, time, text, the result dialog's figures, keys and
    // the later figures where the test has them.
    for (const HistoryRecord &r : tests) {
        io.out << r.id << '\t' << r.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
               << (r.textName.isEmpty() ? QStringLiteral("-") : r.textName) << '\t'
               << QStringLiteral(
                      "用时=%1秒 正确=%2 错误=%3 正确率=%4% 速度=%5 有效速度=%6 键数=%7 击键=%8 码长=%9 理论码长=%10 "
                      "打词率=%11 理论打词率=%12 退格=%13 回改=%14 键准=%15")
                      .arg(r.elapsedSeconds)
                      .arg(r.right)
                      .arg(r.wrong)
                      .arg(QString::number(r.accuracy, 'f', 2))
                      .arg(r.speed)
                      .arg(r.effectiveSpeed)
                      .arg(r.keys)
                      .arg(fixed(r.keysPerSecond, 2), fixed(r.codeLength, 3), fixed(r.idealCodeLength, 3),
                          percent(r.wordShare), percent(r.idealWordShare), count(r.backspaces), count(r.retyped),
                          percent(r.keyAccuracy))
               << '\n';
    }
    io.out << "tests=" << tests.size() << '\n';
    io.out.flush();
    return 0;
}

} // namespace orvane::cli
