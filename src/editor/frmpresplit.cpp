#include "editor/frmpresplit.h"

#include "core/workfiles.h"
#include "editor/customwords.h"
#include "editor/dlgzdywordlist.h"
#include "prepare/codedictionary.h"
#include "prepare/render.h"
#include "prepare/textforms.h"
#include "prepare/wordwrap.h"
#include "segtest/examplefiles.h"
#include "shell/formparts.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace orvane {

namespace {

const QString kModify = QStringLiteral("修    改");
const QString kModifying = QStringLiteral("修 改 中");
const QString kWelcome = QStringLiteral("欢迎使用分词结果处理");

} // namespace

frmPreSplit::frmPreSplit(AppContext &ctx, QWidget *parent)
    : LargeForm("frmPreSplit", QStringLiteral("分词结果处理 "), QSize(680, 540), parent), m_ctx(ctx)
{
    buildControls();
}

frmPreSplit::~frmPreSplit() = default;

void frmPreSplit::buildControls()
{
    cmdFile = addColumnButton("cmdFile", QStringLiteral("打开文件"), 840);
    cmdModify = addColumnButton("cmdModify", kModify, 1800);
    cmdUndo = addColumnButton("cmdUndo", QStringLiteral("撤    消"), 2760);
    cmdReset = addColumnButton("cmdReset", QStringLiteral("还    原"), 3720);
    cmdSave = addColumnButton("cmdSave", QStringLiteral("保存结果"), 4680);
    cmdExit = addColumnButton("cmdExit", QStringLiteral("退    出"), 5640);
    cmdCustomWords = addColumnButton("cmdCustomWords", QStringLiteral("自定义词"), 6600);
    cmdCustomWords->setToolTip(QStringLiteral("查看或删除已加入的自定义词"));
    cmdFile->setToolTip(QStringLiteral("打开一个文本文件，系统分词后以词的形式显示出来"));
    cmdModify->setToolTip(QStringLiteral("开始或结束修改：增删词与词之间的空格即可改变分词"));
    cmdUndo->setToolTip(QStringLiteral("撤消最近一次修改"));
    cmdReset->setToolTip(QStringLiteral("回到打开文件时的分词结果"));
    cmdSave->setToolTip(QStringLiteral("把分词结果保存为分词例文"));

    txtMain = new QTextEdit(this);
    txtMain->setObjectName(QStringLiteral("txtMain"));
    txtMain->setGeometry(textViewGeometry());
    txtMain->setReadOnly(true);
    txtMain->setAcceptRichText(false);
    styleTextView(txtMain, 18);
    txtMain->document()->setDocumentMargin(10);
    // Lines end at the blanks between words only, never inside a word.
    wrapAtWords(txtMain->document(), lineStartsAfterBlanks(txtMain->document()));
    txtMain->installEventFilter(this);

    lblPreSplit = addWelcome("lblPreSplit", QStringLiteral("欢迎进入分词结果处理！"), QRect(720, 600, 7050, 960),
        QRect(960, 840, 6570, 735), QRect(720, 2160, 7050, 3600));

    addStatusBar(2);
    setPanelText(1, kWelcome);
    setPanelText(2, QStringLiteral("空格：词与词的分界"));

    connect(cmdFile, &QPushButton::clicked, this, &frmPreSplit::cmdFile_Click);
    connect(cmdModify, &QPushButton::clicked, this, &frmPreSplit::cmdModify_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmPreSplit::cmdUndo_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmPreSplit::cmdReset_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmPreSplit::cmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmPreSplit::cmdExit_Click);
    connect(cmdCustomWords, &QPushButton::clicked, this, [this] {
        if (m_ctx.showCustomWords)
            m_ctx.showCustomWords(this);
    });
}

bool frmPreSplit::Form_Load()
{
    if (!loadFrame(m_ctx))
        return false;
    for (QPushButton *b : {cmdModify, cmdUndo, cmdSave, cmdReset})
        b->setEnabled(false);
    cmdCustomWords->setVisible(bool(m_ctx.showCustomWords));
    m_doc.OpenForEditor = true;
    if (m_ctx.store)
        LoadUserSettings(*m_ctx.store, m_ctx.settings);

    setTips(QStringLiteral(
                "     本单元提供分词结果处理功能。系统对用户打开的文本文件进行分词后，把文件内容以词的形式显示出来，"
                "用户可以对系统的分词结果进行修改，并保存为\"分词例文\"，然后在\"分词测试\"部分打开所保存的分词例文，"
                "进行分词测试。"),
        QStringLiteral(
            "    系统自动检测出用户自定义词语，进行编码并允许用户修改编码，然后自动把自定义词加入到自定义词库中。"));
    txtMain->setVisible(false);

    openEnlarged();
    return true;
}

// --- opening --------------------------------------------------------------------------------

void frmPreSplit::cmdFile_Click()
{
    const Qt::WindowStates state = windowState();
    frmOpenFile dialog(m_ctx, *this, this);
    if (dialog.exec() == QDialog::Accepted) {
        // Colouring the text was no edit of the user's.
        txtMain->document()->clearUndoRedoStacks();
        if (txtMain->isVisible())
            txtMain->raise();
    }
    setWindowState(state);
}

