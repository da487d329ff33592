// history.db comes from the disk and may be damaged or written by anything: any bytes as the file
// open or are refused with a reason, and every test, commit, word typed in pieces and item of a
// file that opens is read, and the mistake book built from them, without crashing. A seed corpus of real history files (written by the program) lets the fuzzer
// reach the tables.
#include "history/historydb.h"
#include "teaching/mistakebook.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_historyfile";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // the SQL drivers are plugins
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.db"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    orvane::HistoryDb db;
    QString error;
    if (!db.open(path, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QVector<orvane::HistoryRecord> tests = db.tests(&error);
    for (const orvane::HistoryRecord &r : tests) {
        (void)db.commits(r.id, &error);
        (void)db.pieces(r.id, &error);
    }
    (void)db.lastTest(&error);
    (void)orvane::weakestItems(orvane::loadMistakeBook(db, &error));
    (void)orvane::historyCsv(tests);
    return 0;
}
