// Every file the program writes, written through the real windows onto a small tmpfs that fails:
// full, read-only, or with room for only one file of a pair. The old file stays as it was (or,
// for a first save, no file appears) and the user is told which file and why.
//
// The test mounts its own tmpfs inside a private mount namespace, entered in main() before Qt
// starts any thread, so nothing outside the test process sees the mounts. Without root or without
// mount namespaces it skips.
#include "contextfixture.h"
#include "core/savefile.h"
#include "modal.h"
#include "prepare/externallibs.h"
#include "prepare/frmdeffilter.h"
#include "prepare/frmopenfile.h"
#include "prepare/richtext.h"
#include "scriptedprompts.h"
#include "segtest/dlgresult.h"
#include "segtest/examplefiles.h"
#include "segtest/frmfctest.h"
#include "settings/frmoptions.h"
#include "settings/settingsstore.h"
#include "settings/usersettings.h"
#include "shell/frmmain.h"
#include "shell/pictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

const QString kText = QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。");

// RoomForOneFile: the disk has room for the first file of a pair only. TargetBusy: a file is
// mounted over the second file of a pair, so that it cannot be replaced although it was written.
enum class Failure { Full, ReadOnly, RoomForOneFile, TargetBusy };

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray gb18030(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// Why the test cannot mount, or empty when it runs in a mount namespace of its own.
QString enterOwnMountNamespace()
{
    if (::geteuid() != 0)
        return QStringLiteral("mounting a tmpfs needs root");
    if (::unshare(CLONE_NEWNS) != 0)
        return QStringLiteral("no mount namespace: %1").arg(qt_error_string(errno));
    // Mounts made here must not reach the namespace the test was started in.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("mounts cannot be made private: %1").arg(qt_error_string(errno));
    return {};
}

// A 2 MiB tmpfs in a temporary folder, unmounted when the test row ends.
class SmallDisk {
public:
    SmallDisk()
    {
        m_path = m_dir.filePath(QStringLiteral("disk"));
        QDir().mkpath(m_path);
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, "size=2m,mode=0755") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; }
    QString file(const QString &name) const { return m_path + u'/' + name; }

    // Makes every later write fail, leaves room for `room` bytes only, or makes `busy` a mount point.
    bool fail(Failure failure, qint64 room = 0, const QString &busy = {})
    {
        if (failure == Failure::TargetBusy) {
            const QString over = file(QStringLiteral(".over"));
            QFile::copy(busy, over);
            return ::mount(QFile::encodeName(over).constData(), QFile::encodeName(busy).constData(), nullptr, MS_BIND,
                       nullptr)
                == 0;
        }
        if (failure == Failure::ReadOnly)
            return ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr)
                == 0;
        const int fd =
            ::open(QFile::encodeName(file(QStringLiteral(".filler"))).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        qint64 size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
            if (n <= 0)
                break;
            size += n;
        }
        const bool full = errno == ENOSPC;
        // tmpfs counts whole pages: free as many as the room needs.
        const qint64 freed = (room + 4095) / 4096 * 4096;
        const bool ok = full && (freed == 0 || ::ftruncate(fd, size - freed) == 0);
        ::close(fd);
        return ok;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

// The program's windows with the program folder on the small disk; the dictionary, the code
// database and the segmenter come from the build.
struct Program : test::ContextFixture {
    SmallDisk &disk;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<frmFcTest> testWindow;

    explicit Program(SmallDisk &d)
        : ContextFixture({.folder = d.path(), .now = QDateTime(QDate(2026, 5, 4), QTime(14, 0, 0))}), disk(d)
    {
        ctx.endProgram = [](int) {};
        store = std::make_unique<SettingsStore>(disk.file(QStringLiteral("Tarvos2006.ini")));
        ctx.store = store.get();
        LoadUserSettings(*store, ctx.settings);
    }

    frmFcTest &openTestWindow()
    {
        testWindow = std::make_unique<frmFcTest>(ctx);
        if (!testWindow->Form_Load())
            qFatal("the test window did not load");
        testWindow->show();
        const QString file = disk.file(QStringLiteral("课文.txt"));
        putFile(file, kText.toUtf8());
        onNextModal([file](QWidget *w) {
            auto *dialog = qobject_cast<frmOpenFile *>(w);
            QVERIFY(dialog);
            dialog->loadFile(file);
            dialog->chkUseFilter->setChecked(false);
            dialog->cmdOpenFile_Click();
        });
        testWindow->mnuOpenTestFile->trigger();
        if (!test::lastModalHandled() || testWindow->mainText->toPlainText() != kText)
            qFatal("the text did not open");
        return *testWindow;
    }

    // Types the whole text; the result dialog that ends the test is closed.
    void runTest()
    {
        testWindow->CmdStartTest->click();
        onNextModal([](QWidget *w) {
            auto *dialog = qobject_cast<DlgResult *>(w);
            QVERIFY(dialog);
            dialog->cmdOk->click();
        });
        clock.advanceSeconds(40);
        QInputMethodEvent event;
        event.setCommitString(kText);
        QApplication::sendEvent(testWindow->tmpText, &event);
        QTRY_VERIFY(test::lastModalHandled());
    }

    void save(QAction *command, const QString &path)
    {
        prompts.files.enqueue(path);
        command->trigger();
    }
};

} // namespace

