#include "prepare/externallibs.h"

#include "core/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orvane {

struct ExternalLibs::Api {
    int32_t (*divideSentence)(const char *, const char *, char *) = nullptr;
    int16_t (*getItemCode)(const char *, char *, int16_t) = nullptr;
    void (*convert)(const char *, char *, int16_t) = nullptr;
    int16_t (*addWord)(const char *, const char *) = nullptr;
    int32_t (*lastError)(char *, int32_t) = nullptr;
    int32_t (*checkData)(const char *) = nullptr;
    void (*convertAdaptor)(const char *, int16_t, int16_t, char *) = nullptr;
    int16_t (*addProfessionCi)(const char16_t *, const char16_t *, const char16_t *, const char16_t *) = nullptr;
};

ExternalLibs::ExternalLibs() = default;
ExternalLibs::~ExternalLibs() = default; // QLibrary keeps the libraries loaded for the process

QStringList ExternalLibs::defaultFolders()
{
    return InstalledFolders::ofThisProcess().libraries;
}

namespace {

bool load(QLibrary &lib, const QString &name, const QStringList &folders, QString *foundIn, QString *error)
{
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        lib.setFileName(path);
        if (!lib.load()) {
            if (error)
                *error = QStringLiteral("cannot load %1: %2").arg(path, lib.errorString());
            return false;
        }
        if (foundIn)
            *foundIn = QDir(folder).absolutePath();
        return true;
    }
    if (error)
        *error =
            QStringLiteral("the library %1 was not found (looked in %2)").arg(name, folders.join(QStringLiteral(", ")));
    return false;
}

template <typename F> bool resolve(QLibrary &lib, const char *symbol, F *out, QString *error)
{
    *out = reinterpret_cast<F>(lib.resolve(symbol));
    if (!*out && error)
        *error = QStringLiteral("%1 has no function %2").arg(lib.fileName(), QString::fromLatin1(symbol));
    return *out != nullptr;
}

} // namespace

bool ExternalLibs::open(const QStringList &folders, const QString &dataFolder, QString *error)
{
    m_api.reset();
    auto api = std::make_unique<Api>();
    QString talvexFolder;
    if (!load(m_talvex, QStringLiteral("libtalvex.so"), folders, &talvexFolder, error)
        || !load(m_morrin, QStringLiteral("libmorrin.so"), folders, nullptr, error)
        || !load(m_quenlor, QStringLiteral("libquenlor.so"), folders, nullptr, error))
        return false;
    if (!resolve(m_talvex, "DivideSentence", &api->divideSentence, error)
        || !resolve(m_talvex, "GetItemCode", &api->getItemCode, error)
        || !resolve(m_talvex, "Convert", &api->convert, error) || !resolve(m_talvex, "AddWord", &api->addWord, error)
        || !resolve(m_talvex, "TalvexLastError", &api->lastError, error)
        || !resolve(m_talvex, "TalvexCheckData", &api->checkData, error)
        || !resolve(m_morrin, "ConvertAdaptor", &api->convertAdaptor, error)
        || !resolve(m_quenlor, "AddAProfessionCi", &api->addProfessionCi, error))
        return false;
    m_api = std::move(api);
    setDataFolder(dataFolder.isEmpty() ? talvexFolder : dataFolder);
    return true;
}

bool ExternalLibs::isOpen() const
{
    return m_api != nullptr;
}

void ExternalLibs::setDataFolder(const QString &folder)
{
    m_dataFolder = folder;
    if (!m_dataFolder.isEmpty() && !m_dataFolder.endsWith(QLatin1Char('/')))
        m_dataFolder += QLatin1Char('/');
}

bool ExternalLibs::divideSentence(const QString &text, QString *marks, QString *error) const
{
    if (!m_api) {
        if (error)
            *error = QStringLiteral("the language libraries are not loaded");
        return false;
    }
    // A NUL would end the C string early; it is a symbol like any control character.
    QString safe = text;
    safe.replace(QChar(u'\0'), QChar(u' '));
    QByteArray buffer(safe.size(), '\0');
    const QByteArray folder = QFile::encodeName(m_dataFolder);
    const int32_t n = m_api->divideSentence(folder.constData(), safe.toUtf8().constData(), buffer.data());
    if (n < 0) {
        if (error)
            *error = lastError();
        return false;
    }
    *marks = QString::fromLatin1(buffer);
    return true;
}

bool ExternalLibs::checkData(QString *error) const
{
    if (!m_api) {
        if (error)
            *error = QStringLiteral("the language libraries are not loaded");
        return false;
    }
    const QByteArray folder = QFile::encodeName(m_dataFolder);
    if (m_api->checkData(folder.constData()) != 0) {
        if (error)
            *error = lastError();
        return false;
    }
    return true;
}

int ExternalLibs::getItemCode(const QString &item, QByteArray *buffer) const
{
    QByteArray code(6, ' ');
    if (!m_api)
        return -1;
    const int result = m_api->getItemCode(item.toUtf8().constData(), code.data(), 100);
    if (buffer)
        *buffer = code;
    return result;
}

QString ExternalLibs::convert(const QString &word) const
{
    if (!m_api)
        return {};
    QByteArray code(10, '\0');
    m_api->convert(word.toUtf8().constData(), code.data(), 10);
    return QString::fromLatin1(code.constData()); // up to the NUL
}

QString ExternalLibs::convertAdaptor(const QString &word, int flag) const
{
    if (!m_api)
        return {};
    QByteArray code(10, '0');
    m_api->convertAdaptor(
        word.toUtf8().constData(), static_cast<int16_t>(word.size()), static_cast<int16_t>(flag), code.data());
    return QString::fromLatin1(code.constData(), static_cast<int>(qstrnlen(code.constData(), 10)));
}

int ExternalLibs::addWord(const QString &code, const QString &word) const
{
    if (!m_api)
        return -1;
    return m_api->addWord(code.toUtf8().constData(), word.toUtf8().constData());
}

int ExternalLibs::addProfessionWord(
    const QString &word, const QString &code, const QString &category, const QString &source) const
{
    if (!m_api)
        return -1;
    return m_api->addProfessionCi(reinterpret_cast<const char16_t *>(word.utf16()),
        reinterpret_cast<const char16_t *>(code.utf16()), reinterpret_cast<const char16_t *>(category.utf16()),
        reinterpret_cast<const char16_t *>(source.utf16()));
}

QString ExternalLibs::lastError() const
{
    if (!m_api)
        return QStringLiteral("the language libraries are not loaded");
    char buffer[1024] = {};
    m_api->lastError(buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

} // namespace orvane
