// The options dialog on its real controls: colours with the duplicate rule and the reset,
// the switches, the time limit and its refusal, the filter editor, and the redraw of the text
// it asks of its window — first of a small recording window, then of the real test window.
#include "contextfixture.h"
#include "modal.h"
#include "prepare/externallibs.h"
#include "prepare/frmdeffilter.h"
#include "prepare/frmopenfile.h"
#include "prepare/settingcolor.h"
#include "scriptedprompts.h"
#include "segtest/frmfctest.h"
#include "settings/frmoptions.h"
#include "settings/settingsstore.h"
#include "shell/pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace orvane;
using orvane::test::onNextModal;
using orvane::test::ScriptedPrompts;

namespace {

// The window the dialog redraws: records what the dialog asks of it.
class RecordingTarget final : public OptionsTarget {
public:
    bool shown = true;
    int redraws = 0;
    QList<bool> saveResult;
    bool textShown() const override { return shown; }
    void setSaveResultEnabled(bool on) override { saveResult << on; }
    void redrawText() override { ++redraws; }
};

struct Fixture : test::ContextFixture {
    std::unique_ptr<SettingsStore> store;
    RecordingTarget target;

    Fixture() : ContextFixture({.libs = false})
    {
        store = std::make_unique<SettingsStore>(settingsFile());
        ctx.store = store.get();
        LoadUserSettings(*store, ctx.settings); // a first run: the defaults
    }

    QString settingsFile() const { return dir.filePath(QStringLiteral("Tarvos2006.ini")); }

    // What the settings file holds, read through a store of its own.
    QString stored(SettingKey key) const { return SettingsStore(settingsFile()).read(settingKeyName(key)); }
};

QColor swatchCentre(const QPushButton *button)
{
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QPushButton *button(frmOptions &dialog, const QString &name)
{
    auto *b = dialog.findChild<QPushButton *>(name);
    if (!b)
        qFatal("no button %s", qPrintable(name));
    return b;
}

void saveScreenshot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("ORVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(name));
}

const QString kDuplicate = QStringLiteral("所选颜色与已使用的颜色相同，请使用其它颜色！");
const QString kLimitRefused = QStringLiteral("输入的限制时间为(5～99)分钟，请重新输入！");

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void loadShowsTheSettings_data();
    void loadShowsTheSettings();
    void colourChoice_data();
    void colourChoice();
    void switches_data();
    void switches();
    void limitRefusedThenStored();
    void limitsBelowFiveAreRefused_data();
    void limitsBelowFiveAreRefused();
    void noLimitKeepsTheMinutes();
    void resetThenCancel();
    void resetThenConfirm();
    void cancelStoresNothing();
    void filterEditorOpens();
    void testWindowRedrawsOnlyForDrawingSettings();
};

void TestOptions::loadShowsTheSettings_data()
{
    QTest::addColumn<bool>("limit");
    QTest::addColumn<bool>("segmentation");
    QTest::newRow("no time limit") << false << true;
    QTest::newRow("limit of 25 minutes, no segmentation") << true << false;
}

void TestOptions::loadShowsTheSettings()
{
    QFETCH(bool, limit);
    QFETCH(bool, segmentation);
    Fixture f;
    f.ctx.settings.AltColor1 = 0x102030;
    f.ctx.settings.LimitTime = limit;
    f.ctx.settings.LimitMinutes = 25;
    f.ctx.settings.NeedSegmentation = segmentation;
    f.ctx.settings.AutoOpenIme = false;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("选项设置"));
    const UserSettings &s = f.ctx.settings;
    const QList<QPair<QPushButton *, quint32>> colours = {{dialog.cmdSetColor1, s.AltColor1},
        {dialog.cmdSetColor2, s.AltColor2}, {dialog.cmdSetRightColor, s.RightColor},
        {dialog.cmdSetErrorColor, s.ErrorColor}, {dialog.cmdSetSymColor, s.SymbolColor},
        {dialog.cmdSetAlphaColor, s.AlphaColor}};
    for (const auto &[b, colour] : colours) {
        QCOMPARE(dialog.buttonColor(b), colour);
        // The button shows its colour.
        QCOMPARE(swatchCentre(b), colorFromSetting(colour));
    }
    QVERIFY(!dialog.RenderColorsChanged);
    QCOMPARE(dialog.ckNeedFc->isChecked(), segmentation);
    QCOMPARE(dialog.ckJmTips->isChecked(), true);
    QCOMPARE(dialog.ckAutoOpenIme->isChecked(), false);
    QCOMPARE(dialog.opLimitTime->isChecked(), limit);
    QCOMPARE(dialog.opNoLimitTime->isChecked(), !limit);
    QCOMPARE(dialog.txtLimitTime->isEnabled(), limit);
    QCOMPARE(dialog.txtLimitTime->text(), limit ? QStringLiteral("25") : QString());
    if (limit)
        saveScreenshot(&dialog, QStringLiteral("frmoptions.png"));

