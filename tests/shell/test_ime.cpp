#include "scriptedprompts.h"
#include "shell/ime.h"
#include "shell/imeproviders.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using orvane::test::ScriptedPrompts;

namespace {

class ScriptedProvider final : public InputMethodProvider {
public:
    QString kind() const override { return QStringLiteral("scripted"); }
    std::optional<QList<InputMethodEntry>> list() override { return methods; }
    bool activate(const QString &id) override
    {
        calls << QStringLiteral("on:") + id;
        return true;
    }
    bool deactivate() override
    {
        calls << QStringLiteral("off");
        return true;
    }
    std::optional<QList<InputMethodEntry>> methods;
    QStringList calls;
};

const QString kWarning = QStringLiteral("本计算机未安装Orvane输入法2011简体版，\r\n本软件大部分功能无法正常使用！");

} // namespace

class TestIme : public QObject {
    Q_OBJECT
private slots:
    void detect_data();
    void detect();
    void unreadableListStaysSilent();
    void switching();
    void ibusEngineList();
    void sessionFramework_data();
    void sessionFramework();
    void chooseFramework_data();
    void chooseFramework();
    void realFcitx5();
    void realIbusSwitching_data();
    void realIbusSwitching();
    void realIbusListsInstalledTable();
};

void TestIme::detect_data()
{
    QTest::addColumn<QStringList>("names"); // display names, identifiers are "id0", "id1", ...
    QTest::addColumn<QString>("imeLayout");
    QTest::addColumn<bool>("warned");

    QTest::newRow("found") << QStringList{"Keyboard - English (US)", "Orvane输入法2011版"} << "id1" << false;
    QTest::newRow("two matches: the first wins")
        << QStringList{"Orvane输入法2011版", "x", "Orvane输入法2011版"} << "id0" << false;
    QTest::newRow("a near name does not match") << QStringList{"Orvane输入法2011简体版"} << "" << true;
    QTest::newRow("trailing blank does not match") << QStringList{"Orvane输入法2011版 "} << "" << true;
    QTest::newRow("letter case matters") << QStringList{"orvane输入法2011版"} << "" << true;
    QTest::newRow("empty list") << QStringList{} << "" << true;
}

void TestIme::detect()
{
    QFETCH(QStringList, names);
    QFETCH(QString, imeLayout);
    QFETCH(bool, warned);

    ScriptedProvider provider;
    QList<InputMethodEntry> methods;
    for (int i = 0; i < names.size(); ++i)
        methods.append({QStringLiteral("id%1").arg(i), names[i]});
    provider.methods = methods;
    ScriptedPrompts prompts;
    ImeState state;
    DetectIme(state, provider, prompts);

    QCOMPARE(state.ImeLayout, imeLayout);
    QCOMPARE(state.EnglishLayout, QStringLiteral("00000409")); // set with or without a match
    QCOMPARE(prompts.messages.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(prompts.messages[0].text, kWarning);
        QCOMPARE(prompts.messages[0].title, QStringLiteral("Orvane输入法2011简体版"));
        QCOMPARE(prompts.messages[0].icon, MessageIcon::Critical);
    }
}

void TestIme::unreadableListStaysSilent()
{
    ScriptedProvider provider; // list() gives nullopt
    ScriptedPrompts prompts;
    ImeState state;
    DetectIme(state, provider, prompts);
    QVERIFY(prompts.messages.isEmpty());
    QVERIFY(state.ImeLayout.isEmpty());
    QVERIFY(state.EnglishLayout.isEmpty());
    SwitchImeOn(state, provider);
    SwitchImeOff(state, provider);
    QVERIFY(provider.calls.isEmpty());
}

void TestIme::switching()
{
    ScriptedProvider provider;
    ScriptedPrompts prompts;

    provider.methods = QList<InputMethodEntry>{{QStringLiteral("table-orvane"), QStringLiteral("Orvane输入法2011版")}};
    ImeState found;
    DetectIme(found, provider, prompts);
    SwitchImeOn(found, provider);
    SwitchImeOff(found, provider);
    QCOMPARE(provider.calls, (QStringList{"on:table-orvane", "off"}));

    // Without the input method, switching on does nothing but switching off still works.
    provider.calls.clear();
    provider.methods = QList<InputMethodEntry>{};
    ImeState missing;
    DetectIme(missing, provider, prompts);
    SwitchImeOn(missing, provider);
    SwitchImeOff(missing, provider);
    QCOMPARE(provider.calls, QStringList{"off"});
}

void TestIme::ibusEngineList()
{
    const QString out = QStringLiteral("language: Chinese\n  pinyin - 拼音\n  table:orvane - Orvane输入法2011版\n"
                                       "language: English\n  xkb:us::eng - English (US)\n  broken line\n");
    const QList<InputMethodEntry> engines = IbusProvider::parseEngineList(out);
    QCOMPARE(engines.size(), 3);
    QCOMPARE(engines[1].id, QStringLiteral("table:orvane"));
    QCOMPARE(engines[1].name, QStringLiteral("Orvane输入法2011版"));
}

