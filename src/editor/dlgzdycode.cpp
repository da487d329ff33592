#include "editor/dlgzdycode.h"

#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

dlgZdyCode::dlgZdyCode(AppContext &ctx, QString &ownerTag, const QString &currentCode, QWidget *parent)
    : QDialog(parent), m_ownerTag(ownerTag)
{
    setObjectName(QStringLiteral("dlgZdyCode"));
    setWindowTitle(QStringLiteral("自定义编码"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblZdyWord = new QLabel(this);
    lblZdyWord->setObjectName(QStringLiteral("lblZdyWord"));
    lblZdyWord->setWordWrap(true);
    QFont labelFont = lblZdyWord->font();
    labelFont.setPointSize(11);
    lblZdyWord->setFont(labelFont);
    lblZdyWord->setStyleSheet(QStringLiteral("QLabel { color: #1c3f86; background: rgba(255,255,255,170);"
                                             " border-radius: 6px; padding: 6px 10px; }"));

    txtCode = new QLineEdit(this);
    txtCode->setObjectName(QStringLiteral("txtCode"));
    txtCode->setMaxLength(6);
    txtCode->setToolTip(QStringLiteral("自定义编码的最大长度为6位数位"));
    txtCode->setAttribute(Qt::WA_InputMethodEnabled, false);
    QFont codeFont = txtCode->font();
    codeFont.setPointSize(14);
    codeFont.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    txtCode->setFont(codeFont);
    txtCode->setMinimumHeight(34);
    if (!currentCode.isEmpty())
        txtCode->setPlaceholderText(QStringLiteral("现编码 %1").arg(currentCode));
    txtCode->installEventFilter(new NumericKeyFilter(txtCode));
    new ContextMenuGuard(txtCode);

    cmdOk = new QPushButton(QStringLiteral("确    定"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdOk->setMinimumSize(100, 32);
    QFont buttonFont = cmdOk->font();
    buttonFont.setPointSize(10);
    buttonFont.setBold(true);
    cmdOk->setFont(buttonFont);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(lblZdyWord);
    layout->addWidget(txtCode);
    layout->addLayout(buttons);
    setFixedSize(320, 190);

    connect(cmdOk, &QPushButton::clicked, this, &dlgZdyCode::cmdOk_Click);
    applyWindowPictures(this, ctx.folder);
    Form_Load();
}

void dlgZdyCode::Form_Load()
{
    centerOnScreen(this);
    lblZdyWord->setText(QStringLiteral("\"%1\" 是自定义词。\n请修改其自定义编码：").arg(m_ownerTag));
    txtCode->setFocus();
}

void dlgZdyCode::cmdOk_Click()
{
    accept();
}

void dlgZdyCode::done(int result)
{
    // Closed by the button, the close box or Escape: the code as the user left it goes back.
    m_ownerTag = txtCode->text();
    QDialog::done(result);
}

} // namespace orvane