    // The mode buttons switch the field; only digits reach it, two at most.
    dialog.opLimitTime->click();
    QVERIFY(dialog.txtLimitTime->isEnabled());
    dialog.txtLimitTime->clear();
    QTest::keyClicks(dialog.txtLimitTime, QStringLiteral("x1-23"));
    QCOMPARE(dialog.txtLimitTime->text(), QStringLiteral("12"));
    // Enter in the field confirms.
    QTest::keyClick(dialog.txtLimitTime, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.ctx.settings.LimitMinutes, 12);
}

void TestOptions::colourChoice_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("chosen"); // -1: the colour dialog is cancelled
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("redraw");

    const int alt1 = int(SettingKey::AltColor1), alt2 = int(SettingKey::AltColor2);
    const int sym = int(SettingKey::SymbolColor), alpha = int(SettingKey::AlphaColor);
    const int right = int(SettingKey::RightColor), error = int(SettingKey::ErrorColor);
    QTest::newRow("first word colour changed") << "cmdSetColor1" << alt1 << 0x336699 << false << true;
    QTest::newRow("second word colour takes the symbol colour") << "cmdSetColor2" << alt2 << 0xFF00FF << true << false;
    QTest::newRow("second word colour keeps its own colour") << "cmdSetColor2" << alt2 << 0xFF0000 << false << false;
    QTest::newRow("symbol colour changed") << "cmdSetSymColor" << sym << 0x808000 << false << true;
    QTest::newRow("letter colour changed") << "cmdSetAlphaColor" << alpha << 0x008080 << false << true;
    QTest::newRow("letter colour takes the first word colour")
        << "cmdSetAlphaColor" << alpha << 0x000000 << true << false;
    QTest::newRow("error colour changed: not drawn") << "cmdSetErrorColor" << error << 0x000080 << false << false;
    QTest::newRow("right colour changed: not drawn") << "cmdSetRightColor" << right << 0x008000 << false << false;
    QTest::newRow("right colour takes the error colour") << "cmdSetRightColor" << right << 0x0000FF << true << false;
    QTest::newRow("colour dialog cancelled") << "cmdSetSymColor" << sym << -1 << false << false;
}

void TestOptions::colourChoice()
{
    QFETCH(QString, buttonName);
    QFETCH(int, key);
    QFETCH(int, chosen);
    QFETCH(bool, refused);
    QFETCH(bool, redraw);
    Fixture f;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    QPushButton *b = button(dialog, buttonName);
    const quint32 before = dialog.buttonColor(b);
    const QString storedBefore = f.stored(SettingKey(key));
    if (chosen >= 0)
        f.prompts.colors.enqueue(quint32(chosen));
    b->click();
    QCOMPARE(f.prompts.colorDialogs, 1);
    const quint32 expected = chosen < 0 || refused ? before : quint32(chosen);
    QCOMPARE(dialog.buttonColor(b), expected);
    QCOMPARE(swatchCentre(b), colorFromSetting(expected));
    if (refused) {
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, kDuplicate);
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("提示信息"));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    } else {
        QVERIFY(f.prompts.messages.isEmpty());
    }
    // Nothing is stored before the confirmation.
    QCOMPARE(f.stored(SettingKey(key)), storedBefore);

    dialog.cmdOK->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.stored(SettingKey(key)), encodeColor(expected));
    QCOMPARE(f.target.redraws, redraw ? 1 : 0);
    QCOMPARE(f.target.saveResult, redraw ? QList<bool>{true} : QList<bool>{});
}

