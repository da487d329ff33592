#include "segtest/frmfctest.h"

#include "core/savefile.h"
#include "core/twips.h"
#include "core/workfiles.h"
#include "editor/dlgaddword.h"
#include "prepare/codedictionary.h"
#include "prepare/externallibs.h"
#include "prepare/render.h"
#include "prepare/richtext.h"
#include "prepare/wordwrap.h"
#include "segtest/dlgresult.h"
#include "segtest/dlgsplitview.h"
#include "segtest/keypath.h"
#include "shell/formparts.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"
#include "teaching/dlgpieces.h"
#include "teaching/mistakebook.h"
#include "teaching/testlessons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QTextEdit>

namespace orvane {

namespace {

const QString kPause = QStringLiteral("暂停测试");
const QString kResume = QStringLiteral("继续测试");

} // namespace

// --- the typing box -------------------------------------------------------------------------

TypingBox::TypingBox(QWidget *parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void TypingBox::empty()
{
    if (isComposing() || text().isEmpty())
        return;
    clear();
}

QSize TypingBox::codeSize() const
{
    // A code has up to six digits; one digit more leaves room for the caret and the margins.
    const QFontMetrics metrics(font());
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize text(metrics.horizontalAdvance(QString(7, QLatin1Char('0'))), metrics.height());
    const QMargins margins = textMargins() + contentsMargins();
    return style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option,
            text + QSize(margins.left() + margins.right() + 4, margins.top() + margins.bottom() + 2), this)
        .expandedTo(QSize(0, sizeHint().height()));
}

void TypingBox::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyDown(event->key());
    QLineEdit::keyPressEvent(event);
}

void TypingBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() || event->preeditString() != m_preedit)
        Q_EMIT composingKey();
    m_preedit = event->preeditString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // The box shows the new composition (a seventh digit commits the first candidate and starts
    // the next code with itself); the committed text goes out a character at a time, so that each
    // is compared and a word counts as one input burst.
    QInputMethodEvent composition(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composition);
    event->accept();
    const QPointer<TypingBox> alive(this);
    Q_EMIT commitArrived(commit);
    for (qsizetype i = 0; i < commit.size() && alive; ++i) {
        qsizetype n = 1;
        if (commit.at(i).isHighSurrogate() && i + 1 < commit.size() && commit.at(i + 1).isLowSurrogate())
            n = 2;
        Q_EMIT committed(commit.mid(i, n));
        i += n - 1;
    }
}

// --- the window -----------------------------------------------------------------------------

frmFcTest::frmFcTest(AppContext &ctx, QWidget *parent)
    : LargeForm("frmFcTest", QStringLiteral("分词测试"), QSize(680, 500), parent), m_ctx(ctx)
{
    buildControls();
    buildMenus();
}

frmFcTest::~frmFcTest()
{
    if (!m_unloaded)
        Form_Unload();
}

