// The language libraries libtalvex, libmorrin and libquenlor, loaded at run time from the
// program folder, with their buffers prepared as the program has always prepared them:
// a marks buffer of NULs as long as the text (UTF-16 units), a code buffer of six blanks passed
// with size 100, a buffer of ten NULs for Convert and of ten '0' for ConvertAdaptor.
#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace orvane {

class ExternalLibs {
public:
    ExternalLibs();
    ~ExternalLibs();
    ExternalLibs(const ExternalLibs &) = delete;
    ExternalLibs &operator=(const ExternalLibs &) = delete;

    // The executable's folder, then the installed library folder.
    static QStringList defaultFolders();

    // Loads the three libraries from the first folder holding each. The data folder given to
    // DivideSentence is dataFolder, or when empty the folder libtalvex was found in. On failure
    // returns false and sets *error to a message naming the library that is missing or broken.
    bool open(
        const QStringList &folders = defaultFolders(), const QString &dataFolder = QString(), QString *error = nullptr);
    bool isOpen() const;

    QString dataFolder() const { return m_dataFolder; }
    void setDataFolder(const QString &folder);

    // One mark per UTF-16 unit of text ('0'/'1' words, '2' symbols, '4' Latin and digits).
    // On failure (data missing) returns false and sets *error to the library's message.
    bool divideSentence(const QString &text, QString *marks, QString *error = nullptr) const;

    // Whether both data files of the libraries (the segmentation dictionary and the code data)
    // are found and load; when not, *error names the file. Segmentation works without the code
    // data, so its absence is found here and not by divideSentence.
    bool checkData(QString *error = nullptr) const;

    // GetItemCode as the program calls it; returns its result (1 code, 0 / -1 none) and puts the
    // buffer, blanks included, into *buffer.
    int getItemCode(const QString &item, QByteArray *buffer) const;

    // Convert: the code the word rule proposes; empty when none.
    QString convert(const QString &word) const;
    // ConvertAdaptor: the code for a custom word; empty when none.
    QString convertAdaptor(const QString &word, int flag = 0) const;

    // AddWord: 0 added, 1 already present, -1 the custom dictionary could not be opened.
    int addWord(const QString &code, const QString &word) const;
    // AddAProfessionCi: 1 added, anything else not added.
    int addProfessionWord(const QString &word, const QString &code, const QString &category = QStringLiteral("其它"),
        const QString &source = QStringLiteral("来自分词软件")) const;

    // The last message of libtalvex in this thread.
    QString lastError() const;

private:
    struct Api;
    std::unique_ptr<Api> m_api;
    QLibrary m_talvex;
    QLibrary m_morrin;
    QLibrary m_quenlor;
    QString m_dataFolder;
};

} // namespace orvane
