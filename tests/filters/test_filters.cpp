#include "contextfixture.h"
#include "modal.h"
#include "prepare/frmdeffilter.h"
#include "prepare/symbolfilters.h"
#include "prepare/textforms.h"
#include "scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using orvane::test::ScriptedPrompts;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QString &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

struct Fixture : test::ContextFixture {
    Fixture() : ContextFixture({.data = false, .libs = false, .pictures = false}) { }
    QString list() const { return ctx.folder.file(QStringLiteral("filter.dat")); }
    QString backup() const { return ctx.folder.file(QStringLiteral("OldFilter.dat")); }
};

const QString kList = QStringLiteral(",      逗号\r\n\r\nab      字母\r\n。      句号\r\n");

} // namespace

class TestFilters : public QObject {
    Q_OBJECT
private slots:
    void textForms_data();
    void textForms();
    void duplicates_data();
    void duplicates();
    void loadTakesBackupAndUnloadRemovesIt();
    void addAppendsAndRefusesDuplicates();
    void deleteRemovesEveryContainingLine();
    void cancelRestoresTheFile();
    void missingListStartsFromTheShippedOne();
    void unwritableFolderOpensWithTheShippedList();
    void everyLineEndAndEncoding_data();
    void everyLineEndAndEncoding();
};

void TestFilters::textForms_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("width") << ","
                           << "，" << true;
    QTest::newRow("case") << "a"
                          << "A" << true;
    QTest::newRow("case and width") << "ａ"
                                    << "A" << true;
    QTest::newRow("ideographic space") << " "
                                       << "　" << true;
    QTest::newRow("curly quote is no width form") << "\""
                                                  << "“" << false;
    QTest::newRow("different") << "，"
                               << "。" << false;
    QTest::newRow("length") << "a"
                            << "ab" << false;
}

void TestFilters::textForms()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, equal);
    QCOMPARE(textEqual(a, b), equal);
    QCOMPARE(widen(QStringLiteral("a,[ 1")), QStringLiteral("ａ，［　１"));
    QCOMPARE(widen(QStringLiteral("中“”")), QStringLiteral("中“”"));
}

void TestFilters::duplicates_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("first entry") << "," << true;
    QTest::newRow("full-width against half-width") << "，" << true;
    QTest::newRow("upper case against lower case") << "A" << true;
    QTest::newRow("second character of an entry") << "b" << false;
    QTest::newRow("two characters") << ",," << false;
    QTest::newRow("new") << "！" << false;
}

void TestFilters::duplicates()
{
    QFETCH(QString, symbol);
    QFETCH(bool, duplicate);
    const QStringList entries{QStringLiteral(",      逗号"), QStringLiteral("ab      字母")};
    QCOMPARE(isDuplicateSymbol(entries, symbol), duplicate);
    QCOMPARE(filterSymbols(entries), (QStringList{",", "ab"}));
}

void TestFilters::loadTakesBackupAndUnloadRemovesIt()
{
    Fixture f;
    writeAll(f.list(), kList);
    {
        frmDefFilter dlg(f.ctx);
        QCOMPARE(dlg.listofFilters->count(), 3); // the empty line is skipped
        QCOMPARE(dlg.listofFilters->item(1)->text(), QStringLiteral("ab      字母"));
        QVERIFY(!dlg.cmdAddFilter->isEnabled());
        QVERIFY(!dlg.cmdDelFilter->isEnabled());
        QCOMPARE(readAll(f.backup()), readAll(f.list()));
        dlg.txtSymbol->setText(QStringLiteral("！"));
        QVERIFY(!dlg.cmdAddFilter->isEnabled());
        dlg.txtSymbolSpe->setText(QStringLiteral("叹号"));
        QVERIFY(dlg.cmdAddFilter->isEnabled());
        dlg.listofFilters->setCurrentRow(0);
        QVERIFY(dlg.cmdDelFilter->isEnabled());
    }
    QVERIFY(!QFile::exists(f.backup()));
}