void frmFcTest::buildControls()
{
    cmdFile = addColumnButton("cmdFile", QStringLiteral("文   件"), 840);
    CmdStartTest = addColumnButton("CmdStartTest", QStringLiteral("开始测试"), 1680);
    CmdPauTest = addColumnButton("CmdPauTest", kPause, 2530);
    CmdEndTest = addColumnButton("CmdEndTest", QStringLiteral("结束测试"), 3375);
    CmdSetting = addColumnButton("CmdSetting", QStringLiteral("选项设置"), 4220);
    CmdCalc = addColumnButton("CmdCalc", QStringLiteral("统计信息"), 5065);
    CmdQuit = addColumnButton("CmdQuit", QStringLiteral("退   出"), 5910);

    mainText = new QTextEdit(this);
    mainText->setObjectName(QStringLiteral("mainText"));
    mainText->setGeometry(textViewGeometry());
    mainText->setReadOnly(true);
    mainText->setFocusPolicy(Qt::NoFocus);
    mainText->setTextInteractionFlags(Qt::NoTextInteraction);
    mainText->setContextMenuPolicy(Qt::NoContextMenu);
    mainText->setUndoRedoEnabled(false);
    styleTextView(mainText, 20);
    m_run = std::make_unique<TestRun>(
        *mainText->document(), m_ctx.settings, *m_ctx.clock, [this]() -> CodeDictionary & { return m_ctx.codes(); });
    m_run->loadKeyPathTable = [this](QStringView text, QString *error) {
        return loadInstalledKeyPathTable(m_ctx.folder, text, error);
    };
    // Lines end between words only: a line end must not look like a word boundary.
    wrapAtWords(mainText->document(), lineStartsAtMarkChanges(&m_run->doc.CharMarks, mainText->document()));

    tmpText = new TypingBox(this);
    tmpText->setObjectName(QStringLiteral("tmpText"));
    tmpText->setFrame(true);
    tmpText->setStyleSheet(QStringLiteral("QLineEdit { background: #fff7c2; border: 1px solid #c08000; }"));
    QFont boxFont = tmpText->font();
    boxFont.setPointSize(14);
    tmpText->setFont(boxFont);
    tmpText->resize(tmpText->codeSize());

    LabelFc = addWelcome("LabelFc", QStringLiteral("欢迎进入分词测试！"), QRect(960, 600, 6255, 960),
        QRect(1560, 840, 5175, 735), QRect(720, 2160, 7050, 3000));

    // The live figures of a running test, in the free space under the button column.
    lblLive = new QLabel(this);
    lblLive->setObjectName(QStringLiteral("lblLive"));
    lblLive->setGeometry(QRect(tw(8400), tw(6440), tw(1500), tw(660)));
    lblLive->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblLive->setStyleSheet(QStringLiteral("QLabel { color: #1f3f7f; }"));
    lblLive->setVisible(false);

    addStatusBar(3);
    panel(2)->setMinimumWidth(90);
    panel(2)->setAlignment(Qt::AlignCenter);
    setPanelText(1, QStringLiteral("欢迎进入分词测试"));
    setPanelText(3, QStringLiteral("F2：编码提示"));

    Timer1 = new FormTimer(m_ctx.realTimers, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    tmrLimitTime = new FormTimer(m_ctx.realTimers, this);
    tmrLimitTime->setObjectName(QStringLiteral("tmrLimitTime"));
    tmrLimitTime->setInterval(1000);

    connect(cmdFile, &QPushButton::clicked, this, &frmFcTest::cmdFile_Click);
    connect(CmdStartTest, &QPushButton::clicked, this, &frmFcTest::CmdStartTest_Click);
    connect(CmdPauTest, &QPushButton::clicked, this, &frmFcTest::CmdPauTest_Click);
    connect(CmdEndTest, &QPushButton::clicked, this, &frmFcTest::CmdEndTest_Click);
    connect(CmdSetting, &QPushButton::clicked, this, &frmFcTest::CmdSetting_Click);
    connect(CmdCalc, &QPushButton::clicked, this, &frmFcTest::CmdCalc_Click);
    connect(CmdQuit, &QPushButton::clicked, this, &frmFcTest::CmdQuit_Click);
    connect(Timer1, &FormTimer::timeout, this, &frmFcTest::Timer1_Timer);
    connect(tmrLimitTime, &FormTimer::timeout, this, &frmFcTest::tmrLimitTime_Timer);
    connect(tmpText, &QLineEdit::textChanged, this, &frmFcTest::tmpText_Change);
    connect(tmpText, &TypingBox::keyDown, this, &frmFcTest::tmpText_KeyDown);
    connect(tmpText, &TypingBox::committed, this, &frmFcTest::tmpText_Committed);
    connect(tmpText, &TypingBox::commitArrived, this, [this](const QString &commit) {
        if (CmdEndTest->isEnabled())
            session().recordCommit(commit);
    });
    // The box follows the current character when the text scrolls.
    connect(mainText->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (tmpText->isVisible())
            moveTypingBox();
    });
    connect(tmpText, &TypingBox::composingKey, this, [this] {
        if (CmdEndTest->isEnabled())
            session().countKey();
    });
    mainText->viewport()->installEventFilter(this);

    session().overlayChanged = [this] { refreshOverlay(); };
}