void TestIme::sessionFramework_data()
{
    QTest::addColumn<QString>("qt");
    QTest::addColumn<QString>("gtk");
    QTest::addColumn<QString>("xmodifiers");
    QTest::addColumn<ImeFramework>("expected");

    QTest::newRow("nothing set") << ""
                                 << ""
                                 << "" << ImeFramework::None;
    QTest::newRow("Qt module ibus") << "ibus"
                                    << ""
                                    << "" << ImeFramework::Ibus;
    QTest::newRow("Qt module fcitx") << "fcitx"
                                     << "ibus"
                                     << "@im=ibus" << ImeFramework::Fcitx5;
    QTest::newRow("Qt module fcitx5") << "fcitx5"
                                      << ""
                                      << "" << ImeFramework::Fcitx5;
    QTest::newRow("Qt module wins over GTK") << "ibus"
                                             << "fcitx"
                                             << "" << ImeFramework::Ibus;
    QTest::newRow("an unknown Qt module names none") << "xim"
                                                     << "ibus"
                                                     << "@im=ibus" << ImeFramework::None;
    QTest::newRow("GTK module when Qt's is unset") << ""
                                                   << "ibus"
                                                   << "@im=fcitx" << ImeFramework::Ibus;
    QTest::newRow("blank modules are unset") << " "
                                             << ""
                                             << "@im=ibus" << ImeFramework::Ibus;
    QTest::newRow("XMODIFIERS fcitx") << ""
                                      << ""
                                      << "@im=fcitx" << ImeFramework::Fcitx5;
    QTest::newRow("XMODIFIERS among others") << ""
                                             << ""
                                             << "@foo=1 @im=ibus" << ImeFramework::Ibus;
    QTest::newRow("XMODIFIERS none") << ""
                                     << ""
                                     << "@im=none" << ImeFramework::None;
    QTest::newRow("XMODIFIERS empty name") << ""
                                           << ""
                                           << "@im=" << ImeFramework::None;
    QTest::newRow("letter case") << "IBus"
                                 << ""
                                 << "" << ImeFramework::Ibus;
}

void TestIme::sessionFramework()
{
    QFETCH(QString, qt);
    QFETCH(QString, gtk);
    QFETCH(QString, xmodifiers);
    QFETCH(ImeFramework, expected);
    QCOMPARE(sessionImeFramework(qt, gtk, xmodifiers), expected);
}

void TestIme::chooseFramework_data()
{
    QTest::addColumn<ImeFramework>("session");
    QTest::addColumn<bool>("fcitx5");
    QTest::addColumn<bool>("ibus");
    QTest::addColumn<ImeFramework>("expected");

    QTest::newRow("neither runs") << ImeFramework::Ibus << false << false << ImeFramework::None;
    QTest::newRow("both run, session ibus") << ImeFramework::Ibus << true << true << ImeFramework::Ibus;
    QTest::newRow("both run, session fcitx5") << ImeFramework::Fcitx5 << true << true << ImeFramework::Fcitx5;
    QTest::newRow("both run, no session choice: fcitx5") << ImeFramework::None << true << true << ImeFramework::Fcitx5;
    QTest::newRow("session's framework not running") << ImeFramework::Ibus << true << false << ImeFramework::Fcitx5;
    QTest::newRow("session fcitx5 not running") << ImeFramework::Fcitx5 << false << true << ImeFramework::Ibus;
    QTest::newRow("only ibus runs") << ImeFramework::None << false << true << ImeFramework::Ibus;
}

void TestIme::chooseFramework()
{
    QFETCH(ImeFramework, session);
    QFETCH(bool, fcitx5);
    QFETCH(bool, ibus);
    QFETCH(ImeFramework, expected);
    QCOMPARE(chooseImeFramework(session, fcitx5, ibus), expected);
}

// Runs only inside with-fcitx5.sh (ORVANE_EXPECT_FCITX5=1): the provider against a real fcitx5.
void TestIme::realFcitx5()
{
    if (qEnvironmentVariableIntValue("ORVANE_EXPECT_FCITX5") != 1)
        QSKIP("needs a running fcitx5 (run through with-fcitx5.sh)");
    QVERIFY(Fcitx5Provider::isRunning());
    std::unique_ptr<InputMethodProvider> provider = makeInputMethodProvider();
    QCOMPARE(provider->kind(), QStringLiteral("fcitx5"));

    const std::optional<QList<InputMethodEntry>> methods = provider->list();
    QVERIFY(methods.has_value());
    QVERIFY2(methods->size() > 100, qPrintable(QString::number(methods->size())));
    const auto us = std::find_if(methods->cbegin(), methods->cend(),
        [](const InputMethodEntry &m) { return m.id == QLatin1String("keyboard-us"); });
    QVERIFY(us != methods->cend());
    QVERIFY(!us->name.isEmpty());

    QVERIFY(provider->activate(QStringLiteral("keyboard-us")));
    QVERIFY(provider->deactivate());

    // Refreshing adds an input method to the current group, once.
    QVERIFY(provider->refresh(QStringLiteral("keyboard-de")));
    QVERIFY(provider->refresh(QStringLiteral("keyboard-de")));
    QVERIFY(provider->activate(QStringLiteral("keyboard-de")));

    ScriptedPrompts prompts;
    ImeState state;
    DetectIme(state, *provider, prompts);
    const bool installed = std::any_of(
        methods->cbegin(), methods->cend(), [](const InputMethodEntry &m) { return m.name == orvaneImeName(); });
    QCOMPARE(state.ImeLayout.isEmpty(), !installed);
    QCOMPARE(prompts.messages.size(), installed ? 0 : 1);
    QCOMPARE(state.EnglishLayout, QStringLiteral("00000409"));
}

