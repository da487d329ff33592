#include "teaching/weakdrill.h"

#include "history/historydb.h"
#include "teaching/slowitems.h"

namespace orvane {

QVector<HistoryRecord> testsWithCommits(const HistoryDb &db, QString *error)
{
    QVector<HistoryRecord> tests = db.tests(error);
    for (HistoryRecord &t : tests) {
        t.commits = db.commits(t.id, error);
        if (error && !error->isEmpty())
            return {};
    }
    return tests;
}

QVector<DrillItem> weakItems(
    const QVector<HistoryRecord> &tests, const std::function<ItemCodes(const QString &)> &codes)
{
    return slowDrillItems(tests, codes, 20);
}

OpenedText weakItemsDrill(const QVector<DrillItem> &items, quint32 seed)
{
    PracticeOptions options;
    options.seed = seed;
    return practiceText(items, options, drillName(), drillKind());
}

QString nothingToPractise()
{
    return QStringLiteral("成绩记录中还没有需要练习的字词。先做几次测试，系统会从中找出你输入较慢的字词。");
}

} // namespace orvane
