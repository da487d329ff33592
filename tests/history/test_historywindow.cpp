// The history window on a real history file: newest first, the filter by text and the charts
// that follow it, sorting, export to CSV and deleting after a question.
#include "contextfixture.h"
#include "history/historymodel.h"
#include "history/historywindow.h"

#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace orvane;

namespace {

HistoryRecord record(const QString &name, int day, int speed)
{
    HistoryRecord r;
    r.start = QDateTime(QDate(2026, 3, day), QTime(20, 0, 0));
    r.end = r.start.addSecs(120);
    r.textName = name;
    r.textHash = historyTextHash(name);
    r.elapsedSeconds = 120;
    r.right = 2 * speed;
    r.accuracy = 100;
    r.speed = r.effectiveSpeed = speed;
    r.keys = 5 * speed;
    r.keysPerSecond = r.keys / 120.0;
    return r;
}

struct Fixture : test::ContextFixture {
    Fixture()
    {
        HistoryDb *db = ctx.history();
        QVERIFY(db);
        QString error;
        for (const HistoryRecord &r : {record(QStringLiteral("甲.txt"), 2, 40), record(QStringLiteral("乙.txt"), 3, 55),
                 record(QStringLiteral("甲.txt"), 4, 61)})
            QVERIFY2(db->add(r, &error) > 0, qPrintable(error));
        window = std::make_unique<HistoryWindow>(ctx);
        window->show();
    }
    QStringList column(int c) const
    {
        QStringList out;
        const QAbstractItemModel *m = window->tblTests->model();
        for (int row = 0; row < m->rowCount(); ++row)
            out << m->index(row, c).data().toString();
        return out;
    }
    QList<QPointF> points(int tab, int line) const
    {
        auto *view = qobject_cast<QChartView *>(window->tabCharts->widget(tab));
        return static_cast<QLineSeries *>(view->chart()->series().at(line))->points();
    }
    std::unique_ptr<HistoryWindow> window;
};

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void newestFirstAndTheFilterDrivesTheCharts()
    {
        Fixture f;
        QCOMPARE(f.column(HistoryModel::SpeedColumn), (QStringList{"61", "55", "40"}));
        QCOMPARE(f.window->lblCount->text(), QStringLiteral("共 3 次测试"));
        // The speed chart runs oldest to newest over the start times.
        const QList<QPointF> speed = f.points(0, 0);
        QCOMPARE(speed.size(), 3);
        QCOMPARE(speed[0].y(), 40.0);
        QCOMPARE(speed[2].y(), 61.0);
        QVERIFY(speed[0].x() < speed[1].x() && speed[1].x() < speed[2].x());
        // A figure that no test has yet gives an empty chart.
        QCOMPARE(f.points(2, 0).size(), 0);

        f.window->cboText->setCurrentText(QStringLiteral("甲.txt"));
        QCOMPARE(f.column(HistoryModel::SpeedColumn), (QStringList{"61", "40"}));
        QCOMPARE(f.points(0, 0).size(), 2);
        QCOMPARE(f.points(1, 0).size(), 2);

        // Sorting by speed sorts numbers, not texts.
        f.window->cboText->setCurrentIndex(0);
        f.window->tblTests->sortByColumn(HistoryModel::SpeedColumn, Qt::AscendingOrder);
        QCOMPARE(f.column(HistoryModel::SpeedColumn), (QStringList{"40", "55", "61"}));
    }

    void exportWritesTheShownTests()
    {
        Fixture f;
        f.window->cboText->setCurrentText(QStringLiteral("乙.txt"));
        const QString path = f.path(QStringLiteral("out.csv"));
        f.prompts.files.enqueue(path);
        f.window->cmdExport->click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(bytes.mid(3)), historyCsv(f.window->shownTests()));
        QCOMPARE(f.window->shownTests().size(), 1);
    }

    void deletingAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deletingAsksFirst()
    {
        QFETCH(bool, yes);
        Fixture f;
        f.window->tblTests->selectRow(0); // the newest
        f.window->tblTests->selectionModel()->select(
            f.window->tblTests->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        f.prompts.answers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        f.window->cmdDelete->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("2 次测试")));
        const QStringList left = yes ? QStringList{"40"} : QStringList{"61", "55", "40"};
        QCOMPARE(f.column(HistoryModel::SpeedColumn), left);
        QCOMPARE(f.ctx.history()->tests().size(), left.size());
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "test_historywindow.moc"
