// Qt's own Chinese translations: the standard dialogs speak Chinese when they are there, and a
// missing or damaged file leaves them in English without stopping anything.
#include "shell/qtprompts.h"

#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

using namespace orvane;

namespace {
// Qt's translations as the build copied them (empty when the build found none).
const QString kTranslations = QStringLiteral(ORVANE_QT_TRANSLATIONS_DIR);
} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void translations_data();
    void translations();
    void dialogsInChinese();
};

void TestQtDialogs::translations_data()
{
    QTest::addColumn<QByteArray>("qmContent"); // empty: no file; "qt": Qt's own file
    QTest::addColumn<bool>("loaded");

    QTest::newRow("Qt's file") << QByteArray("qt") << true;
    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("damaged file") << QByteArray("not a translation\0\xff\xfe", 21) << false;
    QTest::newRow("empty file") << QByteArray("\0", 0) << false;
}

void TestQtDialogs::translations()
{
    QFETCH(QByteArray, qmContent);
    QFETCH(bool, loaded);

    QTemporaryDir folder;
    const QString qm = folder.filePath(QStringLiteral("qtbase_zh_CN.qm"));
    if (qmContent == "qt") {
        if (kTranslations.isEmpty())
            QSKIP("the build found no qtbase_zh_CN.qm (package qt6-translations-l10n)");
        QVERIFY(QFile::copy(kTranslations + QStringLiteral("/qtbase_zh_CN.qm"), qm));
    } else if (!qmContent.isNull()) {
        QFile f(qm);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(qmContent);
    }

    const QString overwrite = QStringLiteral("%1 already exists.\nDo you want to replace it?");
    {
        const std::unique_ptr<QTranslator> translator = installQtTranslations(folder.path());
        QCOMPARE(translator != nullptr, loaded);
        // The overwrite question of the save dialog, the colour dialog's title and one button.
        const QString expected[] = {loaded ? QStringLiteral("%1 已存在。\n您想要替换它吗？") : overwrite,
            loaded ? QStringLiteral("选择颜色") : QStringLiteral("Select Color"),
            loaded ? QStringLiteral("基本颜色(&B)") : QStringLiteral("&Basic colors")};
        QCOMPARE(QCoreApplication::translate("QFileDialog", qPrintable(overwrite)), expected[0]);
        QCOMPARE(QCoreApplication::translate("QColorDialog", "Select Color"), expected[1]);
        QCOMPARE(QCoreApplication::translate("QColorDialog", "&Basic colors"), expected[2]);
    }
    // Gone with its translator: nothing stays behind for the next case.
    QCOMPARE(QCoreApplication::translate("QFileDialog", qPrintable(overwrite)), overwrite);
}

// Qt's own dialogs, as QtPrompts shows them, with the translations in place.
void TestQtDialogs::dialogsInChinese()
{
    if (kTranslations.isEmpty())
        QSKIP("the build found no qtbase_zh_CN.qm (package qt6-translations-l10n)");
    const std::unique_ptr<QTranslator> translator = installQtTranslations(kTranslations);
    QVERIFY(translator);

    QFileDialog files(nullptr, QStringLiteral("打开文章"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    auto *lookIn = files.findChild<QLabel *>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QCOMPARE(lookIn->text(), QStringLiteral("查找范围："));

    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel *label : colours.findChildren<QLabel *>())
        labels << label->text();
    QVERIFY2(labels.contains(QStringLiteral("基本颜色(&B)")), qPrintable(labels.join(u'|')));
}

QTEST_MAIN(TestQtDialogs)
#include "test_qtdialogs.moc"
