#include "editor/dlgaddword.h"

#include "editor/customwords.h"
#include "editor/resultfile.h"
#include "prepare/externallibs.h"
#include "shell/keyfilter.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orvane {

namespace {

constexpr int kMaxWordLength = 20;
constexpr int kMaxCodeLength = 6;

QString missingLibraryMessage()
{
    return QStringLiteral("分词库未能加载，无法加入自定义词！");
}

} // namespace

DlgAddWord::DlgAddWord(AppContext &ctx, QWidget *parent)
    : QDialog(parent), txtResult(new QPlainTextEdit(this)), lblTips(new QLabel(this)),
      lblword(new QLabel(QStringLiteral("自定义词："), this)), txtWord(new QLineEdit(this)),
      lblcode(new QLabel(QStringLiteral("自定义编码："), this)), txtCode(new QLineEdit(this)),
      cmdModiRes(new QPushButton(QStringLiteral("从分词结果引入"), this)),
      cmdAddWord(new QPushButton(QStringLiteral("加入自定义词库"), this)),
      cmdExit(new QPushButton(QStringLiteral("退      出"), this)), m_ctx(ctx)
{
    setObjectName(QStringLiteral("DlgAddWord"));
    setWindowTitle(QStringLiteral("添加自定义词"));
    txtResult->setObjectName(QStringLiteral("txtResult"));
    lblTips->setObjectName(QStringLiteral("lblTips"));
    lblword->setObjectName(QStringLiteral("lblword"));
    txtWord->setObjectName(QStringLiteral("txtWord"));
    lblcode->setObjectName(QStringLiteral("lblcode"));
    txtCode->setObjectName(QStringLiteral("txtCode"));
    cmdModiRes->setObjectName(QStringLiteral("cmdModiRes"));
    cmdAddWord->setObjectName(QStringLiteral("cmdAddWord"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    txtResult->setReadOnly(true);
    txtResult->setToolTip(QStringLiteral("拖动鼠标以选择要添加的自定义词"));
    txtResult->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont resultFont = txtResult->font();
    resultFont.setPointSizeF(resultFont.pointSizeF() * 1.3);
    txtResult->setFont(resultFont);
    // The selection stays visible while the user works in the boxes on the right.
    txtResult->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: white; selection-background-color: #3a78c3; selection-color: white; }"));

    lblTips->setWordWrap(true);
    lblTips->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTips->setTextFormat(Qt::PlainText);
    lblTips->setMargin(10);
    lblTips->setStyleSheet(QStringLiteral(
        "QLabel#lblTips { background: rgba(255, 255, 255, 200); border: 1px solid #8aa6bf; border-radius: 6px;"
        " color: #1d3b50; }"));
    QFont tipsFont = lblTips->font();
    tipsFont.setPointSizeF(tipsFont.pointSizeF() * 1.1);
    lblTips->setFont(tipsFont);

    txtWord->setMaxLength(kMaxWordLength);
    txtWord->setToolTip(QStringLiteral("自定义词的最大长度为20个字"));
    txtCode->setMaxLength(kMaxCodeLength);
    txtCode->setToolTip(QStringLiteral("自定义编码的最大长度为6个数字"));
    // Key presses pass the key filter; the validator keeps pasted text to digits as well.
    txtCode->installEventFilter(new NumericKeyFilter(txtCode));
    txtCode->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtCode));
    QFont boxFont = txtWord->font();
    boxFont.setPointSizeF(boxFont.pointSizeF() * 1.2);
    txtWord->setFont(boxFont);
    txtCode->setFont(boxFont);
    for (QLineEdit *box : {txtWord, txtCode})
        box->setMinimumWidth(180);

    // Enter in the boxes adds the word; it never opens the file dialog.
    for (QPushButton *b : {cmdModiRes, cmdExit})
        b->setAutoDefault(false);
    cmdAddWord->setDefault(true);

    new ContextMenuGuard(txtResult);
    new ContextMenuGuard(txtWord);
    new ContextMenuGuard(txtCode);
    txtResult->viewport()->installEventFilter(this);

    auto *view = new QGridLayout;
    // lblTips and txtResult share the place; only one of them is shown.
    view->addWidget(lblTips, 0, 0);
    view->addWidget(txtResult, 0, 0);

    auto *fields = new QGridLayout;
    fields->setVerticalSpacing(10);
    fields->addWidget(lblword, 0, 0, 1, 1, Qt::AlignLeft | Qt::AlignBottom);
    fields->addWidget(txtWord, 1, 0);
    fields->addWidget(lblcode, 2, 0, 1, 1, Qt::AlignLeft | Qt::AlignBottom);
    fields->addWidget(txtCode, 3, 0);

    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addSpacing(16);
    right->addWidget(cmdModiRes);
    right->addWidget(cmdAddWord);
    right->addStretch();
    right->addWidget(cmdExit);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(18);
    layout->addLayout(view, 3);
    layout->addLayout(right, 2);
    resize(660, 400);

    connect(cmdModiRes, &QPushButton::clicked, this, &DlgAddWord::cmdModiRes_Click);
    connect(cmdAddWord, &QPushButton::clicked, this, &DlgAddWord::cmdAddWord_Click);
    connect(cmdExit, &QPushButton::clicked, this, &DlgAddWord::cmdExit_Click);
    connect(txtWord, &QLineEdit::textChanged, this, &DlgAddWord::txtWord_Change);
    connect(txtCode, &QLineEdit::textChanged, this, &DlgAddWord::txtCode_Change);

    applyWindowPictures(this, m_ctx.folder);
    Form_Load();
}

