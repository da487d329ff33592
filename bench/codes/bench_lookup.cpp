// LookupCodes over the words of a text, as one rendering pass does it: the database opened once,
// every word looked up through the prepared queries. Target: 2,000 lookups under 20 ms.
//
//   bench_lookup [ROUNDS]     prints the time of the first pass (a fresh dictionary) and the
//                             median of all passes; exits 1 when either misses the target.
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

const char16_t kText[] = u"中国是世界上历史最悠久的国家之一，有着光辉灿烂的文化和光荣的革命传统。"
                         u"我们今天去北京天安门广场，看到了很多来自全国各地的游客。春天来了，公园里的花都开了，"
                         u"孩子们在草地上放风筝，老人们在树下下棋聊天。科学技术是第一生产力，教育是民族振兴的基石。"
                         u"他说这个问题需要认真研究，不能简单地下结论。计算机和互联网改变了人们的生活方式，"
                         u"也带来了新的机遇和挑战。经济发展必须坚持以人民为中心，不断提高人民群众的生活水平。"
                         u"早上八点，他准时来到办公室，打开电脑开始一天的工作。";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir home; // custom words of this run only
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));

    const QString bin = QStringLiteral(ORVANE_BIN_DIR);
    orvane::ExternalLibs libs;
    QString error;
    if (!libs.open({bin}, QString(), &error)) {
        std::fprintf(stderr, "bench_lookup: %s\n", qPrintable(error));
        return 1;
    }
    libs.addWord(QStringLiteral("4326"), QStringLiteral("葛优躺")); // one item answered by the library

    // The words of the text, as the segmentation gives them.
    const QString text = QString::fromUtf16(kText) + QStringLiteral("葛优躺");
    QString marks;
    if (!libs.divideSentence(text, &marks, &error)) {
        std::fprintf(stderr, "bench_lookup: %s\n", qPrintable(error));
        return 1;
    }
    QStringList words;
    for (qsizetype start = 0, i = 1; i <= text.size(); ++i) {
        if (i < text.size() && marks.at(i) == marks.at(start))
            continue;
        words << text.mid(start, i - start);
        start = i;
    }
    // Then running text drawn from the word list by frequency (a fixed sequence), with commas and
    // full stops, so that the words repeat as in real text rather than as in one paragraph.
    std::vector<QString> items(words.begin(), words.end());
    {
        std::vector<std::pair<QString, double>> vocabulary;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vocabulary"));
        db.setDatabaseName(bin + QStringLiteral("/jtdb.dat"));
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT hz, freq FROM jtci UNION ALL SELECT hz, freq FROM jtzi"), db);
            while (q.next())
                vocabulary.emplace_back(q.value(0).toString(), q.value(1).toDouble());
        }
        std::vector<double> cumulative;
        double sum = 0;
        for (const auto &[w, f] : vocabulary)
            cumulative.push_back(sum += f);
        std::mt19937_64 random(20110101);
        while (items.size() < 2000 && sum > 0) {
            const double x = std::uniform_real_distribution<double>(0, sum)(random);
            const auto at = std::upper_bound(cumulative.begin(), cumulative.end(), x) - cumulative.begin();
            items.push_back(vocabulary[std::min<std::size_t>(at, vocabulary.size() - 1)].first);
            if (items.size() % 9 == 0)
                items.push_back(items.size() % 27 == 0 ? QStringLiteral("。") : QStringLiteral("，"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("vocabulary"));
    items.resize(2000);
    const std::size_t distinct = QSet<QString>(items.begin(), items.end()).size();

    QElapsedTimer openTimer;
    openTimer.start();
    orvane::CodeDictionary dictionary(&libs);
    if (!dictionary.open(bin + QStringLiteral("/jtdb.dat"), &error)) {
        std::fprintf(stderr, "bench_lookup: %s\n", qPrintable(error));
        return 1;
    }
    std::printf(
        "open jtdb.dat: %.2f ms; %zu distinct items among the 2000\n", openTimer.nsecsElapsed() / 1e6, distinct);

    std::vector<double> ms;
    std::size_t coded = 0;
    for (int r = 0; r < rounds; ++r) {
        coded = 0;
        QElapsedTimer t;
        t.start();
        for (const QString &w : items)
            coded += dictionary.LookupCodes(w).standard.isEmpty() ? 0 : 1;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("first pass (every distinct item queried once): %.2f ms\n", ms.front());
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::printf("2000 LookupCodes (%zu with a code): median %.2f ms, best %.2f ms, worst %.2f ms over %d rounds "
                "(target < 20 ms)\n",
        coded, median, sorted.front(), sorted.back(), rounds);
    return median < 20.0 && ms.front() < 20.0 ? 0 : 1;
}
