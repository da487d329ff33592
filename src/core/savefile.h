// Files replaced as a whole.
//
// Every file the program writes goes through saveFiles: the new content goes to a temporary file
// beside its target, is written out with the system's write calls and synced to disk, and only
// when every new content is complete on disk do the temporary files replace the old ones. A full
// disk, a read-only folder or a failed sync therefore leaves the old files as they were, and the
// caller gets the file name and the system's reason ("磁盘空间不足") for the user.
//
// QSaveFile alone is not enough: Qt 6.4's commit() renames over the old file even when flushing
// its write buffer failed, which leaves an empty or truncated file behind and reports success.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace orvane {

// The reason for a system error number, in words for the user: Chinese for the errors a
// learner can meet (full disk, read-only folder, missing permission), else the system's text.
QString systemErrorText(int errnum);

// "无法写入文件“path”：reason", the message of every failed write.
QString writeErrorMessage(const QString &path, const QString &reason);

struct FileContent {
    QString path;
    QByteArray bytes;
};

// Replaces the files with the given contents, all or nothing: when any of them cannot be written
// or cannot replace its old file, the files that were already replaced get their old content back
// (files that did not exist before are removed again) and *error says which file failed and why.
bool saveFiles(const QList<FileContent> &files, QString *error);

bool saveFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace orvane