class TestWriteFailures : public QObject {
    Q_OBJECT
public:
    explicit TestWriteFailures(QString skipReason) : m_skipReason(std::move(skipReason)) { }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_skipReason.isEmpty())
            QSKIP(qPrintable(m_skipReason));
        SmallDisk probe;
        if (!probe.mounted())
            QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted: %1").arg(qt_error_string(errno))));
    }

    void oldFileKeptAndUserTold_data();
    void oldFileKeptAndUserTold();

private:
    QString m_skipReason;
};

void TestWriteFailures::oldFileKeptAndUserTold_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Failure>("failure");
    const QStringList files{
        QStringLiteral("statistics report"),
        QStringLiteral("segmentation result"),
        QStringLiteral("separated text"),
        QStringLiteral("example pair"),
        QStringLiteral("test snapshot"),
        QStringLiteral("filter list add"),
        QStringLiteral("filter list delete"),
        QStringLiteral("filter list cancel"),
        QStringLiteral("settings"),
        QStringLiteral("picture 101"),
        QStringLiteral("picture 102"),
        QStringLiteral("picture 103"),
    };
    for (const QString &file : files) {
        QTest::newRow(qPrintable(file + QStringLiteral(", full disk"))) << file << Failure::Full;
        QTest::newRow(qPrintable(file + QStringLiteral(", read-only disk"))) << file << Failure::ReadOnly;
    }
    QTest::newRow("first example, room for the main file only")
        << QStringLiteral("first example") << Failure::RoomForOneFile;
    // The main file is replaced first; when the mark file then cannot be, the main file is put
    // back as it was, or removed again on a first save.
    QTest::newRow("example pair, mark file cannot be replaced")
        << QStringLiteral("example pair") << Failure::TargetBusy;
    QTest::newRow("first example, mark file cannot be replaced")
        << QStringLiteral("first example") << Failure::TargetBusy;
}