void frmFcTest::buildMenus()
{
    mnuFile = new QMenu(QStringLiteral("文件(&F)"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto item = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuOpenTestFile = item(mnuFile, "mnuOpenTestFile", QStringLiteral("打开测试文件(&O)…"));
    mnuOpenExample = item(mnuFile, "mnuOpenExample", QStringLiteral("打开分词例文(&E)…"));
    mnuFile->addSeparator();
    mnuAddWord = item(mnuFile, "mnuAddWord", QStringLiteral("添加自定义词…"));
    mnuFile->addSeparator();
    mnuSaveTestFile = item(mnuFile, "mnuSaveTestFile", QStringLiteral("保存分词结果…"));
    mnuSaveResult = item(mnuFile, "mnuSaveResult", QStringLiteral("保存分词例文(&S)…"));
    mnuOpenTestFile->setIcon(QIcon(QStringLiteral(":/icons/test.svg")));
    mnuCalc = new QMenu(QStringLiteral("统计(&S)"), this);
    mnuCalc->setObjectName(QStringLiteral("mnuCalc"));
    mnuStaInfo = item(mnuCalc, "mnuStaInfo", QStringLiteral("统计信息(&C)…"));
    mnuStaSave = item(mnuCalc, "mnuStaSave", QStringLiteral("保存结果(&S)…"));
    mnuCalc->addSeparator();
    mnuSplitView = item(mnuCalc, "mnuSplitView", QStringLiteral("分词对照(&F)…"));
    mnuHistory = item(mnuCalc, "mnuHistory", QStringLiteral("成绩记录(&H)…"));
    mnuHistory->setEnabled(bool(m_ctx.showHistory));
    mnuPieces = item(mnuCalc, "mnuPieces", QStringLiteral("分段输入的词(&P)…"));
    mnuPieces->setEnabled(false);
    mnuBook = item(mnuCalc, "mnuBook", QStringLiteral("错题本(&B)…"));
    mnuBook->setEnabled(bool(m_ctx.showBook));

    connect(mnuOpenTestFile, &QAction::triggered, this, &frmFcTest::mnuOpenTestFile_Click);
    connect(mnuOpenExample, &QAction::triggered, this, &frmFcTest::mnuOpenExample_Click);
    connect(mnuAddWord, &QAction::triggered, this, &frmFcTest::mnuAddWord_Click);
    connect(mnuSaveTestFile, &QAction::triggered, this, &frmFcTest::mnuSaveTestFile_Click);
    connect(mnuSaveResult, &QAction::triggered, this, &frmFcTest::mnuSaveResult_Click);
    connect(mnuStaInfo, &QAction::triggered, this, &frmFcTest::mnuStaInfo_Click);
    connect(mnuStaSave, &QAction::triggered, this, &frmFcTest::mnuStaSave_Click);
    connect(mnuPieces, &QAction::triggered, this, [this] {
        if (!m_run->pieces)
            return;
        DlgPieces dialog(*m_run->pieces, this);
        dialog.exec();
    });
    connect(mnuBook, &QAction::triggered, this, [this] {
        if (m_ctx.showBook)
            m_ctx.showBook(this);
    });
    // The split view needs a finished test in which something was typed.
    connect(mnuCalc, &QMenu::aboutToShow, this,
        [this] { mnuSplitView->setEnabled(!CmdEndTest->isEnabled() && !session().commits().isEmpty()); });
    connect(mnuSplitView, &QAction::triggered, this, [this] { showSplitView(m_ctx, *m_run, this); });
    connect(mnuHistory, &QAction::triggered, this, [this] {
        if (m_ctx.showHistory)
            m_ctx.showHistory(this);
    });
}

bool frmFcTest::Form_Load()
{
    if (!loadFrame(m_ctx))
        return false;
    LeaveOutOfLayout(tmpText); // placed at the current character by moveTypingBox

    if (m_ctx.store)
        LoadUserSettings(*m_ctx.store, m_ctx.settings);
    mainText->setVisible(false);
    tmpText->setVisible(false);

    setTips(QStringLiteral("    本单元根据用户打开的文本文件进行分词测试。系统把用户打开的文本文件切分成词组，"
                           "帮助用户练习Orvane输入法的词组输入，并对文本文件包含的词组信息和用户的输入练习"
                           "情况提供详细的统计信息。"),
        QStringLiteral("    系统还提供保存分词结果和统计信息的功能，以方便用户对文件进行分析和记录自己的练习成绩。"));

    CmdPauTest->setEnabled(false);
    CmdEndTest->setEnabled(false);
    mnuSaveTestFile->setEnabled(false);
    mnuSaveResult->setEnabled(false);
    mnuStaInfo->setEnabled(false);
    mnuStaSave->setEnabled(false);
    tmrLimitTime->setEnabled(false);

    // The view takes no caret placement by click and no typed characters.
    auto *proc = new MainTextProc(mainText);
    mainText->installEventFilter(proc);
    mainText->viewport()->installEventFilter(proc);
    m_mainTextProc = proc;

    Timer1->setEnabled(true);
    Timer1_Timer();
    openEnlarged();
    return true;
}

void frmFcTest::afterResize()
{
    // Three lines fill the label; the font grows with the window as the label does.
    QFont f = lblLive->font();
    f.setPixelSize(qMax(10, int(lblLive->height() / 4.0)));
    lblLive->setFont(f);
    if (tmpText->isVisible())
        moveTypingBox();
}

// --- opening and menus ----------------------------------------------------------------------

void frmFcTest::popUp(QMenu *menu, QPushButton *button)
{
    const QPoint at(button->x() + button->width(), button->y() + button->height() / 2);
    menu->popup(mapToGlobal(at));
}

void frmFcTest::cmdFile_Click()
{
    popUp(mnuFile, cmdFile);
}

void frmFcTest::CmdCalc_Click()
{
    popUp(mnuCalc, CmdCalc);
}

void frmFcTest::mnuOpenTestFile_Click()
{
    const Qt::WindowStates state = windowState();
    frmOpenFile dialog(m_ctx, *this, this);
    dialog.exec();
    if (!mainText->document()->isEmpty())
        mainText->setVisible(true);
    setWindowState(state);
}

void frmFcTest::applyOpenedText(const OpenedText &opened, const RenderProgress &progress)
{
    mnuSaveTestFile->setEnabled(true);
    mnuStaInfo->setEnabled(true);
    mnuStaSave->setEnabled(true);
    mnuSaveResult->setEnabled(m_ctx.settings.NeedSegmentation);
    mainText->setVisible(true);
    mainText->raise(); // over the welcome caption
    // The marks first: the view's line breaks are laid out from them while the text goes in.
    takeNewText(opened);
    showOpenedText(m_ctx, mainText, opened, progress);
}

void frmFcTest::takeNewText(const OpenedText &opened)
{
    m_run->doc.takeText(opened);
    m_run->newText();
    QFile::remove(m_ctx.folder.file(workfiles::testSnapshot()));
}

void frmFcTest::openPracticeText(const OpenedText &practice)
{
    applyOpenedText(practice, {});
    setPanelText(1, practice.name);
}

void frmFcTest::exampleOpened()
{
    mainText->setVisible(true);
    mainText->raise();
    mnuStaInfo->setEnabled(true);
    mnuStaSave->setEnabled(true);
    mnuSaveResult->setEnabled(m_ctx.settings.NeedSegmentation);
}

void frmFcTest::mnuAddWord_Click()
{
    DlgAddWord dialog(m_ctx, this);
    dialog.exec();
}

void frmFcTest::mnuStaInfo_Click()
{
    showResult();
}

void frmFcTest::CmdSetting_Click()
{
    frmOptions dialog(m_ctx, this, this);
    dialog.exec();
}

bool frmFcTest::textShown() const
{
    return mainText->isVisible();
}

void frmFcTest::setSaveResultEnabled(bool on)
{
    mnuSaveResult->setEnabled(on);
}

void frmFcTest::redrawText()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RenderTestView(*mainText->document(), m_run->doc.CharMarks, m_ctx.settings, m_ctx.codes().shortCodeLookup());
    QApplication::restoreOverrideCursor();
}

// --- the test -------------------------------------------------------------------------------

void frmFcTest::setRunningControls(bool running)
{
    for (QPushButton *b : {cmdFile, CmdStartTest, CmdCalc, CmdSetting, CmdQuit})
        b->setEnabled(!running);
    for (QAction *a : {mnuSaveTestFile, mnuOpenTestFile, mnuOpenExample, mnuSaveResult, mnuStaInfo, mnuStaSave})
        a->setEnabled(!running);
    CmdPauTest->setEnabled(running);
    CmdEndTest->setEnabled(running);
}

void frmFcTest::refreshOverlay()
{
    QList<QTextEdit::ExtraSelection> selections;
    QTextDocument *document = mainText->document();
    for (const QTextLayout::FormatRange &range : session().overlay()) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(document);
        selection.cursor.setPosition(range.start);
        selection.cursor.setPosition(range.start + range.length, QTextCursor::KeepAnchor);
        selection.format = range.format;
        selections.append(selection);
    }
    mainText->setExtraSelections(selections);
    tellPositionHint();
    // Keep the current character in sight.
    QTextCursor at(document);
    at.setPosition(qMin(session().position(), qMax(0, document->characterCount() - 1)));
    mainText->setTextCursor(at);
    mainText->ensureCursorVisible();
    if (tmpText->isVisible())
        moveTypingBox();
}

