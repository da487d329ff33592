#include "prepare/frmopenfile.h"

#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "prepare/symbolfilters.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

namespace {

const QString kTooShort = QStringLiteral("此文件中的汉字太少，不适于进行分词测试！");
const QString kChooseFirst = QStringLiteral("请先选择文件再打开！");

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
    m_fileChosen = false;
}

void frmOpenFile::cmdSelectFile_Click()
{
    const QString path = m_ctx.prompts->openFile(QStringLiteral("打开测试文件"), QDir::homePath(),
                                                 QStringLiteral("文本文件(*.txt)"));
    if (path.isEmpty())
        return;
    loadFile(path);
}

void frmOpenFile::loadFile(const QString &path)
{
    const Preview preview = loadPreview(path);
    switch (preview.status) {
    case PreviewStatus::Accepted:
        txtFileContent->setPlainText(preview.text);
        m_fileChosen = true;
        break;
    case PreviewStatus::TooShort:
        m_ctx.prompts->message(kTooShort, promptTitle(), MessageIcon::Exclamation);
        txtFileContent->clear();
        m_fileChosen = false;
        break;
    case PreviewStatus::NotText:
        // Nothing of the dialog changes: the file is no text at all.
        m_ctx.prompts->message(QStringLiteral("“%1”不是文本文件，无法打开！").arg(QDir::toNativeSeparators(path)),
                               promptTitle(), MessageIcon::Exclamation);
        break;
    case PreviewStatus::Unreadable:
        m_ctx.prompts->message(QStringLiteral("无法读取文件“%1”：%2").arg(QDir::toNativeSeparators(path), preview.detail),
                               promptTitle(), MessageIcon::Exclamation);
        break;
    }
}

std::function<void(int, int)> frmOpenFile::progressSink()
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
    if (!m_fileChosen) {
        m_ctx.prompts->message(kChooseFirst, promptTitle(), MessageIcon::Exclamation);
        return;
    }
    const QString preview = txtFileContent->toPlainText();
    if (!m_ctx.libs) {
        m_ctx.prompts->message(QStringLiteral("分词程序库未能加载，无法对文章进行分词！"), promptTitle(),
                               MessageIcon::Critical);
        return;
    }
    QString marks;
    QString error;
    if (!m_ctx.libs->divideSentence(preview, &marks, &error)) {
        m_ctx.prompts->message(QStringLiteral("分词失败：%1").arg(error), promptTitle(), MessageIcon::Critical);
        return;
    }
    // Without the code data the text still opens, but codes of words the database lacks and of
    // custom words are missing: the user is told why, as for a missing code database.
    if (!m_ctx.libs->checkData(&error))
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);

    OpenOptions options;
    options.filterSymbols = chkUseFilter->isChecked();
    options.filterAlpha = chkAlpha->isChecked();
    if (options.filterSymbols) {
        options.symbols = filterSymbols(filterEntriesForOpening(m_ctx.folder));
    }
    const PreparedText prepared = prepareText(preview, marks, options);
    if (m_target.document().OpenForEditor)
        openForEditor(prepared);
    else
        openForTest(prepared);
    accept();
}

namespace {

} // namespace

void frmOpenFile::openForTest(const PreparedText &prepared)
{
    QTextEdit *view = m_target.textView();
    TestDocument &doc = m_target.document();
    doc.CharMarks = prepared.marks;
    setViewText(view, prepared.text);
    m_target.textOpenedForTest(m_ctx.settings.NeedSegmentation);
    doc.AlphaCount = 0;
    const RenderCounts counts = RenderTestView(*view->document(), doc.CharMarks, m_ctx.settings,
                                               m_ctx.codes().shortCodeLookup(), progressSink());
    doc.HanziCount = counts.HanziCount;
    doc.SymbolCount = counts.SymbolCount;
    doc.AlphaCount = counts.AlphaCount;
    QFile::remove(m_ctx.folder.file(QStringLiteral("temp.zh")));
}

void frmOpenFile::openForEditor(const PreparedText &prepared)
{
    const PreparedText spaced = spacedForm(prepared);
    QTextEdit *view = m_target.textView();
    view->clear();
    m_target.textOpeningForEditor();
    TestDocument &doc = m_target.document();
    doc.CharMarks = spaced.marks;
    setViewText(view, spaced.text);
    doc.EditorBaseText = view->toPlainText();
    RenderEditorView(*view->document(), doc.CharMarks, m_ctx.settings, m_ctx.codes().shortCodeLookup(),
                     progressSink());
    doc.HanziCount = 0;
    doc.SymbolCount = 0;
    if (!view->toPlainText().isEmpty())
        view->setVisible(true);
}

void frmOpenFile::cmdExit_Click()
{
    reject();
}

} // namespace orvane