void TestWriteFailures::oldFileKeptAndUserTold()
{
    QFETCH(QString, file);
    QFETCH(Failure, failure);
    SmallDisk disk;
    QVERIFY(disk.mounted());
    Program p(disk);
    const QString reason = systemErrorText(failure == Failure::ReadOnly ? EROFS
            : failure == Failure::TargetBusy                            ? EBUSY
                                                                        : ENOSPC);

    // What each file holds before the failing write, and the command that writes it.
    QMap<QString, QByteArray> before; // path -> old bytes; an empty value: no file before
    std::function<void()> write;
    std::function<void()> check = [] {};
    qint64 room = 0;
    QString busy;
    std::unique_ptr<frmDefFilter> filters;
    std::unique_ptr<frmOptions> options;
    std::unique_ptr<frmMain> mainWindow;
    const QString filterPath = p.ctx.folder.file(QStringLiteral("filter.dat"));
    const QByteArray gbList = gb18030(QStringLiteral("，      逗号\r\n。      句号\r\n"));

    if (file == QLatin1String("statistics report")) {
        frmFcTest &w = p.openTestWindow();
        p.runTest();
        const QString path = disk.file(QStringLiteral("报告.txt"));
        before[path] = "an older report";
        write = [&p, &w, path] { p.save(w.mnuStaSave, path); };
    } else if (file == QLatin1String("segmentation result")) {
        frmFcTest &w = p.openTestWindow();
        const QString path = disk.file(QStringLiteral("结果.fcr"));
        before[path] = "\"旧\"\r\n";
        write = [&p, &w, path] { p.save(w.mnuSaveTestFile, path); };
    } else if (file == QLatin1String("separated text")) {
        frmFcTest &w = p.openTestWindow();
        const QString path = disk.file(QStringLiteral("分词.txt"));
        before[path] = "an older text";
        write = [&p, &w, path] { p.save(w.mnuSaveResult, path); };
    } else if (file.endsWith(QLatin1String("example")) || file == QLatin1String("example pair")) {
        frmFcTest &w = p.openTestWindow();
        const QString path = disk.file(QStringLiteral("例文.sav"));
        const bool firstSave = file == QLatin1String("first example");
        before[path] = firstSave ? QByteArray() : QByteArray("{\\rtf1 older}");
        // A mark file to mount over must exist.
        const bool withMarks = !firstSave || failure == Failure::TargetBusy;
        before[auxiliaryPath(path)] = withMarks ? markFileBytes(QStringLiteral("0011")) : QByteArray();
        room = writeRtf(*w.mainText->document()).size();
        busy = auxiliaryPath(path);
        write = [&p, &w, path] { p.save(w.mnuSaveResult, path); };
    } else if (file == QLatin1String("test snapshot")) {
        frmFcTest &w = p.openTestWindow();
        const QString path = p.ctx.folder.file(QStringLiteral("temp.zh"));
        putFile(path, "{\\rtf1 a snapshot with older colours}");
        write = [&w] { w.CmdStartTest->click(); };
        // An older snapshot is not put back in place of the one that could not be taken: the
        // result dialog draws the text again instead. A read-only disk keeps it as it is.
        const QByteArray old = fileBytes(path);
        check = [path, old, failure] {
            if (failure == Failure::Full)
                QVERIFY(!QFile::exists(path));
            else
                QCOMPARE(fileBytes(path), old);
        };
    } else if (file.startsWith(QLatin1String("filter list"))) {
        before[filterPath] = gbList;
        putFile(filterPath, gbList);
        filters = std::make_unique<frmDefFilter>(p.ctx);
        QCOMPARE(filters->listofFilters->count(), 2);
        frmDefFilter *dlg = filters.get();
        if (file.endsWith(QLatin1String("add"))) {
            write = [dlg] {
                dlg->txtSymbol->setText(QStringLiteral("！"));
                dlg->txtSymbolSpe->setText(QStringLiteral("叹号"));
                dlg->cmdAddFilter->click();
            };
            check = [dlg] { QCOMPARE(dlg->listofFilters->count(), 2); };
        } else if (file.endsWith(QLatin1String("delete"))) {
            write = [dlg] {
                dlg->listofFilters->setCurrentRow(0);
                dlg->cmdDelFilter->click();
            };
            check = [dlg] { QCOMPARE(dlg->listofFilters->count(), 2); };
        } else {
            // A change made while the disk had room; restoring the backup then fails.
            dlg->listofFilters->setCurrentRow(0);
            dlg->cmdDelFilter->click();
            before[filterPath] = fileBytes(filterPath);
            QVERIFY(before[filterPath] != gbList);
            write = [dlg] { dlg->cmdCancel->click(); };
            // The dialog stays open, so that the cancel can be repeated.
            check = [dlg] { QCOMPARE(dlg->result(), 0); };
        }
    } else if (file == QLatin1String("settings")) {
        const QString path = p.store->fileName();
        before[path] = fileBytes(path);
        QVERIFY(!before[path].isEmpty());
        options = std::make_unique<frmOptions>(p.ctx, nullptr);
        frmOptions *dlg = options.get();
        const bool tips = p.ctx.settings.NeedShortCodeTips;
        write = [dlg, tips] {
            dlg->ckJmTips->setChecked(!tips);
            dlg->cmdOK->click();
        };
        // The changed option holds for this run, also when a window loads the settings again.
        check = [&p, tips] {
            QCOMPARE(p.ctx.settings.NeedShortCodeTips, !tips);
            UserSettings again;
            LoadUserSettings(*p.store, again);
            QCOMPARE(again.NeedShortCodeTips, !tips);
        };
    } else if (file.startsWith(QLatin1String("picture"))) {
        const QString path = p.ctx.folder.file(file.right(3) + QStringLiteral(".jpg"));
        before[path] = "an older picture";
        putFile(path, before[path]);
        mainWindow = std::make_unique<frmMain>(p.ctx);
        frmMain *w = mainWindow.get();
        write = [w] { QVERIFY(!w->Form_Load()); };
    } else {
        QFAIL("unknown file");
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!it.value().isEmpty())
            putFile(it.key(), it.value());
    }
    const qsizetype messagesBefore = p.prompts.messages.size();

    QVERIFY(disk.fail(failure, room, busy));
    const QDir::Filters files = QDir::Files | QDir::Hidden;
    const QStringList present = QDir(disk.path()).entryList(files);
    write();

    // No temporary file or kept copy is left behind.
    const QStringList after = QDir(disk.path()).entryList(files);
    for (const QString &name : after)
        QVERIFY2(present.contains(name), qPrintable(name));

    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.value().isEmpty())
            QVERIFY2(!QFile::exists(it.key()), qPrintable(it.key()));
        else
            QCOMPARE(fileBytes(it.key()), it.value());
    }
    check();
    QCOMPARE(p.prompts.messages.size(), messagesBefore + 1);
    const QString told = p.prompts.messages.last().text;
    QVERIFY2(told.contains(reason), qPrintable(told));
    // The message names the file that failed (for a pair, one of the two).
    bool named = false;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        named = named || told.contains(it.key());
    if (file == QLatin1String("test snapshot"))
        named = told.contains(QStringLiteral("temp.zh"));
    QVERIFY2(named, qPrintable(told));
}

int main(int argc, char *argv[])
{
    // Before QApplication, while the process has a single thread.
    const QString skipReason = enterOwnMountNamespace();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestWriteFailures test(skipReason);
    return QTest::qExec(&test, argc, argv);
}

#include "test_writefailures.moc"
