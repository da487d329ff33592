// make_imetable.py run on the real jtdb.dat, as the install script runs it: the fcitx5 text table,
// its input method config, the binary dictionary (when libime_tabledict is installed), the ibus
// source table, and how bad custom words and a missing database are handled.
#include "orvane/codes/customdict.h"

#include <algorithm>
#include <csignal>
#include <limits>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kDb = QStringLiteral(ORVANE_TEST_DATA_DIR "/jtdb.dat");
const QString kGenerator = QStringLiteral(ORVANE_SOURCE_DIR "/tools/imetable/make_imetable.py");
const QString kInstaller = QStringLiteral(ORVANE_SOURCE_DIR "/tools/imetable/install-orvane-ime.sh");

struct Run {
    int exitCode = -1;
    QString err;
};

// The interpreter itself, not a launcher script on PATH (such as a pyenv shim), so that it
// runs with a PATH that hides the table compilers.
QString python()
{
    static const QString path = [] {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (found.isEmpty())
            return QString();
        QProcess p;
        p.start(found, {QStringLiteral("-c"), QStringLiteral("import sys; print(sys.executable)")});
        p.waitForFinished(20000);
        const QString exe = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        return exe.isEmpty() ? found : exe;
    }();
    return path;
}

// Runs the generator; withTools false hides libime_tabledict and ibus-table-createdb from it.
Run generate(const QStringList &args, bool withTools = true)
{
    const QString python = ::python();
    if (python.isEmpty())
        return {-1, QStringLiteral("python3 not found")};
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!withTools)
        env.insert(QStringLiteral("PATH"), QStringLiteral("/nonexistent"));
    p.setProcessEnvironment(env);
    p.start(python, QStringList{kGenerator} + args);
    if (!p.waitForFinished(50000)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("generator timed out")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Keys of an ini group, e.g. "[Table/Selection]" -> its values in file order.
QStringList iniGroup(const QStringList &lines, const QString &group)
{
    QStringList values;
    bool in = false;
    for (const QString &l : lines) {
        if (l.startsWith(u'[')) {
            in = (l == u'[' + group + u']');
            continue;
        }
        if (in && l.contains(u'='))
            values << l.section(u'=', 1);
    }
    return values;
}

const char kCustom[] = "测试词\t123\n"                     // line 1: good, two fields
                       "坏行没有制表符\n"                  // line 2: no tab
                       "好词\t99999\t其它\t来自分词软件\n" // line 3: good, four fields
                       "坏码\t12a\n"                       // line 4: code not digits
                       "\xff\xfe\t12\n"                    // line 5: not UTF-8
                       "太长\t1234567\n"                   // line 6: code too long
                       "有 空格\t321\n"                    // line 7: blank in word
                       "三段\t55\t其它\n"                  // line 8: three fields
                       "\t44\n";                           // line 9: empty word

// Words on which the table generator and the custom dictionary must agree, each under its own
// code 9000nn (nn its row).
QStringList ruleCases()
{
    return {QStringLiteral("风光"), QStringLiteral("中"), QStringLiteral("，。！"), QStringLiteral("A1中文"),
        QStringLiteral("中\u00A0文"), QStringLiteral("中\u200B文"), QStringLiteral("中\uE000文"),
        QStringLiteral("二〇"), QStringLiteral("\U00020000中"), QStringLiteral("豈㐀"), QStringLiteral("１９年"),
        QString(32, QChar(0x5C71)), QString(33, QChar(0x6C34)), QStringLiteral("中文\u3000")};
}

QStringList entriesOf(const QStringList &table, const QString &code)
{
    QStringList words;
    for (const QString &l : table) {
        if (l.startsWith(code + u' '))
            words << l.mid(code.size() + 1);
    }
    return words;
}
} // namespace

