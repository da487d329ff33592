#include "scriptedprompts.h"
#include "shell/ime.h"
#include "shell/imeproviders.h"

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
    void realFcitx5();
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

QTEST_GUILESS_MAIN(TestIme)
#include "test_ime.moc"