void TestOptions::switches_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("redraw");
    QTest::newRow("segmentation off while a text is shown")
        << "ckNeedFc" << int(SettingKey::NeedSegmentation) << true << true;
    QTest::newRow("short-code hints off") << "ckJmTips" << int(SettingKey::NeedShortCodeTips) << true << true;
    QTest::newRow("automatic input method off: not drawn")
        << "ckAutoOpenIme" << int(SettingKey::AutoOpenIme) << true << false;
    QTest::newRow("segmentation off without a text")
        << "ckNeedFc" << int(SettingKey::NeedSegmentation) << false << false;
}

void TestOptions::switches()
{
    QFETCH(QString, boxName);
    QFETCH(int, key);
    QFETCH(bool, shown);
    QFETCH(bool, redraw);
    Fixture f;
    f.target.shown = shown;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    auto *box = dialog.findChild<QCheckBox *>(boxName);
    QVERIFY(box && box->isChecked());
    box->click();
    dialog.cmdOK->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.stored(SettingKey(key)), QStringLiteral("False"));
    const UserSettings &s = f.ctx.settings;
    const bool value = SettingKey(key) == SettingKey::NeedSegmentation ? s.NeedSegmentation
        : SettingKey(key) == SettingKey::NeedShortCodeTips             ? s.NeedShortCodeTips
                                                                       : s.AutoOpenIme;
    QVERIFY(!value);
    QCOMPARE(f.target.redraws, redraw ? 1 : 0);
    // "保存分词例文" follows segmentation.
    if (redraw)
        QCOMPARE(f.target.saveResult, QList<bool>{s.NeedSegmentation});
    else
        QVERIFY(f.target.saveResult.isEmpty());
}

void TestOptions::limitRefusedThenStored()
{
    Fixture f;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    dialog.ckNeedFc->click(); // applied with the refused confirmation already
    dialog.opLimitTime->click();
    QTest::keyClicks(dialog.txtLimitTime, QStringLiteral("3"));
    dialog.cmdOK->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, kLimitRefused);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), dialog.txtLimitTime);
    QCOMPARE(f.stored(SettingKey::LimitMinutes), QStringLiteral("5"));
    QCOMPARE(f.ctx.settings.LimitMinutes, 5);
    // Everything else was applied and stored.
    QCOMPARE(f.stored(SettingKey::LimitTime), QStringLiteral("True"));
    QCOMPARE(f.stored(SettingKey::NeedSegmentation), QStringLiteral("False"));
    QCOMPARE(f.target.redraws, 1);

    dialog.txtLimitTime->selectAll();
    QTest::keyClicks(dialog.txtLimitTime, QStringLiteral("30"));
    dialog.cmdOK->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.stored(SettingKey::LimitMinutes), QStringLiteral("30"));
    QCOMPARE(f.ctx.settings.LimitMinutes, 30);
    QVERIFY(f.ctx.settings.LimitTime);
    // The text was redrawn for the first confirmation; nothing drawn changed since.
    QCOMPARE(f.target.redraws, 1);
}

void TestOptions::limitsBelowFiveAreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << "";
    QTest::newRow("zero") << "0";
    QTest::newRow("04") << "04";
}

void TestOptions::limitsBelowFiveAreRefused()
{
    QFETCH(QString, typed);
    Fixture f;
    f.ctx.settings.LimitTime = true;
    f.ctx.settings.LimitMinutes = 12;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    dialog.txtLimitTime->clear();
    QTest::keyClicks(dialog.txtLimitTime, typed);
    dialog.cmdOK->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, kLimitRefused);
    QVERIFY(dialog.isVisible());
    QCOMPARE(f.ctx.settings.LimitMinutes, 12);
    QCOMPARE(f.stored(SettingKey::LimitMinutes), QStringLiteral("5"));
}

