#include "settings/inifile.h"

#include "core/textfile.h"

#include <QHash>

namespace orvane {

namespace {

QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != QLatin1Char('\\') || i + 1 == s.size()) {
            out += c;
            continue;
        }
        const QChar n = s[++i];
        switch (n.unicode()) {
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        default: out += n; break; // \\ \= \; and anything else: the character itself
        }
    }
    return out;
}

QString escape(const QString &s, bool isKey)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); continue;
        case '\n': out += QLatin1String("\\n"); continue;
        case '\r': out += QLatin1String("\\r"); continue;
        default: break;
        }
        // Blanks at the ends would be trimmed on reading, and a U+FEFF at the start of the file
        // would be taken for a byte-order mark: keep them escaped.
        const bool atEnd = i == 0 || i == s.size() - 1;
        const bool special = isKey
            && (c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(';') || c == QLatin1Char('#')
                || c == QLatin1Char('/'));
        if (special || (atEnd && c.isSpace()) || (i == 0 && c == QChar(0xFEFF)))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// Position of the first '=' that is not escaped, or -1.
qsizetype findSeparator(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('='))
            return i;
    }
    return -1;
}

// Trims blanks that are not escaped.
QStringView trimUnescaped(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].isSpace())
        ++b;
    while (e > b && s[e - 1].isSpace() && !(e - 2 >= b && s[e - 2] == QLatin1Char('\\')))
        --e;
    return s.sliced(b, e - b);
}

// Where the section name of a key ends: at its first '/', when there is a section name before it
// and a key name after it; -1 for a key outside any section.
qsizetype sectionEnd(const QString &key)
{
    const qsizetype slash = key.indexOf(QLatin1Char('/'));
    return (slash <= 0 || slash == key.size() - 1) ? -1 : slash;
}

} // namespace

IniParseResult parseIni(const QByteArray &bytes)
{
    IniParseResult result;
    const QString text = decodeText(bytes);
    QHash<QString, qsizetype> index;
    QString section;
    qsizetype lineNo = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).sliced(start, end - start);
        start = end + 1;
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView t = trimUnescaped(line);
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
            continue;
        if (t.startsWith(QLatin1Char('['))) {
            if (!t.endsWith(QLatin1Char(']')) || t.size() < 2) {
                result.warnings << QStringLiteral("line %1: unterminated section name").arg(lineNo);
                continue;
            }
            section = unescape(trimUnescaped(t.sliced(1, t.size() - 2)));
            continue;
        }
        const qsizetype eq = findSeparator(t);
        if (eq <= 0) {
            result.warnings << QStringLiteral("line %1: not a key=value line").arg(lineNo);
            continue;
        }
        const QString name = unescape(trimUnescaped(t.first(eq)));
        if (name.isEmpty()) {
            result.warnings << QStringLiteral("line %1: empty key").arg(lineNo);
            continue;
        }
        const QString value = unescape(trimUnescaped(t.sliced(eq + 1)));
        // Names may hold '/' only escaped; the group separator is the section boundary.
        const QString key = section.isEmpty() ? name : section + QLatin1Char('/') + name;
        const auto it = index.constFind(key);
        if (it != index.cend()) {
            result.entries[*it].value = value;
        } else {
            index.insert(key, result.entries.size());
            result.entries.append({key, value});
        }
        if (start > text.size())
            break;
    }
    return result;
}

QByteArray writeIni(const QList<IniEntry> &entries)
{
    // Group by section, keeping the order of first appearance.
    QList<QString> sections;
    QHash<QString, QList<const IniEntry *>> bySection;
    for (const IniEntry &e : entries) {
        const qsizetype slash = sectionEnd(e.key);
        const QString section = slash < 0 ? QString() : e.key.left(slash);
        if (!bySection.contains(section))
            sections.append(section);
        bySection[section].append(&e);
    }
    // Entries outside any section must come before the first section header.
    if (sections.removeOne(QString()))
        sections.prepend(QString());

    QString out;
    for (const QString &section : sections) {
        if (!section.isEmpty()) {
            if (!out.isEmpty())
                out += QLatin1String("\r\n");
            out += QLatin1Char('[') + escape(section, true) + QLatin1String("]\r\n");
        }
        for (const IniEntry *e : bySection.value(section)) {
            const qsizetype slash = sectionEnd(e->key);
            const QString name = slash < 0 ? e->key : e->key.mid(slash + 1);
            out += escape(name, true) + QLatin1Char('=') + escape(e->value, false) + QLatin1String("\r\n");
        }
    }
    return out.toUtf8();
}

} // namespace orvane