void frmFcTest::moveTypingBox()
{
    // The box sits just below the line of the current character, starting where the character
    // starts, so that the learner sees the code they compose next to the character it is for; the
    // input method shows its candidates below the box. When the line is the last one in sight the
    // box goes above it. It never leaves the text view.
    const QSize size = tmpText->codeSize();
    if (tmpText->size() != size)
        tmpText->resize(size);
    QWidget *viewport = mainText->viewport();
    const QRect view(viewport->mapTo(this, QPoint(0, 0)), viewport->size());
    if (!CmdPauTest->isEnabled()) {
        // No test under way: the empty box waits in the view's bottom right corner, off the
        // character where the last test stopped.
        tmpText->move(qMax(view.left(), view.right() + 1 - size.width() - tw(400)),
            qMax(view.top(), view.bottom() + 1 - size.height()));
        return;
    }
    QTextCursor at(mainText->document());
    at.setPosition(qBound(0, session().position(), qMax(0, mainText->document()->characterCount() - 1)));
    QRect line = mainText->cursorRect(at);
    line.moveTopLeft(viewport->mapTo(this, line.topLeft()));
    int y = line.bottom() + 1;
    if (y + size.height() > view.bottom() + 1 && line.top() - size.height() >= view.top())
        y = line.top() - size.height();
    const int x = qMax(view.left(), qMin(line.left(), view.right() + 1 - size.width()));
    y = qMax(view.top(), qMin(y, view.bottom() + 1 - size.height()));
    tmpText->move(x, y);
}