void TestOptions::noLimitKeepsTheMinutes()
{
    Fixture f;
    f.ctx.settings.LimitTime = true;
    f.ctx.settings.LimitMinutes = 20;
    StoreSwitch(*f.store, f.ctx.settings, SettingKey::LimitTime, true);
    StoreLimitMinutes(*f.store, f.ctx.settings, QStringLiteral("20"));
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    dialog.opNoLimitTime->click();
    dialog.cmdOK->click();
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.stored(SettingKey::LimitTime), QStringLiteral("False"));
    QVERIFY(!f.ctx.settings.LimitTime);
    QCOMPARE(f.stored(SettingKey::LimitMinutes), QStringLiteral("20"));
    QCOMPARE(f.target.redraws, 0);
}

void TestOptions::resetThenCancel()
{
    Fixture f;
    StoreColor(*f.store, f.ctx.settings, SettingKey::AltColor2, 0x008000);
    StoreColor(*f.store, f.ctx.settings, SettingKey::ErrorColor, 0x000080);
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    dialog.cmdResetColor->click();
    QCOMPARE(dialog.buttonColor(dialog.cmdSetColor2), defaults::AltColor2);
    QCOMPARE(dialog.buttonColor(dialog.cmdSetErrorColor), defaults::ErrorColor);
    QCOMPARE(swatchCentre(dialog.cmdSetColor2), colorFromSetting(defaults::AltColor2));
    QVERIFY(dialog.RenderColorsChanged);
    dialog.cmdCancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // The record holds the defaults; the store keeps what it had.
    QCOMPARE(f.ctx.settings.AltColor2, defaults::AltColor2);
    QCOMPARE(f.ctx.settings.ErrorColor, defaults::ErrorColor);
    QCOMPARE(f.stored(SettingKey::AltColor2), encodeColor(0x008000));
    QCOMPARE(f.stored(SettingKey::ErrorColor), encodeColor(0x000080));
    QCOMPARE(f.target.redraws, 0);
}

void TestOptions::resetThenConfirm()
{
    Fixture f;
    // Only the error colour differs from its default: the drawing does not change.
    StoreColor(*f.store, f.ctx.settings, SettingKey::ErrorColor, 0x000080);
    {
        frmOptions dialog(f.ctx, &f.target);
        dialog.cmdResetColor->click();
        QVERIFY(!dialog.RenderColorsChanged);
        dialog.cmdOK->click();
    }
    QCOMPARE(f.stored(SettingKey::ErrorColor), encodeColor(defaults::ErrorColor));
    QCOMPARE(f.target.redraws, 0);

    StoreColor(*f.store, f.ctx.settings, SettingKey::SymbolColor, 0x404040);
    frmOptions dialog(f.ctx, &f.target);
    dialog.cmdResetColor->click();
    dialog.cmdOK->click();
    QCOMPARE(f.stored(SettingKey::SymbolColor), encodeColor(defaults::SymbolColor));
    QCOMPARE(f.target.redraws, 1);
}

