#include "shell/formparts.h"

#include "context/appcontext.h"
#include "shell/pictures.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>

namespace orvane {

bool requireWindowPictures(AppContext &ctx)
{
    for (const QString &name : pictureFileNames()) {
        if (!QFile::exists(ctx.folder.file(name))) {
            ctx.prompts->message(QStringLiteral("背景图片文件不完整，请重新启动程序！"), promptTitle(),
                                 MessageIcon::Critical);
            if (ctx.endProgram)
                ctx.endProgram(1);
            return false;
        }
    }
    return true;
}

QPushButton *makeColumnButton(QWidget *form, const char *name, const QString &caption, int topTwips)
{
    auto *b = new QPushButton(caption, form);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(tw(8400), tw(topTwips), tw(1500), tw(450));
    b->setFocusPolicy(Qt::NoFocus); // the focus stays in the text
    QFont f = b->font();
    f.setPointSize(10);
    f.setBold(true);
    b->setFont(f);
    return b;
}

QFrame *makeWelcomeFrame(QWidget *form, const QRect &geometry)
{
    auto *frame = new QFrame(form);
    frame->setObjectName(QStringLiteral("Shape1"));
    frame->setGeometry(geometry);
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 2px solid #3a5a9a; border-radius: 8px;"
                                        " background: rgba(255,255,255,150); }"));
    return frame;
}

QLabel *makeWelcomeCaption(QWidget *form, const char *name, const QString &caption, const QRect &geometry)
{
    auto *label = new QLabel(caption, form);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(20);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("QLabel { color: #1c3f86; background: transparent; }"));
    return label;
}

QLabel *makeTipsLabel(QWidget *form, const QRect &geometry)
{
    auto *label = new QLabel(form);
    label->setObjectName(QStringLiteral("lblTips"));
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    font.setPointSize(11);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("QLabel { color: #202838; background: rgba(255,255,255,170);"
                                        " border-radius: 6px; padding: 4px 10px; }"));
    return label;
}

void styleTextView(QTextEdit *view, int pointSize)
{
    QFont font = view->font();
    font.setPointSize(pointSize);
    view->setFont(font);
    view->document()->setDefaultFont(font);
    view->setStyleSheet(QStringLiteral("QTextEdit { background: #fffdf6; border: 1px solid #8a9bb8; }"));
}

QStatusBar *makeFormStatusBar(QWidget *form, const QRect &geometry, int panelCount, QList<QLabel *> &panels)
{
    auto *bar = new QStatusBar(form);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setGeometry(geometry);
    bar->setStyleSheet(QStringLiteral("QStatusBar { background: #eef1f6; border-top: 1px solid #a8b2c4; }"
                                      " QStatusBar::item { border: 1px solid #b8c0cc; }"
                                      " QLabel { padding: 0 6px; color: #1a2233; }"));
    panels.clear();
    for (int i = 0; i < panelCount; ++i) {
        // Panels have no object name: the layout helpers leave them to the status bar.
        auto *panel = new QLabel(bar);
        panel->setProperty("panel", i + 1);
        if (i == 0)
            bar->addWidget(panel, 1);
        else
            bar->addPermanentWidget(panel);
        panels.append(panel);
    }
    return bar;
}

} // namespace orvane