void TestFilters::addAppendsAndRefusesDuplicates()
{
    Fixture f;
    writeAll(f.list(), kList);
    frmDefFilter dlg(f.ctx);
    dlg.txtSymbol->setText(QStringLiteral("！"));
    dlg.txtSymbolSpe->setText(QStringLiteral("叹号"));
    dlg.cmdAddFilter->click();
    QCOMPARE(dlg.listofFilters->count(), 4);
    // The list is written whole: the entries, one a line, the empty line gone.
    QCOMPARE(QString::fromUtf8(readAll(f.list())),
        QStringLiteral(",      逗号\r\nab      字母\r\n。      句号\r\n！      叹号\r\n"));
    QVERIFY(dlg.txtSymbol->text().isEmpty() && dlg.txtSymbolSpe->text().isEmpty());
    QVERIFY(f.prompts.messages.isEmpty());

    dlg.txtSymbol->setText(QStringLiteral("，"));
    dlg.txtSymbolSpe->setText(QStringLiteral("全角逗号"));
    dlg.cmdAddFilter->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("你所输入的符号已定义！"));
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QCOMPARE(dlg.listofFilters->count(), 4);
    QVERIFY(dlg.txtSymbol->text().isEmpty()); // emptied in both cases
}

void TestFilters::deleteRemovesEveryContainingLine()
{
    Fixture f;
    writeAll(f.list(), QStringLiteral("a      字母\r\nb      a      字母的说明\r\n。      句号\r\n"));
    frmDefFilter dlg(f.ctx);
    dlg.listofFilters->setCurrentRow(0);
    dlg.cmdDelFilter->click();
    // Both lines that contain the entry leave the file; only the selected one leaves the list.
    QCOMPARE(QString::fromUtf8(readAll(f.list())), QStringLiteral("。      句号\r\n"));
    QCOMPARE(dlg.listofFilters->count(), 2);
    QVERIFY(!dlg.cmdDelFilter->isEnabled());
    QVERIFY(!QFile::exists(f.ctx.folder.file(QStringLiteral("filter1.dat"))));
}

void TestFilters::cancelRestoresTheFile()
{
    Fixture f;
    writeAll(f.list(), kList);
    const QByteArray before = readAll(f.list());
    {
        frmDefFilter dlg(f.ctx);
        dlg.txtSymbol->setText(QStringLiteral("！"));
        dlg.txtSymbolSpe->setText(QStringLiteral("叹号"));
        dlg.cmdAddFilter->click();
        dlg.listofFilters->setCurrentRow(0);
        dlg.cmdDelFilter->click();
        QVERIFY(readAll(f.list()) != before);
        dlg.cmdCancel->click();
    }
    QCOMPARE(readAll(f.list()), before);
    QVERIFY(!QFile::exists(f.backup()));
    // The file name is one canonical lower-case name.
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"filter.dat"});
}

void TestFilters::missingListStartsFromTheShippedOne()
{
    Fixture f;
    frmDefFilter dlg(f.ctx);
    QVERIFY(dlg.listofFilters->count() > 20);
    QCOMPARE(filterSymbol(dlg.listofFilters->item(0)->text()), QStringLiteral("，"));
    for (int i = 0; i < dlg.listofFilters->count(); ++i) {
        const QString entry = dlg.listofFilters->item(i)->text();
        QVERIFY2(entry.contains(QStringLiteral("      ")), qPrintable(entry));
        QVERIFY(entry.section(QStringLiteral("      "), 1).size() <= 6);
    }
}

// A missing list that cannot be written: the dialog says so, and opening a text still filters
// with the shipped list.
void TestFilters::unwritableFolderOpensWithTheShippedList()
{
    Fixture f;
    writeAll(f.dir.filePath(QStringLiteral("plain")), QStringLiteral("a file, not a folder"));
    f.ctx.folder = ProgramFolder(f.dir.filePath(QStringLiteral("plain/program")));
    const QStringList shipped = parseFilterList(defaultFilterFileText().toUtf8());
    QCOMPARE(filterEntriesForOpening(f.ctx.folder), shipped);
    frmDefFilter dlg(f.ctx);
    QCOMPARE(dlg.listofFilters->count(), 0);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY2(
        f.prompts.messages[0].text.contains(QStringLiteral("filter.dat”：")), qPrintable(f.prompts.messages[0].text));
}

