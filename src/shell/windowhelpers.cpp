#include "shell/windowhelpers.h"

#include "shell/keyfilter.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace orvane {

namespace {

const char *const kTag = "Tag";

bool isControl(const QWidget *w)
{
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !w->isWindow();
}

// Reads the next number of a Tag: the text up to the next blank; 0 when no blank follows.
// Returns false when the text before the blank is no number.
bool nextNumber(const QString &tag, qsizetype &pos, double &value)
{
    const qsizetype blank = tag.indexOf(QLatin1Char(' '), pos);
    if (blank < 0) {
        value = 0;
        return true;
    }
    bool ok = false;
    value = tag.mid(pos, blank - pos).toDouble(&ok);
    pos = blank + 1;
    return ok;
}

} // namespace

QList<QWidget *> formControls(QWidget *form)
{
    QList<QWidget *> controls;
    const QList<QWidget *> all = form->findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (isControl(w))
            controls.append(w);
    }
    return controls;
}

void LeaveOutOfLayout(QWidget *control)
{
    control->setProperty(kTag, QVariant());
}

bool HasVisibleProperty(const QObject *control)
{
    return control && control->isWidgetType();
}

void RecordLayout(QWidget *form, LayoutState &state)
{
    state.DesignWidth = form->width();
    state.DesignHeight = form->height();
    for (QWidget *c : formControls(form)) {
        const QRect g = c->geometry();
        c->setProperty(kTag, QStringLiteral("%1 %2 %3 %4 ").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    }
}

void ScaleControls(QWidget *form, LayoutState &state)
{
    if (state.DesignWidth <= 0 || state.DesignHeight <= 0)
        return;
    state.ScaleRatioX = double(form->width()) / state.DesignWidth;
    const double ratioY = double(form->height()) / state.DesignHeight;
    for (QWidget *c : formControls(form)) {
        const QVariant tagValue = c->property(kTag);
        if (!tagValue.isValid())
            continue;
        const QString tag = tagValue.toString();
        double n[4] = {0, 0, 0, 0};
        qsizetype pos = 0;
        bool ok = true;
        for (double &v : n)
            ok = ok && nextNumber(tag, pos, v);
        if (!ok)
            continue; // a Tag that is no number: this control stays where it is
        c->setGeometry(int(std::lround(n[0] * state.ScaleRatioX)), int(std::lround(n[1] * ratioY)),
            std::max(0, int(std::lround(n[2] * state.ScaleRatioX))), std::max(0, int(std::lround(n[3] * ratioY))));
    }
}

void RelayoutForm(QWidget *form, LayoutState &state)
{
    QList<QWidget *> hidden;
    for (QWidget *c : formControls(form)) {
        if (HasVisibleProperty(c) && c->isVisible() && c->property(kTag).isValid()) {
            c->setVisible(false);
            hidden.append(c);
        }
    }
    ScaleControls(form, state);
    for (QWidget *c : hidden)
        c->setVisible(true);
}

bool NoContextMenuProc::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu)
        return true;
    return QObject::eventFilter(watched, event);
}

ContextMenuGuard::ContextMenuGuard(QWidget *textBox) : QObject(textBox), m_box(textBox)
{
    target()->installEventFilter(this);
}

QWidget *ContextMenuGuard::target() const
{
    // Mouse and context-menu events of a scrolling text box arrive at its viewport.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(m_box.data()))
        return area->viewport();
    return m_box;
}

bool ContextMenuGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton && !m_active) {
            m_active = true;
            target()->installEventFilter(&m_proc);
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton && m_active) {
            // Where the platform sends the context menu right after the release, it must still
            // meet the filter: remove it once the events of this click are through.
            QTimer::singleShot(0, this, [this] {
                if (m_box)
                    target()->removeEventFilter(&m_proc);
                m_active = false;
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

bool MainTextProc::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            return true;
        break;
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        const QString text = ke->text();
        if (!text.isEmpty() && text.at(0).isPrint())
            return true;
        break;
    }
    case QEvent::InputMethod: return true;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

NumericKeyFilter::NumericKeyFilter(QObject *parent, QString allowed)
    : QObject(parent), m_allowed(std::move(allowed)) { }

bool NumericKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        int code = 0;
        if (ke->key() == Qt::Key_Backspace)
            code = 8;
        else if (!ke->text().isEmpty() && ke->text().at(0).isPrint())
            code = ke->text().at(0).unicode();
        else
            return QObject::eventFilter(watched, event); // Tab, Enter, Escape, navigation, modifiers
        if (FilterKey(code, m_allowed, true, [] { QApplication::beep(); }) == 0)
            return true;
    } else if (event->type() == QEvent::InputMethod) {
        return true; // composed text is never a digit string the field accepts
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orvane
