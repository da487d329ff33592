#include "prepare/symbolfilters.h"

#include "core/textfile.h"
#include "prepare/textforms.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orvane {

QStringList readFilterEntries(const QString &path)
{
    QString text;
    if (!readTextFile(path, &text, nullptr))
        return {};
    QStringList entries;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            entries.append(line);
    }
    return entries;
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

bool appendFilterEntry(const QString &path, const QString &entry, QString *error)
{
    return appendTextFile(path, entry + QStringLiteral("\r\n"), error);
}

bool removeFilterLines(const QString &path, const QString &entry, QString *error)
{
    QString text;
    if (!readTextFile(path, &text, error))
        return false;
    QString kept;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the end of the last line
        if (!line.contains(entry))
            kept += line + QStringLiteral("\r\n");
    }
    return writeTextFile(path, kept, error);
}

bool copyFileOver(const QString &from, const QString &to, QString *error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件“%1”：%2").arg(from, in.errorString());
        return false;
    }
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit()) {
        if (error)
            *error = QStringLiteral("无法写入文件“%1”：%2").arg(to, out.errorString());
        return false;
    }
    return true;
}

QString defaultFilterFileText()
{
    static const char16_t *const entries[][2] = {
        {u"，", u"逗号"},     {u"。", u"句号"},     {u"、", u"顿号"},     {u"；", u"分号"},
        {u"：", u"冒号"},     {u"？", u"问号"},     {u"！", u"叹号"},     {u"“", u"左引号"},
        {u"”", u"右引号"},    {u"‘", u"左单引号"},  {u"’", u"右单引号"},  {u"（", u"左括号"},
        {u"）", u"右括号"},   {u"《", u"左书名号"}, {u"》", u"右书名号"}, {u"【", u"左方括号"},
        {u"】", u"右方括号"}, {u"—", u"破折号"},    {u"…", u"省略号"},    {u"·", u"间隔号"},
        {u"～", u"波浪号"},   {u".", u"英文句点"},  {u"-", u"连字符"},    {u"/", u"斜线"},
        {u"%", u"百分号"},
    };
    QString text;
    for (const auto &e : entries)
        text += filterEntry(QString::fromUtf16(e[0]), QString::fromUtf16(e[1])) + QStringLiteral("\r\n");
    return text;
}

void ensureFilterFile(const ProgramFolder &folder)
{
    const QString path = folder.file(filterfiles::list());
    if (!QFileInfo::exists(path))
        writeTextFile(path, defaultFilterFileText(), nullptr);
}

} // namespace orvane
