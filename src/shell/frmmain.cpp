#include "shell/frmmain.h"

#include "core/workfiles.h"
#include "shell/frmabout.h"
#include "shell/helpwindow.h"
#include "shell/pictures.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

const QString kTitle = programTitle();
const QString kExitQuestion = QStringLiteral("确定要退出Orvane输入法2011分词教学系统（简体）？");

struct LauncherItem {
    const char16_t *caption;
    const char16_t *icon;
    const char16_t *hint;
};

constexpr std::array<LauncherItem, 4> kItems{{
    {u"分词测试", u":/icons/test.svg", u"打开一篇文章，按词输入，测量速度与正确率"},
    {u"分词结果处理", u":/icons/editor.svg", u"修改文章的分词，保存为分词例文，添加自定义词"},
    {u"帮助信息", u":/icons/help.svg", u"程序的用法与Orvane输入法的编码规则"},
    {u"退出系统", u":/icons/exit.svg", u"退出本系统"},
}};

} // namespace

frmMain::frmMain(AppContext &ctx, QWidget *parent) : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/orvane-tutor.svg")));
    buildMenus();
    buildLauncher();
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    resize(800, 560);
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    mnuSplit = bar->addMenu(QStringLiteral("分词训练"));
    mnuSplit->setObjectName(QStringLiteral("mnuSplit"));
    mnuFcTest = mnuSplit->addAction(QStringLiteral("分词测试"));
    mnuFcTest->setObjectName(QStringLiteral("mnuFcTest"));
    mnuPreSplit = mnuSplit->addAction(QStringLiteral("分词结果处理"));
    mnuPreSplit->setObjectName(QStringLiteral("mnuPreSplit"));
    mnuSplit->addSeparator();
    mnuCourse = mnuSplit->addAction(QStringLiteral("课程"));
    mnuCourse->setObjectName(QStringLiteral("mnuCourse"));
    mnuCourse->setEnabled(bool(m_ctx.showCourse));
    mnuDrill = mnuSplit->addAction(QStringLiteral("练习薄弱项"));
    mnuDrill->setObjectName(QStringLiteral("mnuDrill"));
    mnuDrill->setEnabled(bool(m_ctx.practiseWeakItems));
    mnuSplit->addSeparator();
    mnuHistory = mnuSplit->addAction(QStringLiteral("成绩记录"));
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    mnuHistory->setEnabled(bool(m_ctx.showHistory));
    mnuBook = mnuSplit->addAction(QStringLiteral("错题本"));
    mnuBook->setObjectName(QStringLiteral("mnuBook"));
    mnuBook->setEnabled(bool(m_ctx.showBook));

    mnuHelp = bar->addMenu(QStringLiteral("帮助"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpTopic = mnuHelp->addAction(QStringLiteral("帮助主题"));
    mnuHelpTopic->setObjectName(QStringLiteral("mnuHelpTopic"));
    mnuHelpTopic->setShortcut(QKeySequence::HelpContents);
    mnuAbout = mnuHelp->addAction(QStringLiteral("关于..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    // A menu-bar item without a drop-down.
    mnuExit = bar->addAction(QStringLiteral("退出"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    connect(mnuFcTest, &QAction::triggered, this, [this] { Image1_Click(0); });
    connect(mnuHistory, &QAction::triggered, this, [this] {
        if (m_ctx.showHistory)
            m_ctx.showHistory(this);
    });
    connect(mnuCourse, &QAction::triggered, this, [this] {
        if (m_ctx.showCourse)
            m_ctx.showCourse(this);
    });
    connect(mnuDrill, &QAction::triggered, this, [this] {
        if (m_ctx.practiseWeakItems)
            m_ctx.practiseWeakItems(this);
    });
    connect(mnuBook, &QAction::triggered, this, [this] {
        if (m_ctx.showBook)
            m_ctx.showBook(this);
    });
    connect(mnuPreSplit, &QAction::triggered, this, [this] { Image1_Click(1); });
    connect(mnuHelpTopic, &QAction::triggered, this, [this] { Image1_Click(2); });
    connect(mnuExit, &QAction::triggered, this, [this] { Image1_Click(3); });
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::buildLauncher()
{
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("centralArea"));
    setCentralWidget(m_central);

    auto *title = new QLabel(kTitle, m_central);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("color: #24506b; font-size: 26px; font-weight: bold;"));
    auto *subtitle = new QLabel(QStringLiteral("按词输入 · 逐字校对计时 · 速度与正确率 · 编码与击键统计"), m_central);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setStyleSheet(QStringLiteral("color: #4d6f80; font-size: 15px;"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(36);
    grid->setVerticalSpacing(6);
    std::array<QLabel **, 4> labels{&Label1, &Label2, &Label3, &Label4};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(m_central);
        button->setObjectName(QStringLiteral("Image1(%1)").arg(i));
        button->setIcon(QIcon(QString::fromUtf16(kItems[i].icon)));
        button->setIconSize(QSize(72, 72));
        button->setFixedSize(108, 108);
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(QString::fromUtf16(kItems[i].caption));
        button->setStatusTip(QString::fromUtf16(kItems[i].hint));
        button->setStyleSheet(
            QStringLiteral("QToolButton { background: rgba(255,255,255,150); border: 1px solid rgba(79,134,168,90); "
                           "border-radius: 14px; }"
                           "QToolButton:hover { background: rgba(255,255,255,225); border: 1px solid #4f86a8; }"
                           "QToolButton:pressed { background: rgba(220,234,244,235); }"));
        connect(button, &QToolButton::clicked, this, [this, i] { Image1_Click(i); });
        Image1[static_cast<std::size_t>(i)] = button;

        auto *label = new QLabel(QString::fromUtf16(kItems[i].caption), m_central);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->setStyleSheet(QStringLiteral("color: #1d3b50; font-size: 16px;"));
        label->installEventFilter(this);
        *labels[static_cast<std::size_t>(i)] = label;

        grid->addWidget(button, 0, i, Qt::AlignHCenter);
        grid->addWidget(label, 1, i, Qt::AlignHCenter);
    }

    auto *layout = new QVBoxLayout(m_central);
    layout->setContentsMargins(40, 48, 40, 40);
    layout->addWidget(title);
    layout->addSpacing(6);
    layout->addWidget(subtitle);
    layout->addStretch(2);
    layout->addLayout(grid);
    layout->addStretch(3);
}

bool frmMain::Form_Load()
{
    setWindowTitle(kTitle);
    centerOnScreen(this);

    if (m_ctx.imeProvider && m_ctx.prompts) {
        if (DetectIme(m_ctx.ime, *m_ctx.imeProvider, *m_ctx.prompts) == ImeDetection::Missing && m_ctx.installIme)
            offerImeInstall();
    }

    mnuFcTest->setIcon(QIcon(QStringLiteral(":/icons/test.svg")));
    mnuPreSplit->setIcon(QIcon(QStringLiteral(":/icons/editor.svg")));
    mnuHelpTopic->setIcon(QIcon(QStringLiteral(":/icons/help.svg")));

    const QStringList names = pictureFileNames();
    for (int i = 0; i < names.size(); ++i) {
        QString error;
        if (!WriteResourceFile(m_ctx.folder, 101 + i, QStringLiteral("JPG"), names[i], &error)) {
            m_ctx.prompts->message(QStringLiteral("请检查硬盘是否写保护，或者硬盘空间已满！\r\n\r\n") + error, kTitle,
                MessageIcon::Critical, MessageButtons::OkCancel);
            m_ending = true;
            m_ctx.endProgram(1);
            return false;
        }
    }

    const QString background = m_ctx.folder.file(workfiles::backgroundPicture());
    QPixmap picture;
    if (!QFileInfo::exists(background) || !picture.load(background)) {
        m_ctx.prompts->message(
            QStringLiteral("背景图片文件不完整，请重新启动程序！"), promptTitle(), MessageIcon::Critical);
        m_ending = true;
        m_ctx.endProgram(1);
        return false;
    }
    installBackground(m_central, picture);
    showImeStatus();
    return true;
}

void frmMain::offerImeInstall()
{
    const QString title = QStringLiteral("Orvane输入法2011简体版");
    if (m_ctx.prompts->message(QStringLiteral("是否现在为您安装Orvane输入法2011版？\r\n"
                                              "输入法安装在您自己的用户目录中，不需要管理员权限。"),
            title, MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool installed = m_ctx.installIme(&error);
    if (installed)
        m_ctx.imeProvider->refresh(QString()); // let the framework see the new input method
    const bool found = installed && FindIme(m_ctx.ime, *m_ctx.imeProvider) == ImeDetection::Found;
    if (found)
        m_ctx.imeProvider->refresh(m_ctx.ime.ImeLayout); // and offer it in the user's list
    QApplication::restoreOverrideCursor();
    if (!installed) {
        m_ctx.prompts->message(
            QStringLiteral("Orvane输入法2011版安装失败：%1").arg(error), title, MessageIcon::Critical);
    } else if (!found) {
        m_ctx.prompts->message(QStringLiteral("Orvane输入法2011版已安装，但输入法程序尚未列出它。"
                                              "请重新启动输入法（或注销后重新登录）后再启动本软件。"),
            title, MessageIcon::Exclamation);
    } else {
        m_ctx.prompts->message(
            QStringLiteral("Orvane输入法2011版已安装，可以开始练习了。"), title, MessageIcon::Information);
    }
}

void frmMain::showImeStatus()
{
    // A permanent panel: the bar's own message is taken over by the tips of menus and buttons.
    const QString via = m_ctx.imeProvider ? m_ctx.imeProvider->kind() : QStringLiteral("none");
    auto *panel = new QLabel(StatusBar1);
    panel->setObjectName(QStringLiteral("lblImeStatus"));
    if (!m_ctx.ime.ImeLayout.isEmpty())
        panel->setText(QStringLiteral("输入法：%1（%2）已就绪").arg(orvaneImeName(), via));
    else
        panel->setText(QStringLiteral("输入法：未找到%1").arg(orvaneImeName()));
    StatusBar1->addPermanentWidget(panel);
}

void frmMain::Image1_Click(int index)
{
    switch (index) {
    case 0:
        if (m_ctx.showTestWindow)
            m_ctx.showTestWindow(this);
        break;
    case 1:
        if (m_ctx.showEditor)
            m_ctx.showEditor(this);
        break;
    case 2: mnuHelpTopic_Click(); break;
    case 3: Form_QueryUnload(); break;
    default: break;
    }
}

void frmMain::mnuHelpTopic_Click()
{
    HelpWindow help(this);
    if (!help.load(m_ctx.helpSource)) {
        m_ctx.prompts->message(QStringLiteral("帮助文件不存在或已损坏！"), kTitle, MessageIcon::Information);
        return;
    }
    help.exec();
}

void frmMain::mnuAbout_Click()
{
    frmAbout about(m_ctx, this);
    about.exec();
}

bool frmMain::Form_QueryUnload()
{
    const MessageAnswer answer =
        m_ctx.prompts->message(kExitQuestion, promptTitle(), MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return false;
    // Only the pictures that this program wrote: the folder may hold the user's own pictures.
    removePictures(m_ctx.folder);
    m_ending = true;
    m_ctx.endProgram(0);
    return true;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_ending || Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        const std::array<QLabel *, 4> labels{Label1, Label2, Label3, Label4};
        for (int i = 0; i < 4; ++i) {
            if (watched == labels[static_cast<std::size_t>(i)]) {
                Image1_Click(i);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace orvane