void frmPreSplit::applyOpenedText(const OpenedText &opened, const RenderProgress &progress)
{
    txtMain->clear();
    cmdModify->setEnabled(true);
    cmdUndo->setEnabled(true);
    cmdModify->setText(kModify);
    txtMain->setReadOnly(true);
    cmdSave->setEnabled(true);
    cmdReset->setEnabled(false);
    m_doc.takeText(opened);
    showOpenedText(m_ctx, txtMain, opened, progress);
    m_doc.EditorBaseText = txtMain->toPlainText();
    if (!txtMain->toPlainText().isEmpty())
        txtMain->setVisible(true);
}

// --- editing --------------------------------------------------------------------------------

void frmPreSplit::cmdModify_Click()
{
    if (cmdModify->text() == kModify) {
        cmdModify->setText(kModifying);
        txtMain->setReadOnly(false);
        if (txtMain->isVisible())
            txtMain->setFocus();
    } else {
        cmdModify->setText(kModify);
        txtMain->setReadOnly(true);
    }
}

void frmPreSplit::txtMain_KeyPress()
{
    if (txtMain->isReadOnly())
        return;
    cmdSave->setEnabled(true);
    cmdReset->setEnabled(true);
}

bool frmPreSplit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtMain) {
        if (event->type() == QEvent::KeyPress)
            txtMain_KeyPress();
        else if (event->type() == QEvent::InputMethod
            && !static_cast<QInputMethodEvent *>(event)->commitString().isEmpty())
            txtMain_KeyPress(); // a character typed through the input method
    }
    return QDialog::eventFilter(watched, event);
}

void frmPreSplit::cmdUndo_Click()
{
    txtMain->document()->undo();
}

void frmPreSplit::cmdReset_Click()
{
    const QString text = txtMain->toPlainText();
    if (textEqual(text, m_doc.EditorBaseText))
        return;
    setViewText(txtMain, m_doc.EditorBaseText);
    drawView();
}

void frmPreSplit::drawView()
{
    RenderEditorView(*txtMain->document(), m_doc.CharMarks, m_ctx.settings, m_ctx.codes().shortCodeLookup());
    m_doc.HanziCount = 0;
    m_doc.SymbolCount = 0;
    txtMain->document()->clearUndoRedoStacks();
}

// --- saving ---------------------------------------------------------------------------------

void frmPreSplit::cmdSave_Click()
{
    QString path =
        m_ctx.prompts->saveFile(QStringLiteral("保存分词例文"), QDir::homePath(), QStringLiteral("分词例文(*.sav)"));
    Tag.clear();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".sav");
    setPanelText(1, QStringLiteral("正在保存…"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    repaint();
    saveTo(path);
    QApplication::restoreOverrideCursor();
    setPanelText(1, kWelcome);
    repaint();
}

void frmPreSplit::saveTo(const QString &path)
{
    // Without the code database every word would be taken for a symbol.
    if (!m_ctx.requireCodes())
        return;
    CodeDictionary &dict = m_ctx.codes();
    const QString spacedMarks = m_doc.CharMarks;
    // The view as the user sees it, colours included: the marks no longer match a text whose
    // blanks were moved, so drawing it again from them would shift the colours.
    const QTextDocumentFragment shown(txtMain->document());
    const QString spacedText = txtMain->toPlainText();
    const SavedWords words =
        markSavedWords(spacedText, [&dict](const QString &w) { return dict.LookupCodes(w).standard; });
    Tag = candidateTag(words.candidates);

    m_doc.CharMarks = words.marks;
    setViewText(txtMain, words.text);
    drawView();

    if (!Tag.isEmpty() && !Tag.startsWith(QLatin1Char(' '))) {
        QApplication::setOverrideCursor(Qt::ArrowCursor); // the list is worked with the mouse
        dlgZdyWordList list(m_ctx, Tag, this);
        list.exec();
        QApplication::restoreOverrideCursor();
    }

    QString error;
    if (!writeExample(path, *txtMain->document(), m_doc.CharMarks, &error)) {
        // The user's segmentation lives in the blanks: put them back so that the save can be
        // repeated, into another folder for instance.
        m_doc.CharMarks = spacedMarks;
        txtMain->document()->clear();
        QTextCursor(txtMain->document()).insertFragment(shown);
        txtMain->document()->clearUndoRedoStacks();
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_ctx.prompts->message(QStringLiteral("分词例文“%1”未能保存：%2").arg(QDir::toNativeSeparators(path), error),
            promptTitle(), MessageIcon::Critical);
        QApplication::restoreOverrideCursor();
        return;
    }

    cmdSave->setEnabled(false);
    cmdReset->setEnabled(false);
    txtMain->setReadOnly(true);
    cmdModify->setText(kModify);
    cmdModify->setEnabled(false);
    cmdUndo->setEnabled(false);
}

void frmPreSplit::cmdExit_Click()
{
    close();
}

} // namespace orvane
