#include "segtest/examplefiles.h"

#include "core/savefile.h"
#include "core/textfile.h"
#include "prepare/richtext.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

namespace orvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Far above any practice text (the view holds a few thousand characters), far below what would
// exhaust memory: larger files are refused instead of read.
constexpr qint64 kMaxMarkFileBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxMainFileBytes = 256 * 1024 * 1024;

bool isRenderedMark(QChar c)
{
    return c == u'0' || c == u'1' || c == u'2' || c == u'4';
}

} // namespace

QString auxiliaryPath(const QString &mainPath)
{
    // Only the exact lower-case extension is replaced; for any other name replacing the extension
    // could give the main path itself ("a.ext") or the mark file of another example ("a.SAV" and
    // "a.sav" side by side), so the mark file's extension is appended instead.
    if (mainPath.endsWith(QLatin1String(".sav")))
        return mainPath.chopped(3) + QStringLiteral("ext");
    return mainPath + QStringLiteral(".ext");
}

QByteArray markFileBytes(const QString &marks)
{
    return (u'"' + marks + u'"' + kCrLf).toUtf8();
}

bool writeExample(const QString &mainPath, const QTextDocument &document, const QString &marks, QString *error)
{
    // One set: a full disk or a read-only folder leaves the old pair (or no pair) in place.
    return saveFiles({{mainPath, writeRtf(document)}, {auxiliaryPath(mainPath), markFileBytes(marks)}}, error);
}

bool parseMarkFile(const QByteArray &bytes, QString *marks, QString *error)
{
    const QString text = decodeText(bytes);
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    if (i >= text.size() || text.at(i) != u'"')
        return fail(QStringLiteral("标记文件不以双引号开头。"));
    const qsizetype open = i;
    const qsizetype close = text.indexOf(u'"', open + 1);
    if (close < 0)
        return fail(QStringLiteral("标记文件缺少结尾的双引号。"));
    const QStringView found = QStringView(text).sliced(open + 1, close - open - 1);
    for (qsizetype k = 0; k < found.size(); ++k) {
        if (!isRenderedMark(found.at(k)))
            return fail(
                QStringLiteral("标记文件第 %1 个标记“%2”无效（只允许 0、1、2、4）。").arg(k + 1).arg(found.at(k)));
    }
    // After the closing quote only white space and line ends may follow.
    for (qsizetype k = close + 1; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c != u'\r' && c != u'\n' && c != u' ' && c != u'\t')
            return fail(QStringLiteral("标记文件在结尾的双引号之后还有内容。"));
    }
    *marks = found.toString();
    return true;
}

QString marksMismatch(const QString &marks, qsizetype textLength)
{
    if (marks.size() < textLength)
        return QStringLiteral("标记文件的标记（%1 个）比文本的字符（%2 个）少。").arg(marks.size()).arg(textLength);
    if (marks.size() > textLength)
        return QStringLiteral("标记文件的标记（%1 个）比文本的字符（%2 个）多。").arg(marks.size()).arg(textLength);
    return {};
}

ExampleReadStatus readExample(const QString &mainPath, QTextDocument *document, QString *marks, QString *error)
{
    const QString auxPath = auxiliaryPath(mainPath);
    if (!QFileInfo(auxPath).isFile()) {
        if (error)
            *error = QStringLiteral("辅助文件不存在，不能打开此文件！");
        return ExampleReadStatus::AuxiliaryMissing;
    }
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return ExampleReadStatus::Failed;
    };
    QFile aux(auxPath);
    if (!aux.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取文件“%1”：%2").arg(auxPath, aux.errorString()));
    if (aux.size() > kMaxMarkFileBytes)
        return fail(QStringLiteral("文件“%1”过大，不是分词例文的标记文件。").arg(auxPath));
    QString readMarks;
    QString why;
    if (!parseMarkFile(aux.readAll(), &readMarks, &why))
        return fail(QStringLiteral("文件“%1”：%2").arg(auxPath, why));

    QFile main(mainPath);
    if (!main.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取文件“%1”：%2").arg(mainPath, main.errorString()));
    if (main.size() > kMaxMainFileBytes)
        return fail(QStringLiteral("文件“%1”过大，不能作为分词例文打开。").arg(mainPath));
    // Read into a document of our own first, so that a refused pair changes nothing.
    QTextDocument loaded;
    loaded.setDefaultFont(document->defaultFont());
    const QByteArray rtf = main.readAll();
    RtfError rtfError;
    if (!readRtf(rtf, &loaded, &rtfError))
        return fail(QStringLiteral("文件“%1”不是可读的分词例文：%2").arg(mainPath, rtfError.message));
    const QString mismatch = marksMismatch(readMarks, loaded.toPlainText().size());
    if (!mismatch.isEmpty())
        return fail(QStringLiteral("文件“%1”与“%2”不配套：%3").arg(mainPath, auxPath, mismatch));

    if (!readRtf(rtf, document, &rtfError))
        return fail(rtfError.message);
    *marks = readMarks;
    return ExampleReadStatus::Ok;
}

} // namespace orvane