void frmFcTest::CmdStartTest_Click()
{
    if (!mainText->isVisible()) {
        m_ctx.prompts->message(QStringLiteral("请先打开测试文件！"), promptTitle(), MessageIcon::Exclamation);
        return;
    }
    // The snapshot that the result dialog puts back, taken before any colour of the test and
    // before the clock starts, so that a message about it takes nothing from the test's time.
    QString snapshotError;
    if (!saveFile(m_ctx.folder.file(workfiles::testSnapshot()), writeRtf(*mainText->document()), &snapshotError)) {
        // An older snapshot may hold other colours: without one the result dialog draws the text
        // again from its marks with the current settings.
        QFile::remove(m_ctx.folder.file(workfiles::testSnapshot()));
        m_ctx.prompts->message(snapshotError + QStringLiteral("。\r\n测试结束后将按当前设置重新显示文本。"),
            promptTitle(), MessageIcon::Exclamation);
    }
    m_run->start();
    if (m_ctx.settings.AutoOpenIme && m_ctx.imeProvider)
        SwitchImeOn(m_ctx.ime, *m_ctx.imeProvider);
    if (m_ctx.settings.LimitTime) {
        Timer1->setEnabled(false);
        tmrLimitTime->setInterval(1000);
        tmrLimitTime->setEnabled(true);
    }
    setRunningControls(true);

    tmpText->setVisible(true);
    tmpText->setEnabled(true);
    tmpText->setFocus();
    {
        const QSignalBlocker quiet(tmpText); // emptying the box is no typed character
        tmpText->clear();
    }

    m_hintsLeft = m_run->doc.Hints;
    session().start();
    showLiveFigures();
    lblLive->setVisible(true);
    tellPositionHint();
    moveTypingBox();
    if (tmpText->isVisible())
        tmpText->setFocus();
    LabelFc->setVisible(false);
    lblTips->setVisible(false);
    Shape1->setVisible(false);
    mainText->raise();
    tmpText->raise();
}

