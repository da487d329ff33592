#include "prepare/richtext.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace orvane;

namespace {

QTextCharFormat colored(QColor c)
{
    QTextCharFormat f;
    f.setForeground(c);
    return f;
}

// "text|#rrggbb|flags" per fragment, flags from b (bold), u (underline), h (background).
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            QString flags;
            if (cf.fontWeight() >= QFont::Bold)
                flags += 'b';
            if (cf.underlineStyle() != QTextCharFormat::NoUnderline)
                flags += QString::number(int(cf.underlineStyle()));
            if (cf.hasProperty(QTextFormat::BackgroundBrush))
                flags += 'h';
            const QString fam = cf.fontFamilies().toStringList().value(0);
            out << QStringLiteral("%1|%2|%3|%4").arg(f.text(), cf.foreground().color().name(), flags, fam);
        }
        if (b.next().isValid())
            out << QStringLiteral("¶");
    }
    return out;
}

} // namespace

class TestRichText : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void readsLibreOfficeRtf();
    void readsForeignRtf_data();
    void readsForeignRtf();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
};

void TestRichText::roundTrip()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("我们"), colored(Qt::black));
    QTextCharFormat mark = colored(QColor(0, 0, 255));
    mark.setUnderlineStyle(QTextCharFormat::DotLine);
    c.insertText(QStringLiteral("是"), mark);
    QTextCharFormat plainLine = colored(QColor(0, 0, 255));
    plainLine.setFontUnderline(true);
    c.insertText(QStringLiteral("的"), plainLine);
    QTextCharFormat kai = colored(QColor(0, 0, 255));
    kai.setFontFamilies({QStringLiteral("楷体_GB2312")});
    c.insertText(QStringLiteral("学生"), kai);
    QTextCharFormat current = colored(QColor(0, 255, 0));
    current.setFontWeight(QFont::Bold);
    current.setBackground(QColor(255, 255, 160));
    c.insertText(QStringLiteral("，"), current);
    c.insertBlock();
    c.insertText(QStringLiteral("a{b}\\c 𠀀 end"), colored(QColor(255, 0, 255)));

    const QByteArray rtf = writeRtf(doc);
    QVERIFY(rtf.startsWith("{\\rtf1"));
    for (char ch : rtf)
        QVERIFY2(uchar(ch) < 0x80, "RTF output is 7-bit");

    QTextDocument back;
    RtfError error;
    QVERIFY2(readRtf(rtf, &back, &error), qPrintable(error.message));
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(describe(back), describe(doc));
}

// A file of ours, opened in LibreOffice Writer and saved again as RTF by it.
void TestRichText::readsLibreOfficeRtf()
{
    QFile file(QStringLiteral(ORVANE_SOURCE_DIR "/tests/richtext/libreoffice.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    RtfError error;
    QVERIFY2(readRtf(file.readAll(), &doc, &error), qPrintable(error.message));
    QCOMPARE(doc.toPlainText(), QStringLiteral("我们是学生，我们热爱学习。abc今天天气很好"));
    auto formatAt = [&](int pos) {
        QTextCursor c(&doc);
        c.setPosition(pos + 1);
        return c.charFormat();
    };
    QCOMPARE(formatAt(2).foreground().color().name(), QStringLiteral("#0000ff"));
    QCOMPARE(formatAt(13).foreground().color().name(), QStringLiteral("#00ffff")); // "abc"
    QCOMPARE(formatAt(3).fontWeight(), int(QFont::Bold));                          // the highlight
    QVERIFY(formatAt(3).hasProperty(QTextFormat::BackgroundBrush));
    QVERIFY(!formatAt(4).hasProperty(QTextFormat::BackgroundBrush));
}

void TestRichText::readsForeignRtf_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("ansi code page bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 "
                                                        "\\'cb\\'ce\\'cc\\'e5;}}\\f0 \\'c4\\'e3\\'ba\\'c3\\par}")
                                          << QStringLiteral("你好");
    QTest::newRow("unicode with two fallback bytes")
        << QByteArray("{\\rtf1\\uc2 \\u20320\\'c4\\'e3\\u22909\\'ba\\'c3!}") << QStringLiteral("你好!");
    QTest::newRow("ignorable destination skipped")
        << QByteArray("{\\rtf1{\\*\\generator Writer;}{\\info{\\title x}}A\\tab B}") << QStringLiteral("A\tB");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("escaped braces") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << QStringLiteral("{x}\\");
}

void TestRichText::readsForeignRtf()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    RtfError error;
    QVERIFY2(readRtf(rtf, &doc, &error), qPrintable(error.message));
    QCOMPARE(doc.toPlainText(), text);
}

void TestRichText::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("plain text") << QByteArray("just text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unclosed group") << QByteArray("{\\rtf1 {\\b bold");
    QTest::newRow("ends in control word") << QByteArray("{\\rtf1 \\");
    QTest::newRow("ends in hex escape") << QByteArray("{\\rtf1 \\'c");
    QTest::newRow("too deep") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{');
}

void TestRichText::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, rtf);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kept"));
    RtfError error;
    QVERIFY(!readRtf(rtf, &doc, &error));
    QVERIFY(!error.message.isEmpty());
    QCOMPARE(doc.toPlainText(), QStringLiteral("kept")); // the document is left as it was
}

QTEST_MAIN(TestRichText)
#include "test_richtext.moc"
