#include "settings/inifile.h"
#include "settings/settingsstore.h"
#include "settings/usersettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

const QByteArray kDefaultFile = QByteArrayLiteral("[用户设置]\r\n"
                                                  "交替颜色一=0\r\n"
                                                  "交替颜色二=16711680\r\n"
                                                  "正确文字颜色=65280\r\n"
                                                  "错误文字颜色=255\r\n"
                                                  "标点符号颜色=16711935\r\n"
                                                  "字母及数字颜色=16776960\r\n"
                                                  "需要简码提示=True\r\n"
                                                  "需要分词=True\r\n"
                                                  "是否自动打开输入法=True\r\n"
                                                  "是否限制时间=False\r\n"
                                                  "限制时间长度=5\r\n");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void firstRunWritesDefaultsInOrder();
    void storedValues_data();
    void storedValues();
    void writersStoreAndSetField();
    void iniRoundTrip_data();
    void iniRoundTrip();
    void iniReportsBadLines();
};

void TestSettings::firstRunWritesDefaultsInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tarvos2006.ini"));
    UserSettings s;
    {
        SettingsStore store(path);
        LoadUserSettings(store, s);
    }
    QCOMPARE(readAll(path), kDefaultFile);
    QCOMPARE(s.AltColor1, 0u);
    QCOMPARE(s.AltColor2, 16711680u);
    QCOMPARE(s.RightColor, 65280u);
    QCOMPARE(s.ErrorColor, 255u);
    QCOMPARE(s.SymbolColor, 16711935u);
    QCOMPARE(s.AlphaColor, 16776960u);
    QVERIFY(s.NeedShortCodeTips && s.NeedSegmentation && s.AutoOpenIme && !s.LimitTime);
    QCOMPARE(s.LimitMinutes, 5);
    QVERIFY(DefaultUserSettings() == s); // the record of a first run without a store
}

// One key is preset in the file; loading must keep or fill it as the rules say.
void TestSettings::storedValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("afterLoad"); // text in the file after loading
    QTest::addColumn<QString>("field");     // which field to check
    QTest::addColumn<qlonglong>("expected");

    QTest::newRow("empty value gets its default") << "交替颜色二"
                                                  << ""
                                                  << "16711680"
                                                  << "AltColor2" << 16711680LL;
    QTest::newRow("stored 0 stays black") << "交替颜色一"
                                          << "0"
                                          << "0"
                                          << "AltColor1" << 0LL;
    QTest::newRow("negative colour is its 32-bit value") << "错误文字颜色"
                                                         << "-1"
                                                         << "-1"
                                                         << "ErrorColor" << 4294967295LL;
    QTest::newRow("letters in a colour: default, not rewritten") << "正确文字颜色"
                                                                 << "green"
                                                                 << "green"
                                                                 << "RightColor" << 65280LL;
    QTest::newRow("switch False") << "需要分词"
                                  << "False"
                                  << "False"
                                  << "NeedSegmentation" << 0LL;
    QTest::newRow("switch -1 is true") << "是否限制时间"
                                       << "-1"
                                       << "-1"
                                       << "LimitTime" << 1LL;
    QTest::newRow("switch 0 is false") << "需要简码提示"
                                       << "0"
                                       << "0"
                                       << "NeedShortCodeTips" << 0LL;
    QTest::newRow("switch lower case") << "是否限制时间"
                                       << "true"
                                       << "true"
                                       << "LimitTime" << 1LL;
    QTest::newRow("switch garbage: default") << "是否自动打开输入法"
                                             << "yes please"
                                             << "yes please"
                                             << "AutoOpenIme" << 1LL;
    QTest::newRow("minutes") << "限制时间长度"
                             << "30"
                             << "30"
                             << "LimitMinutes" << 30LL;
    QTest::newRow("minutes beyond 16 bits: default") << "限制时间长度"
                                                     << "70000"
                                                     << "70000"
                                                     << "LimitMinutes" << 5LL;
    // A limit the options dialog refuses would give a countdown that never ends (0 or below) or
    // that the dialog could not show again: the default, the file left as it is.
    QTest::newRow("minutes 0: default") << "限制时间长度"
                                        << "0"
                                        << "0"
                                        << "LimitMinutes" << 5LL;
    QTest::newRow("negative minutes: default") << "限制时间长度"
                                               << "-3"
                                               << "-3"
                                               << "LimitMinutes" << 5LL;
    QTest::newRow("minutes below 5: default") << "限制时间长度"
                                              << "4"
                                              << "4"
                                              << "LimitMinutes" << 5LL;
    QTest::newRow("minutes 99 is kept") << "限制时间长度"
                                        << "99"
                                        << "99"
                                        << "LimitMinutes" << 99LL;
    QTest::newRow("minutes above 99: default") << "限制时间长度"
                                               << "100"
                                               << "100"
                                               << "LimitMinutes" << 5LL;
}