QString DlgAddWord::tipsText()
{
    return QStringLiteral(
        "\n\n"
        "    本单元帮助用户添加自定义词。用户可以选择自已输入或者对系统分词结果进行修改以形成新的自定义词，"
        "然后添加到自定义词库中。系统以后再进行分词时，将优先考虑用户自定义词。\n"
        "    用户打开分词结果后，在左侧的文本框中选择要添加的自定义词，它将自动出现在‘自定义词’中并允许用户进行修改，"
        "用户输入‘自定义’编码后，即可进行‘加入自定义词库’的操作。\n"
        "    如果要对自定义词进行查询、修改、删除等操作，请在Orvane输入法2006系统中完成。");
}

void DlgAddWord::Form_Load()
{
    centerOnScreen(this);
    cmdAddWord->setEnabled(false);
    txtResult->setVisible(false);
    lblTips->setVisible(true);
    lblTips->setText(tipsText());
}

int DlgAddWord::ValiText(int keyCode, const QString &allowed, bool editable)
{
    return FilterKey(keyCode, allowed, editable, [] { QApplication::beep(); });
}

bool DlgAddWord::loadResultFile(const QString &path)
{
    QStringList items;
    QString error;
    if (!readResultFile(path, &items, &error)) {
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Critical);
        return false;
    }
    txtResult->setPlainText(resultViewText(items));
    lblTips->setVisible(false);
    txtResult->setVisible(true);
    return true;
}

void DlgAddWord::cmdModiRes_Click()
{
    const QString path = m_ctx.prompts->openFile(
        QStringLiteral("打开分词结果"), QDir::homePath(), QStringLiteral("分词结果文件(*.fcr)"));
    if (path.isEmpty())
        return;
    loadResultFile(path);
}

void DlgAddWord::txtResult_Click()
{
    const QString selected = txtResult->textCursor().selectedText();
    if (selected.isEmpty())
        return;
    txtWord->setText(txtWord->text() + wordFromSelection(selected));
}

bool DlgAddWord::eventFilter(QObject *watched, QEvent *event)
{
    // A click ends with the release of the left button; after a double click the release sees
    // the word the double click selected.
    if (watched == txtResult->viewport() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        txtResult_Click();
    return QDialog::eventFilter(watched, event);
}

void DlgAddWord::txtWord_Change()
{
    const QString word = txtWord->text();
    if (!word.isEmpty() && m_ctx.libs && m_ctx.libs->isOpen())
        txtCode->setText(m_ctx.libs->convert(word));
    updateAddEnabled();
}

void DlgAddWord::txtCode_Change()
{
    updateAddEnabled();
}

void DlgAddWord::updateAddEnabled()
{
    cmdAddWord->setEnabled(!txtCode->text().isEmpty() && !txtWord->text().isEmpty());
}

void DlgAddWord::cmdAddWord_Click()
{
    const QString word = txtWord->text();
    const QString code = txtCode->text();
    if (word.isEmpty() || code.isEmpty())
        return;
    if (!isCustomWord(word)) {
        // Nothing was tried: the word stays in the box to be put right.
        m_ctx.prompts->message(customWordRuleMessage(), promptTitle(), MessageIcon::Exclamation);
        return;
    }
    if (!m_ctx.libs || !m_ctx.libs->isOpen()) {
        // Nothing was tried: the word stays in the box.
        m_ctx.prompts->message(missingLibraryMessage(), promptTitle(), MessageIcon::Critical);
        return;
    }
    switch (m_ctx.libs->addWord(code, word)) {
    case -1: {
        QString text = QStringLiteral("打开自定义词库失败，无法加入自定义词！");
        if (const QString reason = m_ctx.libs->lastError(); !reason.isEmpty())
            text += QStringLiteral("\n") + reason;
        m_ctx.prompts->message(text, promptTitle(), MessageIcon::Critical);
        break;
    }
    case 0:
        // The installed input method learns the word before the user is told.
        if (m_ctx.customWordsChanged)
            m_ctx.customWordsChanged();
        m_ctx.prompts->message(QStringLiteral("自定义词：") + word + QStringLiteral("  成功加入自定义词库！"),
            promptTitle(), MessageIcon::Information);
        break;
    case 1:
        m_ctx.prompts->message(QStringLiteral("自定义词：") + word + QStringLiteral("  已经存在！"), promptTitle(),
            MessageIcon::Exclamation);
        break;
    default: break;
    }
    txtWord->clear();
    txtCode->clear();
}

void DlgAddWord::cmdExit_Click()
{
    reject();
}

} // namespace orvane