void TestOptions::cancelStoresNothing()
{
    Fixture f;
    QFile file(f.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    f.prompts.colors.enqueue(0x123456);
    dialog.cmdSetColor1->click();
    dialog.ckNeedFc->click();
    dialog.opLimitTime->click();
    QTest::keyClicks(dialog.txtLimitTime, QStringLiteral("40"));
    dialog.cmdCancel->click();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(f.ctx.settings.AltColor1, defaults::AltColor1);
    QVERIFY(f.ctx.settings.NeedSegmentation);
    QVERIFY(!f.ctx.settings.LimitTime);
    QCOMPARE(f.target.redraws, 0);
}

void TestOptions::filterEditorOpens()
{
    Fixture f;
    frmOptions dialog(f.ctx, &f.target);
    dialog.show();
    QString opened;
    onNextModal([&opened](QWidget *w) {
        opened = w->objectName();
        if (auto *editor = qobject_cast<frmDefFilter *>(w))
            editor->cmdCancel->click();
        else
            w->close();
    });
    dialog.cmdDefineFilter->click();
    QVERIFY(test::lastModalHandled());
    QCOMPARE(opened, QStringLiteral("frmDefFilter"));
    QVERIFY(dialog.isVisible());
}

// The real test window: open a text, then change settings through its button "选项设置".
void TestOptions::testWindowRedrawsOnlyForDrawingSettings()
{
    test::ContextFixture f;
    QVERIFY2(f.ctx.libs, "the language libraries must load from the build folder");
    NoInputMethodProvider ime;
    SettingsStore store(f.path(QStringLiteral("Tarvos2006.ini")));
    AppContext &ctx = f.ctx;
    ctx.imeProvider = &ime;
    ctx.store = &store;
    ctx.settings = UserSettings{}; // nothing loaded: the options dialog stores each change
    const QTemporaryDir &dir = f.dir;
    ScriptedPrompts &prompts = f.prompts;
    frmFcTest window(ctx);
    QVERIFY(window.Form_Load());
    window.show();

    const QString textPath = dir.filePath(QStringLiteral("课文.txt"));
    {
        QFile file(textPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("我们是学生，我们热爱学习。今天天气很好，老师带我们去公园参观。").toUtf8());
    }
    onNextModal([textPath](QWidget *w) {
        auto *dialog = qobject_cast<frmOpenFile *>(w);
        QVERIFY(dialog);
        dialog->loadFile(textPath);
        dialog->chkUseFilter->setChecked(false);
        dialog->cmdOpenFile_Click();
    });
    window.mnuOpenTestFile->trigger();
    QVERIFY(test::lastModalHandled());
    QVERIFY(window.mainText->isVisible());
    QVERIFY(window.mnuSaveResult->isEnabled());
    const QString marks = window.document().CharMarks;
    QVERIFY(marks.contains(QLatin1Char('1')));

    auto colourAt = [&window](int i) {
        QTextCursor c(window.mainText->document());
        c.setPosition(i + 1);
        return c.charFormat().foreground().color();
    };
    // A mark that only a redraw removes.
    auto paintMarker = [&window] {
        QTextCursor c(window.mainText->document());
        c.setPosition(0);
        c.setPosition(1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(QColor(0x12, 0x34, 0x56));
        c.mergeCharFormat(format);
    };
    auto changeOptions = [&window](std::function<void(frmOptions *)> change) {
        onNextModal([change](QWidget *w) {
            auto *dialog = qobject_cast<frmOptions *>(w);
            QVERIFY(dialog);
            change(dialog);
            dialog->cmdOK->click();
        });
        window.CmdSetting->click();
        QVERIFY(test::lastModalHandled());
    };

    // Only the error colour: the text is not redrawn.
    paintMarker();
    prompts.colors.enqueue(0x0000C0);
    changeOptions([](frmOptions *d) { d->cmdSetErrorColor->click(); });
    QCOMPARE(ctx.settings.ErrorColor, quint32(0x0000C0));
    QCOMPARE(colourAt(0), QColor(0x12, 0x34, 0x56));

    // The second word colour: every word marked "1" takes it.
    prompts.colors.enqueue(0x008000);
    changeOptions([](frmOptions *d) { d->cmdSetColor2->click(); });
    QVERIFY(prompts.messages.isEmpty());
    for (int i = 0; i < marks.size(); ++i) {
        if (marks[i] == QLatin1Char('1'))
            QCOMPARE(colourAt(i), colorFromSetting(0x008000));
        else if (marks[i] == QLatin1Char('0'))
            QCOMPARE(colourAt(i), QColor(Qt::black));
    }
    QVERIFY(window.mnuSaveResult->isEnabled());

    // Segmentation off: the text is drawn in one colour and cannot be saved as an example.
    changeOptions([](frmOptions *d) { d->ckNeedFc->click(); });
    QVERIFY(!ctx.settings.NeedSegmentation);
    QVERIFY(!window.mnuSaveResult->isEnabled());
    for (int i = 0; i < marks.size(); ++i)
        QCOMPARE(colourAt(i), QColor(Qt::black));
    QCOMPARE(store.read(settingKeyName(SettingKey::NeedSegmentation)), QStringLiteral("False"));
    window.CmdQuit->click();
}

QTEST_MAIN(TestOptions)
#include "test_options.moc"
