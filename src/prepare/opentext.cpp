#include "prepare/opentext.h"

#include "prepare/externallibs.h"
#include "prepare/symbolfilters.h"

#include <QDir>

namespace orvane {

TextCounts countMarks(const QString &marks)
{
    TextCounts counts;
    counts.SymbolCount = int(marks.count(u'2'));
    counts.AlphaCount = int(marks.count(u'4'));
    counts.HanziCount = int(marks.size()) - counts.SymbolCount - counts.AlphaCount;
    return counts;
}

OpenedText openedWithMarks(const QString &text, const QString &marks)
{
    OpenedText opened;
    opened.text = text;
    opened.marks = marks;
    opened.counts = countMarks(marks);
    return opened;
}

QString OpenError::message() const
{
    const QString file = QDir::toNativeSeparators(path);
    switch (failure) {
    case OpenFailure::NothingChosen: return QStringLiteral("请先选择文件再打开！");
    case OpenFailure::TooShort: return QStringLiteral("此文件中的汉字太少，不适于进行分词测试！");
    case OpenFailure::NotText: return QStringLiteral("“%1”不是文本文件，无法打开！").arg(file);
    case OpenFailure::Unreadable: return QStringLiteral("无法读取文件“%1”：%2").arg(file, detail);
    case OpenFailure::NoSegmenter: return QStringLiteral("分词程序库未能加载，无法对文章进行分词！");
    case OpenFailure::SegmentationFailed: return QStringLiteral("分词失败：%1").arg(detail);
    }
    return {};
}

bool OpenError::critical() const
{
    return failure == OpenFailure::NoSegmenter || failure == OpenFailure::SegmentationFailed;
}

std::optional<OpenError> previewError(const Preview &preview, const QString &path)
{
    switch (preview.status) {
    case PreviewStatus::Accepted: return std::nullopt;
    case PreviewStatus::NothingChosen: return OpenError{OpenFailure::NothingChosen, path, {}};
    case PreviewStatus::TooShort: return OpenError{OpenFailure::TooShort, path, {}};
    case PreviewStatus::NotText: return OpenError{OpenFailure::NotText, path, preview.detail};
    case PreviewStatus::Unreadable: return OpenError{OpenFailure::Unreadable, path, preview.detail};
    }
    return std::nullopt;
}

namespace {

std::nullopt_t fail(OpenError *error, OpenFailure failure, const QString &detail = {})
{
    if (error)
        *error = OpenError{failure, {}, detail};
    return std::nullopt;
}

} // namespace

std::optional<OpenedText> openPreview(const Preview &preview, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error)
{
    if (preview.status != PreviewStatus::Accepted)
        return fail(error, OpenFailure::NothingChosen);
    if (!libs || !libs->isOpen())
        return fail(error, OpenFailure::NoSegmenter);
    QString marks;
    QString why;
    if (!libs->divideSentence(preview.text, &marks, &why))
        return fail(error, OpenFailure::SegmentationFailed, why);

    OpenedText opened;
    opened.target = request.target;
    // Without the code data the text still opens, but codes of words the database lacks and of
    // custom words are missing: the user is told why.
    libs->checkData(&opened.warning);

    OpenOptions options;
    options.filterSymbols = request.filterSymbols;
    options.filterAlpha = request.filterAlpha;
    if (options.filterSymbols)
        options.symbols = filterSymbols(filterEntries);
    PreparedText prepared = prepareText(preview.text, marks, options);
    // A text with no Chinese word left (only punctuation, or only letters and digits that the
    // filters removed) has nothing to type with the input method: refused like a short text.
    if (!prepared.marks.contains(u'0') && !prepared.marks.contains(u'1'))
        return fail(error, OpenFailure::TooShort);
    if (request.target == OpenTarget::Editor) {
        prepared = spacedForm(prepared);
    } else {
        opened.counts = countMarks(prepared.marks);
    }
    opened.text = std::move(prepared.text);
    opened.marks = std::move(prepared.marks);
    return opened;
}

namespace {

std::optional<OpenedText> openLoaded(const Preview &preview, const QString &path, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error)
{
    if (std::optional<OpenError> refused = previewError(preview, path)) {
        if (error)
            *error = *refused;
        return std::nullopt;
    }
    std::optional<OpenedText> opened = openPreview(preview, request, filterEntries, libs, error);
    if (!opened && error)
        error->path = path;
    return opened;
}

} // namespace

std::optional<OpenedText> openTextBytes(const QByteArray &bytes, const QString &path, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error)
{
    return openLoaded(loadPreview(bytes), path, request, filterEntries, libs, error);
}

std::optional<OpenedText> openTextFile(const QString &path, const OpenRequest &request,
    const QStringList &filterEntries, const ExternalLibs *libs, OpenError *error)
{
    return openLoaded(loadPreview(path), path, request, filterEntries, libs, error);
}

} // namespace orvane