// Lists edited by hand or made on other systems: every line end and encoding is read as the same
// entries, and deleting or adding writes the whole list back in UTF-8 with CR LF.
void TestFilters::everyLineEndAndEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QStringList entries{
        QStringLiteral("，      逗号"), QStringLiteral("。      句号"), QStringLiteral("-      连字符")};
    const auto joined = [&entries](const char *end) { return entries.join(QLatin1String(end)) + QLatin1String(end); };
    QStringEncoder gb("GB18030");
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("utf-8, CR LF") << joined("\r\n").toUtf8();
    QTest::newRow("utf-8, LF") << joined("\n").toUtf8();
    QTest::newRow("utf-8, CR") << joined("\r").toUtf8();
    QTest::newRow("utf-8, no end on the last line") << entries.join(u'\n').toUtf8();
    QTest::newRow("utf-8, mixed ends and blank lines")
        << (entries[0] + QStringLiteral("\r\n\n") + entries[1] + QStringLiteral("\r\r") + entries[2]).toUtf8();
    QTest::newRow("utf-8 with byte-order mark, LF") << QByteArray("\xEF\xBB\xBF") + joined("\n").toUtf8();
    QTest::newRow("byte-order marks of joined files") << (QStringLiteral("\uFEFF") + entries[0]
        + QStringLiteral("\n\uFEFF") + entries[1] + QStringLiteral("\n") + entries[2])
                                                             .toUtf8();
    QTest::newRow("control characters of a damaged file") << (QStringLiteral("\x01") + entries[0]
        + QStringLiteral("\n\x7F\n") + entries[1] + QStringLiteral("\x1B\n") + entries[2])
                                                                 .toUtf8();
    QTest::newRow("gb18030, CR LF") << QByteArray(gb.encode(joined("\r\n")));
    QTest::newRow("gb18030, LF") << QByteArray(gb.encode(joined("\n")));
    QTest::newRow("utf-16, LF") << QByteArray(utf16.encode(joined("\n")));
}

void TestFilters::everyLineEndAndEncoding()
{
    QFETCH(QByteArray, bytes);
    const QStringList entries{
        QStringLiteral("，      逗号"), QStringLiteral("。      句号"), QStringLiteral("-      连字符")};
    QCOMPARE(parseFilterList(bytes), entries);

    Fixture f;
    QFile out(f.list());
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    frmDefFilter dlg(f.ctx);
    QCOMPARE(dlg.listofFilters->count(), 3);
    QCOMPARE(dlg.listofFilters->item(2)->text(), entries[2]);

    dlg.listofFilters->setCurrentRow(1);
    dlg.cmdDelFilter->click();
    QCOMPARE(readAll(f.list()), (entries[0] + QStringLiteral("\r\n") + entries[2] + QStringLiteral("\r\n")).toUtf8());

    dlg.txtSymbol->setText(QStringLiteral("！"));
    dlg.txtSymbolSpe->setText(QStringLiteral("叹号"));
    dlg.cmdAddFilter->click();
    const QByteArray expected = filterListBytes({entries[0], entries[2], QStringLiteral("！      叹号")});
    QCOMPARE(readAll(f.list()), expected);
    QCOMPARE(readFilterEntries(f.list()), parseFilterList(expected));
    QVERIFY(f.prompts.messages.isEmpty());

    // Cancel puts back the bytes the dialog found, in their own encoding.
    dlg.cmdCancel->click();
    QCOMPARE(readAll(f.list()), bytes);
}

QTEST_MAIN(TestFilters)
#include "test_filters.moc"