class TestImeTable : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_out;
    Run m_run;
    QStringList m_table;                  // fcitx5 text table
    QHash<QString, QStringList> m_byCode; // code -> words, in table order

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(kDb));
        QVERIFY(m_dir.isValid());
        QFile custom(m_dir.filePath(QStringLiteral("custom-words.txt")));
        QVERIFY(custom.open(QIODevice::WriteOnly));
        custom.write(kCustom);
        custom.close();
        m_out = m_dir.filePath(QStringLiteral("out"));
        m_run = generate({QStringLiteral("--db"), kDb, QStringLiteral("--custom"), custom.fileName(),
            QStringLiteral("--out-dir"), m_out, QStringLiteral("--fcitx5")});
        QVERIFY2(m_run.exitCode == 0, qPrintable(m_run.err));
        m_table = readLines(m_out + QStringLiteral("/orvane-fcitx5.txt"));
        const qsizetype data = m_table.indexOf(QStringLiteral("[Data]"));
        QVERIFY(data > 0);
        for (qsizetype i = data + 1; i < m_table.size(); ++i) {
            const QString &l = m_table[i];
            const qsizetype sp = l.indexOf(u' ');
            m_byCode[l.left(sp)] << l.mid(sp + 1);
        }
    }

    void header_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("key code") << QStringLiteral("KeyCode=0123456789");
        QTest::newRow("length") << QStringLiteral("Length=6");
    }
    void header()
    {
        QFETCH(QString, line);
        const qsizetype at = m_table.indexOf(line);
        QVERIFY2(at >= 0, qPrintable(line));
        QVERIFY(at < m_table.indexOf(QStringLiteral("[Data]")));
    }

    // Every entry is "code word" with a code of 1-6 digits and a word without blanks: anything
    // else makes libime_tabledict reject the table or file the word under a wrong code.
    void entriesWellFormed()
    {
        static const QRegularExpression entry(QStringLiteral("^[0-9]{1,6} \\S+$"));
        const qsizetype data = m_table.indexOf(QStringLiteral("[Data]"));
        QVERIFY(m_table.size() - data > 400000);
        for (qsizetype i = data + 1; i < m_table.size(); ++i)
            QVERIFY2(entry.match(m_table[i]).hasMatch(),
                qPrintable(QString::number(i + 1) + QStringLiteral(": ") + m_table[i]));
    }

    // 中 under its standard code and under every short code the database gives it; custom
    // words under their own codes, ahead of the database items of that code.
    void entries_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("first");
        QTest::newRow("中 standard") << QStringLiteral("500064") << QStringLiteral("中") << false;
        QTest::newRow("custom, two fields") << QStringLiteral("123") << QStringLiteral("测试词") << true;
        QTest::newRow("custom, four fields") << QStringLiteral("99999") << QStringLiteral("好词") << true;

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("entries"));
        db.setDatabaseName(kDb);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT jm1, jm2 FROM jtzi WHERE hz = '中'")));
            QVERIFY(q.next());
            int shorts = 0;
            for (int c = 0; c < 2; ++c) {
                const QString jm = q.value(c).toString().trimmed();
                if (!jm.isEmpty()) {
                    QTest::addRow("中 short %s", qPrintable(jm)) << jm << QStringLiteral("中") << false;
                    ++shorts;
                }
            }
            QVERIFY2(shorts > 0, "中 has no short code in jtdb.dat");
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("entries"));
    }
    void entries()
    {
        QFETCH(QString, code);
        QFETCH(QString, word);
        QFETCH(bool, first);
        const QStringList words = m_byCode.value(code);
        QVERIFY2(words.contains(word), qPrintable(code + QStringLiteral(": ") + words.mid(0, 10).join(u',')));
        if (first)
            QCOMPARE(words.first(), word);
    }

    // Under every code the database items come most frequent first.
    void orderedByFrequency()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("freq"));
        db.setDatabaseName(kDb);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        QHash<QString, qint64> freq;
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT hz, freq FROM jtzi UNION ALL SELECT hz, freq FROM jtci")));
            while (q.next()) {
                qint64 &f = freq[q.value(0).toString()];
                f = std::max(f, q.value(1).toLongLong());
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("freq"));
        QVERIFY(!freq.isEmpty());
        int multi = 0;
        for (auto it = m_byCode.cbegin(); it != m_byCode.cend(); ++it) {
            qint64 previous = std::numeric_limits<qint64>::max();
            for (const QString &w : it.value()) {
                if (w == QStringLiteral("测试词") || w == QStringLiteral("好词"))
                    continue;
                const qint64 f = freq.value(w, -1);
                QVERIFY2(f >= 0, qPrintable(w + QStringLiteral(" is in the table but not in the database")));
                QVERIFY2(f <= previous,
                    qPrintable(it.key() + QStringLiteral(": ") + w + QStringLiteral(" after a less frequent item")));
                previous = f;
            }
            multi += it.value().size() > 1;
        }
        QVERIFY(multi > 0);
    }

    // Each bad line is named with its line number on stderr and leaves nothing in the table.
    void badCustomLines_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("code");
        QTest::newRow("no tab") << 2 << QString();
        QTest::newRow("code with a letter") << 4 << QStringLiteral("12a");
        QTest::newRow("not UTF-8") << 5 << QStringLiteral("12");
        QTest::newRow("code of seven digits") << 6 << QStringLiteral("1234567");
        QTest::newRow("blank in the word") << 7 << QStringLiteral("321");
        QTest::newRow("three fields") << 8 << QStringLiteral("55");
        QTest::newRow("empty word") << 9 << QStringLiteral("44");
    }
    void badCustomLines()
    {
        QFETCH(int, line);
        QFETCH(QString, code);
        QVERIFY2(m_run.err.contains(QStringLiteral("custom-words.txt:%1:").arg(line)), qPrintable(m_run.err));
        const QString word = QString::fromUtf8(QByteArray(kCustom).split('\n').at(line - 1)).section(u'\t', 0, 0);
        for (const QString &w : m_byCode.value(code))
            QVERIFY2(w != word, qPrintable(code + QStringLiteral(" ") + w));
        QVERIFY(!m_run.err.contains(QStringLiteral("custom-words.txt:1:")));
        QVERIFY(!m_run.err.contains(QStringLiteral("custom-words.txt:3:")));
    }

    // The fcitx5 config names the method and its table, and no candidate key is a digit: a
    // digit continues the code.
    void inputMethodConfig()
    {
        const QStringList conf = readLines(m_out + QStringLiteral("/inputmethod/orvane.conf"));
        for (const char *line :
            {"Name=Orvane输入法2011版", "Addon=table", "LangCode=zh_CN", "File=table/orvane.main.dict"})
            QVERIFY2(conf.contains(QString::fromUtf8(line)), line);
        const QStringList selection = iniGroup(conf, QStringLiteral("Table/Selection"));
        QCOMPARE(selection.size(), 10);
        QStringList keys = selection + iniGroup(conf, QStringLiteral("Table/SecondCandidate"))
            + iniGroup(conf, QStringLiteral("Table/ThirdCandidate"));
        static const QRegularExpression digit(QStringLiteral("^(KP_)?[0-9]$"));
        for (const QString &k : keys)
            QVERIFY2(!digit.match(k).hasMatch(), qPrintable(k));
    }

    // The binary dictionary is made and reads back with the entries of the text table.
    void binaryDictionary()
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("libime_tabledict"));
        if (tool.isEmpty())
            QSKIP("libime_tabledict not installed (libime-bin)");
        const QString dict = m_out + QStringLiteral("/table/orvane.main.dict");
        QVERIFY(QFileInfo(dict).size() > 0);
        QVERIFY(!QFile::exists(dict + QStringLiteral(".tmp")));
        const QString dump = m_dir.filePath(QStringLiteral("dump.txt"));
        QProcess p;
        p.start(tool, {QStringLiteral("-d"), dict, dump});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = readLines(dump);
        QVERIFY(lines.contains(QStringLiteral("500064 中")));
        QVERIFY(lines.contains(QStringLiteral("123 测试词")));
    }

    // Without the table compilers the text tables are still made, and the run says what is
    // missing; the ibus source carries its header.
    void withoutTools()
    {
        const QString out = m_dir.filePath(QStringLiteral("notools"));
        const Run r = generate({QStringLiteral("--db"), kDb, QStringLiteral("--out-dir"), out}, false);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("libime_tabledict not found")));
        QVERIFY(!QFile::exists(out + QStringLiteral("/table/orvane.main.dict")));
        QVERIFY(QFile::exists(out + QStringLiteral("/orvane-fcitx5.txt")));
        const QStringList ibus = readLines(out + QStringLiteral("/orvane-ibus.txt"));
        for (const char *line : {"SCIM_Generic_Table_Phrase_Library_TEXT", "NAME = Orvane输入法2011版",
                 "LANGUAGES = zh_CN", "VALID_INPUT_CHARS = 0123456789", "MAX_KEY_LENGTH = 6",
                 "SELECT_KEYS = F1,semicolon,apostrophe,F4,F5,F6,F7,F8,F9,F10", "COMMIT_KEYS = space",
                 "AUTO_COMMIT = TRUE", "AUTO_SELECT = FALSE", "AUTO_WILDCARD = TRUE", "BEGIN_TABLE",
                 "END_TABLE"})
            QVERIFY2(ibus.contains(QString::fromUtf8(line)), line);
        static const QRegularExpression zhong(QStringLiteral("^500064\t中\t[0-9]+$"));
        QVERIFY(!ibus.filter(zhong).isEmpty());
    }

    // A word is in the table exactly when the program takes it as a custom word.
    void customWordRuleAgrees()
    {
        QFile custom(m_dir.filePath(QStringLiteral("rule-words.txt")));
        QVERIFY(custom.open(QIODevice::WriteOnly));
        const QStringList words = ruleCases();
        for (int i = 0; i < words.size(); ++i)
            custom.write((words[i] + QStringLiteral("\t9000%1\n").arg(i, 2, 10, QChar(u'0'))).toUtf8());
        custom.close();
        const QString out = m_dir.filePath(QStringLiteral("rule"));
        const Run r = generate({QStringLiteral("--db"), kDb, QStringLiteral("--custom"), custom.fileName(),
                                   QStringLiteral("--out-dir"), out, QStringLiteral("--fcitx5")},
            false);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList table = readLines(out + QStringLiteral("/orvane-fcitx5.txt"));
        for (int i = 0; i < words.size(); ++i) {
            const std::u16string w(reinterpret_cast<const char16_t *>(words[i].utf16()), words[i].size());
            const bool inTable =
                entriesOf(table, QStringLiteral("9000%1").arg(i, 2, 10, QChar(u'0'))).contains(words[i]);
            QVERIFY2(inTable == orvane::codes::CustomDictionary::isValidWord(w), qPrintable(words[i]));
            // Each word left out is reported with its line.
            QCOMPARE(r.err.contains(QStringLiteral("rule-words.txt:%1:").arg(i + 1)), !inTable);
        }
    }

    // The database path goes into an SQLite URI: '#', '?' and '%' in it are not read as URI syntax.
    void databasePathWithUriCharacters()
    {
        const QString folder = m_dir.filePath(QStringLiteral("a#b?c%41 d"));
        QVERIFY(QDir().mkpath(folder));
        const QString db = folder + QStringLiteral("/j%20t#db?.dat");
        QVERIFY(QFile::copy(kDb, db));
        const QString out = m_dir.filePath(QStringLiteral("uri"));
        const Run r =
            generate({QStringLiteral("--db"), db, QStringLiteral("--out-dir"), out, QStringLiteral("--fcitx5")}, false);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        // The whole database was read: the table of initTestCase without its two custom words.
        const QStringList table = readLines(out + QStringLiteral("/orvane-fcitx5.txt"));
        QVERIFY(table.contains(QStringLiteral("500064 中")));
        QCOMPARE(table.size(), m_table.size() - 2);
    }

    // An install killed half way leaves its work folder; the next install removes it.
    void killedInstallIsCleanedUp()
    {
        QTemporaryDir home;
        const QString state = home.filePath(QStringLiteral("data/orvane-tutor"));
        auto start = [&](QProcess &p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("HOME"), home.path());
            env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
            p.setProcessEnvironment(env);
            // Its own process group, so that the whole install can be killed as a user's session would.
            p.setChildProcessModifier([] { ::setpgid(0, 0); });
            p.start(QStringLiteral("/bin/sh"), {kInstaller, QStringLiteral("--fcitx5"), QStringLiteral("--db"), kDb});
            QVERIFY(p.waitForStarted());
        };
        auto buildFolders = [&] {
            return QDir(state).entryList({QStringLiteral("ime-build.*")}, QDir::Dirs | QDir::Hidden);
        };
        QProcess first;
        start(first);
        QDeadlineTimer deadline(30000);
        while (buildFolders().isEmpty() && first.state() == QProcess::Running && !deadline.hasExpired())
            QTest::qWait(5);
        QVERIFY2(!buildFolders().isEmpty(), "the install made no work folder");
        ::kill(-pid_t(first.processId()), SIGKILL);
        first.waitForFinished();
        QCOMPARE(buildFolders().size(), 1);

        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(120000));
        QCOMPARE(buildFolders(), QStringList());
    }

    // Inputs that cannot be used end the run with a message and status 1, never a traceback.
    void unusableInput_data()
    {
        QTest::addColumn<QString>("db");
        QTest::addColumn<QString>("custom");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString garbage = QStringLiteral("garbage.dat");
        QTest::newRow("missing database")
            << QStringLiteral("none.dat") << QString() << 1 << QStringLiteral("cannot read the code database");
        QTest::newRow("database not SQLite")
            << garbage << QString() << 1 << QStringLiteral("cannot read the code database");
        QTest::newRow("missing custom words")
            << QString() << QStringLiteral("none.txt") << 0 << QStringLiteral("cannot read custom words");
    }
    void unusableInput()
    {
        QFETCH(QString, db);
        QFETCH(QString, custom);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFile g(m_dir.filePath(QStringLiteral("garbage.dat")));
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write("not a database\n");
        g.close();
        QStringList args{QStringLiteral("--db"), db.isEmpty() ? kDb : m_dir.filePath(db), QStringLiteral("--out-dir"),
            m_dir.filePath(QStringLiteral("unusable")), QStringLiteral("--ibus")};
        if (!custom.isEmpty())
            args << QStringLiteral("--custom") << m_dir.filePath(custom);
        const Run r = generate(args, false);
        QCOMPARE(r.exitCode, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("Traceback")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestImeTable)
#include "test_imetable.moc"
