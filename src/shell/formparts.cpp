#include "shell/formparts.h"

#include "context/appcontext.h"
#include "shell/pictures.h"

#include <QFile>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

namespace orvane {

namespace {

constexpr int kStatusHeight = 24;
// The smallest size of a large window that is neither maximised nor minimised.
constexpr QSize kMinimumSize(tw(9000), tw(8000));

QRect twipsRect(const QRect &twips)
{
    return QRect(tw(twips.x()), tw(twips.y()), tw(twips.width()), tw(twips.height()));
}

void setPointSize(QWidget *control, int size)
{
    QFont font = control->font();
    font.setPointSize(qMax(1, size));
    control->setFont(font);
}

// The three pictures must lie in the program folder when a window loads; without them the
// program says so and ends (ctx.endProgram). False in that case.
bool requireWindowPictures(AppContext &ctx)
{
    for (const QString &name : pictureFileNames()) {
        if (!QFile::exists(ctx.folder.file(name))) {
            ctx.prompts->message(
                QStringLiteral("背景图片文件不完整，请重新启动程序！"), promptTitle(), MessageIcon::Critical);
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

// The frame around the welcome caption, and the caption itself.
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

// The introduction text under the caption.
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

// The status bar along the bottom of the form with its panels (the first one stretches).
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

} // namespace

void styleTextView(QTextEdit *view, int pointSize)
{
    QFont font = view->font();
    font.setPointSize(pointSize);
    view->setFont(font);
    view->document()->setDefaultFont(font);
    view->setStyleSheet(QStringLiteral("QTextEdit { background: #fffdf6; border: 1px solid #8a9bb8; }"));
}

LargeForm::LargeForm(const char *name, const QString &title, QSize designSize, QWidget *parent)
    : QDialog(parent), m_design(designSize)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(title);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
        | Qt::WindowCloseButtonHint);
    resize(m_design);
}

QPushButton *LargeForm::addColumnButton(const char *name, const QString &caption, int topTwips)
{
    QPushButton *b = makeColumnButton(this, name, caption, topTwips);
    m_buttons.append(b);
    return b;
}

QLabel *LargeForm::addWelcome(const char *captionName, const QString &caption, const QRect &frameTwips,
    const QRect &captionTwips, const QRect &tipsTwips)
{
    Shape1 = makeWelcomeFrame(this, twipsRect(frameTwips));
    m_caption = makeWelcomeCaption(this, captionName, caption, twipsRect(captionTwips));
    lblTips = makeTipsLabel(this, twipsRect(tipsTwips));
    return m_caption;
}

void LargeForm::addStatusBar(int panelCount)
{
    StatusBar1 = makeFormStatusBar(
        this, QRect(0, m_design.height() - kStatusHeight, m_design.width(), kStatusHeight), panelCount, m_panels);
}

QLabel *LargeForm::panel(int n) const
{
    return m_panels.at(n - 1);
}

QString LargeForm::panelText(int n) const
{
    return panel(n)->text();
}

void LargeForm::setPanelText(int n, const QString &text)
{
    panel(n)->setText(text);
}

QRect LargeForm::textViewGeometry() const
{
    return QRect(tw(120), tw(120), tw(8100), m_design.height() - kStatusHeight - tw(240));
}

bool LargeForm::loadFrame(AppContext &ctx)
{
    centerOnScreen(this);
    if (!requireWindowPictures(ctx))
        return false;
    RecordLayout(this, m_layout);
    applyWindowPictures(this, ctx.folder);
    BaseFontSizes = {m_buttons.first()->font().pointSize(), m_caption->font().pointSize(), lblTips->font().pointSize()};
    return true;
}

void LargeForm::setTips(const QString &first, const QString &second)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString tips = crlf + crlf + first + crlf + second + crlf + crlf;
    lblTips->setText(QString(tips).replace(crlf, QStringLiteral("\n")));
    lblTips->setProperty("caption", tips);
}

void LargeForm::openEnlarged()
{
    setMinimumSize(kMinimumSize);
    resize(int(m_design.width() * 1.4), int(m_design.height() * 1.4));
    centerOnScreen(this);
}

void LargeForm::Form_Resize()
{
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        if (width() < kMinimumSize.width() || height() < kMinimumSize.height())
            resize(size().expandedTo(kMinimumSize));
    }
    RelayoutForm(this, m_layout);
    if (m_layout.ScaleRatioX > 0) {
        const int growth = int(std::floor((m_layout.ScaleRatioX - 1) * 12));
        const int tipsGrowth = int(std::floor((m_layout.ScaleRatioX - 1) * 15));
        for (QPushButton *b : m_buttons)
            setPointSize(b, BaseFontSizes[0] + growth);
        setPointSize(m_caption, BaseFontSizes[1] + growth);
        setPointSize(lblTips, BaseFontSizes[2] + tipsGrowth);
    }
    afterResize();
}

void LargeForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_layout.DesignWidth > 0)
        Form_Resize();
}

} // namespace orvane
