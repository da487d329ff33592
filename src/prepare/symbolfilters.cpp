#include "prepare/symbolfilters.h"

#include "core/savefile.h"
#include "core/textfile.h"
#include "core/workfiles.h"
#include "prepare/textforms.h"

#include <QFile>
#include <QFileInfo>

namespace orvane {

QStringList parseFilterList(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    QStringList entries;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != u'\r' && text.at(i) != u'\n')
            continue;
        // A U+FEFF is a byte-order mark left by joining files, never a symbol anyone types; kept
        // at the start of the list we write, it would be taken for that file's mark. Control
        // characters (a NUL of a damaged file, say) are no symbols either, and a list written with
        // them would no longer read as text. Both are left out.
        QString entry = text.sliced(start, i - start);
        entry.removeIf(
            [](QChar c) { return c == QChar(0xFEFF) || (c.category() == QChar::Other_Control && c != u'\t'); });
        if (!entry.isEmpty())
            entries.append(entry);
        // CR LF is one line end; a lone CR or LF is one as well.
        if (i + 1 < text.size() && text.at(i) == u'\r' && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    return entries;
}

QByteArray filterListBytes(const QStringList &entries)
{
    QString text;
    for (const QString &e : entries)
        text += e + QStringLiteral("\r\n");
    return text.toUtf8();
}

bool readFilterList(const QString &path, QStringList *entries, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        entries->clear();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString());
        return false;
    }
    *entries = parseFilterList(file.readAll());
    return true;
}

QStringList readFilterEntries(const QString &path)
{
    QStringList entries;
    readFilterList(path, &entries, nullptr);
    return entries;
}

bool writeFilterList(const QString &path, const QStringList &entries, QString *error)
{
    return saveFile(path, filterListBytes(entries), error);
}

QString filterEntry(const QString &symbol, const QString &description)
{
    return symbol + QStringLiteral("      ") + description;
}

QString filterSymbol(const QString &entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? entry : entry.left(blank);
}

QStringList filterSymbols(const QStringList &entries)
{
    QStringList symbols;
    symbols.reserve(entries.size());
    for (const QString &e : entries)
        symbols.append(filterSymbol(e));
    return symbols;
}

bool isDuplicateSymbol(const QStringList &entries, const QString &symbol)
{
    for (const QString &e : entries) {
        if (!e.isEmpty() && textEqual(e.left(1), symbol))
            return true;
    }
    return false;
}

bool addFilterEntry(const QString &path, const QString &entry, QString *error)
{
    QStringList entries;
    if (!readFilterList(path, &entries, error))
        return false;
    entries.append(entry);
    return writeFilterList(path, entries, error);
}

bool removeFilterLines(const QString &path, const QString &entry, QString *error)
{
    QStringList entries;
    if (!readFilterList(path, &entries, error))
        return false;
    entries.removeIf([&entry](const QString &line) { return line.contains(entry); });
    return writeFilterList(path, entries, error);
}

bool copyFileOver(const QString &from, const QString &to, QString *error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(from, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(from, in.errorString());
        return false;
    }
    return saveFile(to, bytes, error);
}

QString defaultFilterFileText()
{
    static const char16_t *const entries[][2] = {
        {u"，", u"逗号"},
        {u"。", u"句号"},
        {u"、", u"顿号"},
        {u"；", u"分号"},
        {u"：", u"冒号"},
        {u"？", u"问号"},
        {u"！", u"叹号"},
        {u"“", u"左引号"},
        {u"”", u"右引号"},
        {u"‘", u"左单引号"},
        {u"’", u"右单引号"},
        {u"（", u"左括号"},
        {u"）", u"右括号"},
        {u"《", u"左书名号"},
        {u"》", u"右书名号"},
        {u"【", u"左方括号"},
        {u"】", u"右方括号"},
        {u"—", u"破折号"},
        {u"…", u"省略号"},
        {u"·", u"间隔号"},
        {u"～", u"波浪号"},
        {u".", u"英文句点"},
        {u"-", u"连字符"},
        {u"/", u"斜线"},
        {u"%", u"百分号"},
    };
    QString text;
    for (const auto &e : entries)
        text += filterEntry(QString::fromUtf16(e[0]), QString::fromUtf16(e[1])) + QStringLiteral("\r\n");
    return text;
}

bool ensureFilterFile(const ProgramFolder &folder, QString *error)
{
    const QString path = folder.file(workfiles::filterList());
    if (QFileInfo::exists(path))
        return true;
    return saveFile(path, defaultFilterFileText().toUtf8(), error);
}

QStringList filterEntriesForOpening(const ProgramFolder &folder)
{
    if (!ensureFilterFile(folder))
        return parseFilterList(defaultFilterFileText().toUtf8());
    return readFilterEntries(folder.file(workfiles::filterList()));
}

QStringList filterEntriesReadOnly(const ProgramFolder &folder)
{
    const QString path = folder.file(workfiles::filterList());
    if (!QFileInfo::exists(path))
        return parseFilterList(defaultFilterFileText().toUtf8());
    return readFilterEntries(path);
}

} // namespace orvane
