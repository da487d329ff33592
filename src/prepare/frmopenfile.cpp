#include "prepare/frmopenfile.h"

#include "core/workfiles.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "prepare/symbolfilters.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <memory>

namespace orvane {

namespace {
// The time between two drawings of the progress bar during a long rendering pass.
constexpr qint64 kProgressIntervalMs = 50;
} // namespace

void setViewText(QTextEdit *view, const QString &text)
{
    // A CR would join a following LF into one block separator: make each its own.
    QString oneEach = text;
    oneEach.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    view->clear();
    // QTextEdit gives a new plain text the format of its cursor, which may still be that of the
    // old text (the highlighted character of a test, a short-code underline or a font of an example):
    // the new text starts from a plain format, the renderer gives it its own.
    view->setCurrentCharFormat(QTextCharFormat());
    view->setPlainText(oneEach);
}

frmOpenFile::frmOpenFile(AppContext &ctx, OpenTextTarget &target, QWidget *parent)
    : QDialog(parent), lblFileContent(new QLabel(QStringLiteral("文件内容："), this)),
      txtFileContent(new QPlainTextEdit(this)), cmdSelectFile(new QPushButton(QStringLiteral("选择文件(&S)…"), this)),
      chkUseFilter(new QCheckBox(QStringLiteral("过滤符号"), this)),
      chkAlpha(new QCheckBox(QStringLiteral("过滤字母与数字"), this)),
      chkUserDefMb(new QCheckBox(QStringLiteral("使用自定义码本"), this)), prgBar(new QProgressBar(this)),
      cmdOpenFile(new QPushButton(QStringLiteral("打开(&O)"), this)),
      cmdExit(new QPushButton(QStringLiteral("退出(&X)"), this)), m_ctx(ctx), m_target(target)
{
    setObjectName(QStringLiteral("frmOpenFile"));
    setWindowTitle(QStringLiteral("打开测试文件"));
    lblFileContent->setObjectName(QStringLiteral("lblFileContent"));
    txtFileContent->setObjectName(QStringLiteral("txtFileContent"));
    cmdSelectFile->setObjectName(QStringLiteral("cmdSelectFile"));
    chkUseFilter->setObjectName(QStringLiteral("chkUseFilter"));
    chkAlpha->setObjectName(QStringLiteral("chkAlpha"));
    chkUserDefMb->setObjectName(QStringLiteral("chkUserDefMb"));
    prgBar->setObjectName(QStringLiteral("prgBar"));
    cmdOpenFile->setObjectName(QStringLiteral("cmdOpenFile"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    // The preview: read-only, without caret and without context menu.
    txtFileContent->setReadOnly(true);
    txtFileContent->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtFileContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtFileContent->setCursorWidth(0);
    new ContextMenuGuard(txtFileContent);
    QFont previewFont = txtFileContent->font();
    previewFont.setPointSizeF(previewFont.pointSizeF() * 1.2);
    txtFileContent->setFont(previewFont);

    chkAlpha->setChecked(true); // designed state
    chkUserDefMb->setVisible(false);
    prgBar->setTextVisible(false);
    prgBar->setValue(0);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdSelectFile);
    buttons->addSpacing(14);
    buttons->addWidget(chkUseFilter);
    buttons->addWidget(chkAlpha);
    buttons->addWidget(chkUserDefMb);
    buttons->addStretch();
    buttons->addWidget(cmdOpenFile);
    buttons->addWidget(cmdExit);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(14);
    grid->addWidget(lblFileContent, 0, 0);
    grid->addWidget(txtFileContent, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(prgBar, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    resize(680, 460);

    connect(cmdSelectFile, &QPushButton::clicked, this, &frmOpenFile::cmdSelectFile_Click);
    connect(cmdOpenFile, &QPushButton::clicked, this, &frmOpenFile::cmdOpenFile_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmOpenFile::cmdExit_Click);

    applyWindowPictures(this, m_ctx.folder);
    Form_Load();
}

void frmOpenFile::Form_Load()
{
    centerOnScreen(this);
    chkUseFilter->setChecked(true);
    m_preview = Preview();
}

void frmOpenFile::cmdSelectFile_Click()
{
    const QString path =
        m_ctx.prompts->openFile(QStringLiteral("打开测试文件"), QDir::homePath(), QStringLiteral("文本文件(*.txt)"));
    if (path.isEmpty())
        return;
    loadFile(path);
}

void frmOpenFile::tell(const OpenError &error)
{
    m_ctx.prompts->message(
        error.message(), promptTitle(), error.critical() ? MessageIcon::Critical : MessageIcon::Exclamation);
}

void frmOpenFile::loadFile(const QString &path)
{
    m_path = path;
    Preview preview = loadPreview(path);
    if (const std::optional<OpenError> refused = previewError(preview, path)) {
        tell(*refused);
        // A text too short clears the preview; a file that is no text or cannot be read changes
        // nothing of the dialog.
        if (refused->failure == OpenFailure::TooShort) {
            txtFileContent->clear();
            m_preview = Preview();
        }
        return;
    }
    txtFileContent->setPlainText(preview.text);
    m_preview = std::move(preview);
}

RenderProgress frmOpenFile::progressSink()
{
    // A pass over a text of 2,000 characters takes a few milliseconds: the bar is drawn only
    // when a pass runs long enough for the learner to wait (a slow machine, a slow disk under
    // the code database), then every kProgressIntervalMs, never for every word. Setting a value
    // repaints the bar at once, so no value is set between two drawings either.
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto shownAt = std::make_shared<qint64>(0);
    return [this, clock, shownAt](int value, int maximum) {
        if (!isVisible())
            return;
        const qint64 now = clock->elapsed();
        if (now - *shownAt < kProgressIntervalMs)
            return;
        *shownAt = now;
        if (prgBar->maximum() != maximum) {
            prgBar->setMinimum(1);
            prgBar->setMaximum(maximum);
        }
        prgBar->setValue(value);
        prgBar->repaint();
    };
}

void frmOpenFile::cmdOpenFile_Click()
{
    OpenRequest request;
    request.filterSymbols = chkUseFilter->isChecked();
    request.filterAlpha = chkAlpha->isChecked();
    request.target = m_target.document().OpenForEditor ? OpenTarget::Editor : OpenTarget::TestWindow;
    // filter.dat is read (and first written) only when the symbols are filtered.
    const QStringList entries =
        request.filterSymbols && fileChosen() ? filterEntriesForOpening(m_ctx.folder) : QStringList();
    OpenError error;
    const std::optional<OpenedText> opened = openPreview(m_preview, request, entries, m_ctx.libs, &error);
    if (!opened) {
        tell(error);
        return;
    }
    if (!opened->warning.isEmpty())
        m_ctx.prompts->message(opened->warning, promptTitle(), MessageIcon::Exclamation);
    OpenedText named = *opened;
    named.name = QFileInfo(m_path).fileName();
    m_target.applyOpenedText(named, progressSink());
    accept();
}

void showOpenedText(AppContext &ctx, QTextEdit *view, const OpenedText &opened, const RenderProgress &progress)
{
    setViewText(view, opened.text);
    const ShortCodeLookup lookup = ctx.codes().shortCodeLookup();
    if (opened.target == OpenTarget::Editor)
        RenderEditorView(*view->document(), opened.marks, ctx.settings, lookup, progress);
    else
        RenderTestView(*view->document(), opened.marks, ctx.settings, lookup, progress);
}

void frmOpenFile::cmdExit_Click()
{
    reject();
}

} // namespace orvane