void frmFcTest::CmdPauTest_Click()
{
    if (CmdPauTest->text() == kPause) {
        m_run->pause();
        if (m_ctx.imeProvider)
            SwitchImeOff(m_ctx.ime, *m_ctx.imeProvider);
        CmdPauTest->setText(kResume);
        CmdEndTest->setEnabled(false);
        if (m_ctx.settings.LimitTime)
            tmrLimitTime->setEnabled(false);
    } else {
        m_run->resume();
        CmdPauTest->setText(kPause);
        if (m_ctx.settings.AutoOpenIme && m_ctx.imeProvider)
            SwitchImeOn(m_ctx.ime, *m_ctx.imeProvider);
        tmpText->setFocus();
        CmdEndTest->setEnabled(true);
        if (m_ctx.settings.LimitTime)
            tmrLimitTime->setEnabled(true);
    }
}

void frmFcTest::CmdEndTest_Click()
{
    m_run->end();
    Timer1->setEnabled(true);
    tmrLimitTime->setEnabled(false);
    setPanelText(1, QString());
    if (m_ctx.imeProvider)
        SwitchImeOff(m_ctx.ime, *m_ctx.imeProvider);
    setRunningControls(false);
    mnuSaveResult->setEnabled(m_ctx.settings.NeedSegmentation);
    if (CmdPauTest->text() != kPause)
        CmdPauTest->setText(kPause);
    // The result of each position, read before finish() hands the colours to the document.
    QVector<quint8> results(session().length());
    for (int i = 0; i < results.size(); ++i)
        results[i] = quint8(session().typedAt(i));
    session().finish(); // the colours go into the text, the highlight goes off
    moveTypingBox();
    Timer1_Timer();
    // The live line keeps the test's last figures, over its whole time.
    lblLive->setText(liveFiguresLine(m_run->counters, m_run->elapsedSeconds()));
    // The history keeps the test before its result is shown; a history that cannot be written
    // is told once and the result is shown all the same. A test in which nothing was typed (a
    // start pressed by mistake) would only spoil the charts.
    if (m_run->counters.RightCharCount + m_run->counters.WrongCharCount > 0) {
        HistoryRecord record = m_run->historyRecord();
        takeLessons(record, results);
        m_ctx.recordTest(record);
    }
    mnuPieces->setEnabled(m_run->pieces.has_value());
    showResult();
}

void frmFcTest::takeLessons(HistoryRecord &record, const QVector<quint8> &results)
{
    TypedStretch test;
    test.text = mainText->document()->toPlainText();
    test.marks = m_run->doc.CharMarks;
    test.commits = record.commits;
    test.results = results;
    // The installed table's entries of this text, as the test's figures read them once per text.
    // Without the code database no word counts as one.
    static const KeyPathTable noTable = [] {
        KeyPathTable t;
        t.finish();
        return t;
    }();
    const KeyPathTable *table = m_run->table();
    CodeDictionary &codes = m_ctx.codes();
    TestLessons lessons = lessonsOfTest(
        test, table ? *table : noTable, [&codes](const QString &item) { return codes.LookupCodes(item); });
    // Only the items that can change the mistake book are kept with the test.
    if (HistoryDb *db = m_ctx.history()) {
        QString error;
        const MistakeBook book = loadMistakeBook(*db, &error);
        if (error.isEmpty())
            keepItemsThatCount(lessons.items, book);
    }
    record.pieces = lessons.pieces;
    record.items = lessons.items;
    m_run->pieces = std::move(lessons.pieces);
}

void frmFcTest::showResult()
{
    DlgResult dialog(m_ctx, *m_run, this);
    if (dialog.exec() == QDialog::Accepted)
        restoreView();
}

void frmFcTest::restoreView()
{
    const QString snapshot = m_ctx.folder.file(workfiles::testSnapshot());
    bool restored = false;
    if (QFile::exists(snapshot)) {
        QFile file(snapshot);
        if (file.open(QIODevice::ReadOnly))
            restored = readRtf(file.readAll(), mainText->document());
    }
    if (!restored && m_run->counters.RightCharCount + m_run->counters.WrongCharCount != 0)
        RenderTestView(*mainText->document(), m_run->doc.CharMarks, m_ctx.settings, m_ctx.codes().shortCodeLookup());
}

