// Checked copies of data files in the cache folder: a copy stands for its data file only as the
// file was when it was read, and only when the copy itself is whole.
#include "orvane/codes/checkedcopy.h"
#include "orvane/codes/codedata.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

using namespace orvane::codes;

namespace {

constexpr std::uint32_t kKind = 0x54455354; // "TEST"

QByteArray contents(int seed)
{
    QByteArray b;
    for (int i = 0; i < 100000; ++i)
        b.append(char((i * 31 + seed) & 0xFF));
    return b;
}

bool write(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile f(path);
    return f.open(mode) && f.write(bytes) == bytes.size();
}

// File times come from a clock that advances in steps of a few milliseconds: a change made
// right after a stamp could carry the same times, which no stamp can tell apart.
void nextClockStep()
{
    QThread::msleep(20);
}

} // namespace

class TestCheckedCopy : public QObject {
    Q_OBJECT

private slots:
    void aCopyStandsForTheFileAsItWasRead_data();
    void aCopyStandsForTheFileAsItWasRead();
    void aFileThatChangedSinceItsStampIsNotCopied();
    void nothingIsKeptWhereNothingCanBeWritten();
    void codeDataOpenedOnItsSizesStaysInside_data();
    void codeDataOpenedOnItsSizesStaysInside();
};

void TestCheckedCopy::aCopyStandsForTheFileAsItWasRead_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("used");
    QTest::newRow("nothing changed") << "" << true;
    QTest::newRow("file rewritten in place, same size") << "rewrite" << false;
    QTest::newRow("file given a new time") << "touch" << false;
    QTest::newRow("file replaced by a rename") << "rename" << false;
    QTest::newRow("file removed") << "remove" << false;
    QTest::newRow("copy with a byte changed") << "flip" << false;
    QTest::newRow("copy cut short") << "cut" << false;
    QTest::newRow("copy asked for as another kind") << "kind" << false;
}

void TestCheckedCopy::aCopyStandsForTheFileAsItWasRead()
{
    QFETCH(QString, change);
    QFETCH(bool, used);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string cache = dir.filePath(QStringLiteral("cache/orvane-tutor/")).toStdString();
    const QString source = dir.filePath(QStringLiteral("data.bin"));
    const QByteArray bytes = contents(1);
    QVERIFY(write(source, bytes));
    const std::optional<FileStamp> stamp = stampOf(source.toStdString());
    QVERIFY(stamp);
    QVERIFY(writeCheckedCopy(cache, source.toStdString(), kKind, *stamp, bytes.constData(), std::size_t(bytes.size())));
    const QString copyPath = QString::fromStdString(checkedCopyPath(cache, source.toStdString(), kKind));
    QVERIFY(QFile::exists(copyPath));

    nextClockStep();
    std::uint32_t kind = kKind;
    if (change == QLatin1String("rewrite")) {
        QVERIFY(write(source, contents(2), QIODevice::ReadWrite)); // the same inode and size
    } else if (change == QLatin1String("touch")) {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600), QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("rename")) {
        const QString other = dir.filePath(QStringLiteral("new.bin"));
        QVERIFY(write(other, bytes));
        QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(source).constData()) == 0);
    } else if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(source));
    } else if (change == QLatin1String("flip")) {
        QFile f(copyPath);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(64 + 5000));
        QVERIFY(f.write("\x7f", 1) == 1);
    } else if (change == QLatin1String("cut")) {
        QVERIFY(QFile::resize(copyPath, QFileInfo(copyPath).size() - 1));
    } else if (change == QLatin1String("kind")) {
        kind = kKind + 1;
    }

    const std::unique_ptr<MappedCopy> copy = openCheckedCopy(cache, source.toStdString(), kind);
    QCOMPARE(bool(copy), used);
    if (copy)
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(copy->data()), qsizetype(copy->size())), bytes);
}