// The ibus tests run only inside with-ibus.sh (ORVANE_EXPECT_IBUS=1): the provider against a real
// ibus-daemon in a fresh home. Switching off goes back to the engine in use before switching on.
void TestIme::realIbusSwitching_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("switchOn"); // the engines switched on, in order, before one switch off
    QTest::addColumn<QString>("after");

    QTest::newRow("back to the engine in use") << "xkb:de::deu" << QStringList{"xkb:fr::fra"} << "xkb:de::deu";
    QTest::newRow("switched on twice") << "xkb:de::deu" << QStringList{"xkb:fr::fra", "xkb:fr::fra"} << "xkb:de::deu";
    // Switching off never leaves the input method on: with nothing else known, the US keyboard.
    QTest::newRow("already on") << "xkb:fr::fra" << QStringList{"xkb:fr::fra"} << "xkb:us::eng";
}

void TestIme::realIbusSwitching()
{
    if (qEnvironmentVariableIntValue("ORVANE_EXPECT_IBUS") != 1)
        QSKIP("needs a running ibus (run through with-ibus.sh)");
    QFETCH(QString, before);
    QFETCH(QStringList, switchOn);
    QFETCH(QString, after);
    QVERIFY(IbusProvider::isRunning());
    QVERIFY(QProcess::execute(QStringLiteral("ibus"), {QStringLiteral("engine"), before}) == 0);
    QCOMPARE(IbusProvider::currentEngine(), std::optional<QString>(before));

    IbusProvider provider;
    for (const QString &id : std::as_const(switchOn)) {
        QVERIFY(provider.activate(id));
        QCOMPARE(IbusProvider::currentEngine(), std::optional<QString>(id));
    }
    QVERIFY(provider.deactivate());
    QCOMPARE(IbusProvider::currentEngine(), std::optional<QString>(after));
}

// A table put into the user's ibus-table folder is listed once the provider has refreshed ibus,
// the engine in use stays in use, and the provider is the one chosen for a session that names ibus.
void TestIme::realIbusListsInstalledTable()
{
    if (qEnvironmentVariableIntValue("ORVANE_EXPECT_IBUS") != 1)
        QSKIP("needs a running ibus (run through with-ibus.sh)");
    qputenv("QT_IM_MODULE", "ibus");
    std::unique_ptr<InputMethodProvider> provider = makeInputMethodProvider();
    QCOMPARE(provider->kind(), QStringLiteral("ibus"));
    ScriptedPrompts prompts;
    ImeState state;
    QCOMPARE(DetectIme(state, *provider, prompts), ImeDetection::Missing);

    // A small table of the same name, made with ibus-table's own tool.
    QTemporaryDir dir;
    QFile source(dir.filePath(QStringLiteral("small.txt")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(QStringLiteral("SCIM_Generic_Table_Phrase_Library_TEXT\nVERSION_1_0\nBEGIN_DEFINITION\n"
                                "UUID = 2f0cfa52-1f5e-4d1a-9a43-3c1f6f1e2011\nSERIAL_NUMBER = 20110101\n"
                                "NAME = %1\nLANGUAGES = zh_CN\nVALID_INPUT_CHARS = 0123456789\n"
                                "MAX_KEY_LENGTH = 6\nEND_DEFINITION\nBEGIN_TABLE\n500064\t中\t100\nEND_TABLE\n")
                     .arg(orvaneImeName())
                     .toUtf8());
    source.close();
    const QString tables = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/ibus-table/byo-tables");
    QVERIFY(QDir().mkpath(tables));
    QCOMPARE(
        QProcess::execute(QStringLiteral("ibus-table-createdb"),
            {QStringLiteral("-s"), source.fileName(), QStringLiteral("-n"), tables + QStringLiteral("/orvane.db")}),
        0);

    // The daemon restarts to read the table; the engine in use stays.
    QVERIFY(QProcess::execute(QStringLiteral("ibus"), {QStringLiteral("engine"), QStringLiteral("xkb:de::deu")}) == 0);
    QVERIFY(provider->refresh(QString()));
    QCOMPARE(FindIme(state, *provider), ImeDetection::Found);
    QCOMPARE(state.ImeLayout, QStringLiteral("table:orvane"));
    QCOMPARE(IbusProvider::currentEngine(), std::optional<QString>(QStringLiteral("xkb:de::deu")));
}

QTEST_GUILESS_MAIN(TestIme)
#include "test_ime.moc"
