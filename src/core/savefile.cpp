#include "core/savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <unistd.h>
#endif

namespace orvane {

namespace {

// Writes all bytes and syncs them to disk. Empty, or the reason it failed.
QString writeAll(QSaveFile &out, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    // Through the descriptor, so that a failed write is seen here with the system's error
    // number rather than lost in QSaveFile's buffer.
    const int fd = out.handle();
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return systemErrorText(errno);
        }
        if (n == 0)
            return systemErrorText(EIO);
        data += n;
        left -= n;
    }
    // A file system that keeps writes back (network folders, some FUSE ones) reports a full
    // disk here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        return systemErrorText(errno);
    return {};
#else
    if (out.write(bytes) != bytes.size() || !out.flush())
        return out.errorString();
    return {};
#endif
}

// The reason of a failed Qt call: the error number it left when there is one, else Qt's text.
QString reasonAfter(int errnum, const QString &qtText)
{
    return errnum != 0 ? systemErrorText(errnum) : qtText;
}

// A second name for an existing file, so that a replaced file can be put back. Empty when the
// file does not exist or the file system has no hard links (then the replacement cannot be undone).
QString keepOldFile(const QString &path)
{
#ifdef Q_OS_UNIX
    if (!QFileInfo(path).isFile())
        return {};
    const QByteArray from = QFile::encodeName(path);
    for (int i = 0; i < 100; ++i) {
        const QString name = QStringLiteral("%1.old%2~").arg(path).arg(i);
        if (::link(from.constData(), QFile::encodeName(name).constData()) == 0)
            return name;
        if (errno != EEXIST)
            return {};
    }
#else
    Q_UNUSED(path);
#endif
    return {};
}

} // namespace

QString systemErrorText(int errnum)
{
    switch (errnum) {
    case ENOSPC: return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("超出了磁盘配额");
#endif
    case EROFS: return QStringLiteral("磁盘或文件夹是只读的");
    case EACCES:
    case EPERM: return QStringLiteral("没有写入权限");
    case EIO: return QStringLiteral("磁盘读写出错");
    case EFBIG: return QStringLiteral("文件过大");
    case ENOENT: return QStringLiteral("文件夹不存在");
    case ENOTDIR: return QStringLiteral("路径中有一部分不是文件夹");
    case EISDIR: return QStringLiteral("已有同名的文件夹");
    case ENAMETOOLONG: return QStringLiteral("文件名过长");
    default: return qt_error_string(errnum);
    }
}

QString writeErrorMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入文件“%1”：%2").arg(path, reason);
}

bool saveFiles(const QList<FileContent> &files, QString *error)
{
    const auto fail = [error](const QString &path, const QString &reason) {
        if (error)
            *error = writeErrorMessage(path, reason);
        return false;
    };

    // Every new content complete on disk before the first old file is replaced. A QSaveFile that
    // is destroyed without commit() removes its temporary file.
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const FileContent &f : files) {
        if (QFileInfo(f.path).isDir())
            return fail(f.path, systemErrorText(EISDIR));
        auto out = std::make_unique<QSaveFile>(f.path);
        errno = 0;
        if (!out->open(QIODevice::WriteOnly))
            return fail(f.path, reasonAfter(errno, out->errorString()));
        const QString why = writeAll(*out, f.bytes);
        if (!why.isEmpty())
            return fail(f.path, why);
        pending.push_back(std::move(out));
    }

    // With several files the old ones are kept under a second name until all are replaced.
    struct Old {
        bool existed = false;
        QString kept;
    };
    std::vector<Old> old(pending.size());
    if (files.size() > 1) {
        for (std::size_t i = 0; i < old.size(); ++i) {
            old[i].existed = QFileInfo::exists(files[qsizetype(i)].path);
            old[i].kept = keepOldFile(files[qsizetype(i)].path);
        }
    }
    const auto dropKept = [&old] {
        for (const Old &o : old) {
            if (!o.kept.isEmpty())
                QFile::remove(o.kept);
        }
    };

    for (std::size_t i = 0; i < pending.size(); ++i) {
        errno = 0;
        if (pending[i]->commit())
            continue;
        const QString reason = reasonAfter(errno, pending[i]->errorString());
        for (std::size_t j = 0; j < i; ++j) {
            const QString &path = files[qsizetype(j)].path;
            if (!old[j].existed)
                QFile::remove(path);
#ifdef Q_OS_UNIX
            else if (!old[j].kept.isEmpty()
                && ::rename(QFile::encodeName(old[j].kept).constData(), QFile::encodeName(path).constData()) == 0)
                old[j].kept.clear();
#endif
        }
        dropKept();
        return fail(files[qsizetype(i)].path, reason);
    }
    dropKept();
    return true;
}

bool saveFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return saveFiles({{path, bytes}}, error);
}

} // namespace orvane