void TestSettings::storedValues()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, afterLoad);
    QFETCH(QString, field);
    QFETCH(qlonglong, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    writeAll(path, QStringLiteral("[用户设置]\r\n%1=%2\r\n").arg(key, stored).toUtf8());
    UserSettings s;
    {
        SettingsStore store(path);
        LoadUserSettings(store, s);
        QCOMPARE(store.read(key), afterLoad);
    }
    const QMap<QString, qlonglong> fields{{"AltColor1", s.AltColor1}, {"AltColor2", s.AltColor2},
        {"RightColor", s.RightColor}, {"ErrorColor", s.ErrorColor}, {"NeedSegmentation", s.NeedSegmentation},
        {"NeedShortCodeTips", s.NeedShortCodeTips}, {"AutoOpenIme", s.AutoOpenIme}, {"LimitTime", s.LimitTime},
        {"LimitMinutes", s.LimitMinutes}};
    QVERIFY(fields.contains(field));
    QCOMPARE(fields.value(field), expected);
    // Every other key was filled in.
    const QByteArray file = readAll(path);
    QCOMPARE(file.count("\r\n"), 12);
}

void TestSettings::writersStoreAndSetField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    UserSettings s;
    {
        SettingsStore store(path);
        LoadUserSettings(store, s);
        StoreColor(store, s, SettingKey::AltColor2, 0x123456);
        StoreSwitch(store, s, SettingKey::LimitTime, true);
        StoreLimitMinutes(store, s, QStringLiteral("30"));
    }
    QCOMPARE(s.AltColor2, 0x123456u);
    QVERIFY(s.LimitTime);
    QCOMPARE(s.LimitMinutes, 30);
    UserSettings again;
    SettingsStore store(path);
    LoadUserSettings(store, again);
    QCOMPARE(again.AltColor2, 0x123456u);
    QVERIFY(again.LimitTime);
    QCOMPARE(again.LimitMinutes, 30);
    QCOMPARE(store.read(QStringLiteral("交替颜色二")), QString::number(0x123456));
    // The order of the file survives rewriting.
    const QByteArray file = readAll(path);
    QVERIFY(file.indexOf("交替颜色一") < file.indexOf("交替颜色二"));
    QVERIFY(file.indexOf("是否限制时间") < file.indexOf("限制时间长度"));
}

void TestSettings::iniRoundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "组/键"
                           << "值";
    QTest::newRow("equals and backslash") << "g/a=b\\c"
                                          << "x=y\\z";
    QTest::newRow("line breaks") << "g/k"
                                 << "one\r\ntwo\nthree";
    QTest::newRow("blanks at the ends") << "g/ k "
                                        << "  v  ";
    QTest::newRow("comment characters") << "g/;k#"
                                        << "; not a comment # either";
    QTest::newRow("no section") << "top"
                                << "level";
    QTest::newRow("slash in name") << "g/a/b"
                                   << "c";
    QTest::newRow("leading slash, no section") << "/L"
                                               << "";
    QTest::newRow("trailing slash") << "节/"
                                    << "0";
    QTest::newRow("a lone blank-like value") << "g/k"
                                             << "\v";
    QTest::newRow("section ending in a blank") << "a /k"
                                               << "v";
    QTest::newRow("byte-order mark as a name") << QString(QChar(0xFEFF)) << "5";
}

void TestSettings::iniRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray bytes = writeIni({{key, value}, {QStringLiteral("g/after"), QStringLiteral("1")}});
    const IniParseResult parsed = parseIni(bytes);
    QVERIFY2(parsed.warnings.isEmpty(), qPrintable(parsed.warnings.join('\n')));
    QCOMPARE(parsed.entries.size(), 2);
    QCOMPARE(parsed.entries[0].key, key);
    QCOMPARE(parsed.entries[0].value, value);
}

void TestSettings::iniReportsBadLines()
{
    const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF; comment\n[用户设置\nno separator\n[用户设置]\n"
                                               "=empty key\n 交替颜色一 = 7 \nk=1\nk=2\n");
    const IniParseResult parsed = parseIni(bytes);
    QCOMPARE(parsed.warnings.size(), 3);
    QVERIFY(parsed.warnings[0].startsWith(QLatin1String("line 2:")));
    QCOMPARE(parsed.entries.size(), 2);
    QCOMPARE(parsed.entries[0].key, QStringLiteral("用户设置/交替颜色一"));
    QCOMPARE(parsed.entries[0].value, QStringLiteral("7"));
    QCOMPARE(parsed.entries[1].value, QStringLiteral("2"));

    // GB18030 written by hand on a Chinese system.
    const QByteArray gb =
        QByteArrayLiteral("[\xD3\xC3\xBB\xA7\xC9\xE8\xD6\xC3]\r\n\xD0\xE8\xD2\xAA\xB7\xD6\xB4\xCA=False\r\n");
    const IniParseResult fromGb = parseIni(gb);
    QCOMPARE(fromGb.entries.size(), 1);
    QCOMPARE(fromGb.entries[0].key, QStringLiteral("用户设置/需要分词"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
