#include "editor/resultfile.h"

#include "core/textfile.h"

#include <QFile>

namespace orvane {

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

QStringList parseResultItems(const QString &text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i >= n)
            break;
        QString item;
        if (text[i] == QLatin1Char('"')) {
            const qsizetype start = ++i;
            while (i < n && text[i] != QLatin1Char('"') && !isLineEnd(text[i]))
                ++i;
            item = text.mid(start, i - start);
            // What follows the closing quote up to the delimiter is not part of the item.
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i]))
                ++i;
            qsizetype end = i;
            while (end > start && isBlank(text[end - 1]))
                --end;
            item = text.mid(start, end - start);
        }
        // Step over the delimiter: a comma, or one line end (CR LF counts once).
        if (i < n) {
            if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            ++i;
        }
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

bool readResultFile(const QString &path, QStringList *items, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxResultFileBytes) {
        if (error)
            *error = QStringLiteral("文件“%1”太大（%2 字节），不是分词结果文件。").arg(path).arg(file.size());
        return false;
    }
    const QByteArray bytes = file.read(kMaxResultFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxResultFileBytes) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return false;
    }
    *items = parseResultItems(decodeText(bytes));
    return true;
}

QString resultViewText(const QStringList &items)
{
    QString text;
    for (const QString &item : items) {
        text += QLatin1Char(' ');
        text += item;
    }
    return text;
}

QString wordFromSelection(const QString &selection)
{
    QString word;
    word.reserve(selection.size());
    for (QChar c : selection) {
        if (!c.isSpace())
            word += c;
    }
    return word;
}

} // namespace orvane