void frmFcTest::CmdQuit_Click()
{
    close();
}

void frmFcTest::Timer1_Timer()
{
    setPanelText(2, m_ctx.clock->now().time().toString(QStringLiteral("H:mm:ss")));
    if (CmdPauTest->isEnabled())
        showLiveFigures();
}

void frmFcTest::showLiveFigures()
{
    lblLive->setText(liveFiguresLine(m_run->counters, m_run->runningSeconds()));
}

void frmFcTest::tmrLimitTime_Timer()
{
    const int remaining = m_run->countDown();
    const int hours = remaining / 3600;
    const int minutes = (remaining - hours * 3600) / 60;
    const int seconds = remaining - hours * 3600 - minutes * 60;
    setPanelText(2, QStringLiteral("%1:%2:%3").arg(hours).arg(minutes).arg(seconds));
    showLiveFigures();
    if (remaining == 0)
        CmdEndTest_Click();
}

void frmFcTest::mainText_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_ctx.prompts->message(
            QStringLiteral("欢迎使用Orvane输入法2006分词测试！"), QStringLiteral("欢迎信息"), MessageIcon::Information);
}

bool frmFcTest::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainText->viewport() && event->type() == QEvent::MouseButtonPress)
        mainText_MouseDown(static_cast<QMouseEvent *>(event)->button());
    return QDialog::eventFilter(watched, event);
}

// --- typing ---------------------------------------------------------------------------------

void frmFcTest::tmpText_Change()
{
    if (!CmdEndTest->isEnabled())
        return;
    const QString typed = tmpText->text();
    if (typed.isEmpty())
        return;
    session().recordCommit(typed);
    acceptTyped(typed);
}

void frmFcTest::acceptTyped(const QString &typed)
{
    const TypingSession::Outcome outcome = session().compare(typed);
    moveTypingBox();
    if (outcome == TypingSession::Outcome::Finished) {
        CmdEndTest_Click();
        return;
    }
    tmpText->empty(); // raises a change of its own, which finds the box empty
}

void frmFcTest::tmpText_Committed(const QString &character)
{
    if (CmdEndTest->isEnabled())
        acceptTyped(character);
    else
        tmpText->insert(character); // the box keeps what arrives while no test runs
}

void frmFcTest::tellPositionHint()
{
    if (!CmdPauTest->isEnabled() || m_hintsLeft.isEmpty())
        return;
    const auto hint = m_hintsLeft.constFind(session().position());
    if (hint == m_hintsLeft.cend())
        return;
    setPanelText(1, hint.value());
    m_hintsLeft.erase(hint);
}

void frmFcTest::tmpText_KeyDown(int key)
{
    if (!CmdEndTest->isEnabled())
        return;
    session().countKey();
    switch (key) {
    case Qt::Key_Right: session().moveRight(); break;
    case Qt::Key_Left: session().pressLeft(); break;
    case Qt::Key_Backspace: session().pressBackspace(); break;
    case Qt::Key_F2: {
        {
            const QSignalBlocker quiet(tmpText);
            tmpText->empty();
        }
        const QString hint = session().hintText();
        setPanelText(1, codeHintMessage(hint, m_ctx.codes().LookupCodes(hint)));
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A line break of the text is typed with Enter, which a one-line box does not insert.
        if (session().currentCharacter() == QLatin1String("\n")) {
            session().recordCommit(QStringLiteral("\n"));
            acceptTyped(QStringLiteral("\n"));
        }
        break;
    default: break;
    }
}

// --- closing --------------------------------------------------------------------------------

void frmFcTest::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmFcTest::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_mainTextProc) {
        mainText->removeEventFilter(m_mainTextProc);
        mainText->viewport()->removeEventFilter(m_mainTextProc);
        delete m_mainTextProc;
        m_mainTextProc = nullptr;
    }
    Timer1->setEnabled(false);
    QFile::remove(m_ctx.folder.file(workfiles::testSnapshot()));
    QFile::remove(m_ctx.folder.file(workfiles::filterBackup()));
}

} // namespace orvane
