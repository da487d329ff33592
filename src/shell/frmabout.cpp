#include "shell/frmabout.h"

#include "shell/pictures.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

frmAbout::frmAbout(AppContext &ctx, QWidget *parent)
    : QDialog(parent), Picture1(new QLabel(this)), Label1(new QLabel(this)),
      cmdOK(new QPushButton(QStringLiteral("确 定"), this)), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmAbout"));
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    setWindowTitle(QStringLiteral("关于Orvane输入法2011分词教学系统（简体）"));

    Picture1->setPixmap(QIcon(QStringLiteral(":/icons/orvane-tutor.svg")).pixmap(96, 96));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(false);
    cmdOK->setMinimumWidth(110);
    cmdOK->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addSpacing(12);
    top->addWidget(Label1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 16);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(bottom);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    applyWindowPictures(this, m_ctx.folder);
    Form_Load();
}

QString frmAbout::aboutText()
{
    return QStringLiteral("Orvane输入法2011分词教学系统（简体）\n"
                          "For  简体Windows 2000/XP/2003/Vista/7\n"
                          "本版本运行于 Linux（Debian 12 及以上）与 Windows\n"
                          "\n"
                          "按词输入教学：分词测试、分词结果处理、自定义词\n"
                          "制作：Orvane 分词教学系统开发组\n"
                          "联系：请通过项目的问题跟踪页面反馈意见与错误");
}

void frmAbout::Form_Load()
{
    Label1->setText(aboutText());
    adjustSize();
    centerOnScreen(this);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

} // namespace orvane