void TestCheckedCopy::aFileThatChangedSinceItsStampIsNotCopied()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string cache = dir.filePath(QStringLiteral("cache/")).toStdString();
    const QString source = dir.filePath(QStringLiteral("data.bin"));
    QVERIFY(write(source, contents(1)));
    const std::optional<FileStamp> stamp = stampOf(source.toStdString());
    QVERIFY(stamp);
    nextClockStep();
    QVERIFY(write(source, contents(2), QIODevice::ReadWrite)); // while it was being read
    const QByteArray read = contents(1);
    QVERIFY(!writeCheckedCopy(cache, source.toStdString(), kKind, *stamp, read.constData(), std::size_t(read.size())));
    QVERIFY(!QFile::exists(QString::fromStdString(checkedCopyPath(cache, source.toStdString(), kKind))));
    QVERIFY(!openCheckedCopy(cache, source.toStdString(), kKind));
}

void TestCheckedCopy::nothingIsKeptWhereNothingCanBeWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("data.bin"));
    const QByteArray bytes = contents(1);
    QVERIFY(write(source, bytes));
    const std::optional<FileStamp> stamp = stampOf(source.toStdString());
    QVERIFY(stamp);
    // A file where the cache folder should be, and no cache folder at all.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    QVERIFY(write(blocked, "x"));
    for (const std::string &cache : {blocked.toStdString() + "/orvane-tutor/", std::string()}) {
        QVERIFY(!writeCheckedCopy(cache, source.toStdString(), kKind, *stamp, bytes.constData(), std::size_t(bytes.size())));
        QVERIFY(!openCheckedCopy(cache, source.toStdString(), kKind));
    }
    // A folder that cannot be written (unless the tests run as root, who can write anywhere).
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0500) == 0);
    const bool written = writeCheckedCopy(
        locked.toStdString() + "/", source.toStdString(), kKind, *stamp, bytes.constData(), std::size_t(bytes.size()));
    QCOMPARE(written, ::geteuid() == 0);
    if (!written) // and no half-written file left behind
        QVERIFY(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}

// The code data of a copy are opened on their sizes alone: whatever the records hold, a lookup
// reads nothing outside the image (held in storage of exactly its size).
void TestCheckedCopy::codeDataOpenedOnItsSizesStaysInside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("undamaged") << "";
    QTest::newRow("word offsets past the pool") << "offsets";
    QTest::newRow("no NUL after the last word") << "nul";
    QTest::newRow("codes that are no codes") << "codes";
}

void TestCheckedCopy::codeDataOpenedOnItsSizesStaysInside()
{
    QFETCH(QString, damage);
    std::string bytes =
        CodeData::serialize({{U'中', "500064"}, {U'国', "460800"}, {U'人', "390000"}}, {"中国", "中国人"});
    // Header 20 bytes, 3 characters of 12 bytes, 2 word offsets of 4 bytes, the pool.
    const std::size_t words = 20 + 3 * 12;
    if (damage == QLatin1String("offsets")) {
        bytes[words] = char(0xF0);
        bytes[words + 4 + 3] = char(0x7F);
    } else if (damage == QLatin1String("nul")) {
        for (std::size_t i = words + 8; i < bytes.size(); ++i)
            if (bytes[i] == '\0')
                bytes[i] = 'x';
    } else if (damage == QLatin1String("codes")) {
        for (std::size_t c = 0; c < 3; ++c)
            bytes.replace(20 + c * 12 + 4, 8, "abcdefgh");
    }
    auto image = std::make_shared<std::vector<char>>(bytes.begin(), bytes.end());
    std::string error;
    const auto codes = CodeData::openChecked(image, image->data(), image->size(), "copy", &error);
    QVERIFY2(codes, error.c_str());
    QCOMPARE(codes->image().size(), bytes.size());
    const std::string known = codes->knownCode(u"中国");
    const bool wordFound = codes->containsWord("中国人");
    if (damage.isEmpty()) {
        const auto whole = CodeData::fromBytes(bytes, "whole", &error);
        QVERIFY2(whole, error.c_str());
        QVERIFY(!known.empty());
        QCOMPARE(known, whole->knownCode(u"中国"));
        QVERIFY(wordFound);
    }
    if (damage == QLatin1String("codes"))
        QVERIFY(codes->characterCode(U'中').empty());
}

QTEST_GUILESS_MAIN(TestCheckedCopy)
#include "test_checkedcopy.moc"
