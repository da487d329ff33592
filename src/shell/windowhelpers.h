// Helpers that several windows share.
//
// Proportional layout: RecordLayout stores the design size of a window and every control's
// geometry in the control's "Tag" property ("left top width height ", each number followed by a
// blank); ScaleControls moves each control by the ratio of the current size to the design size.
// A control is every descendant widget with an object name of its own (Qt's internal children,
// named "qt_...", and unnamed helpers are not controls). Other named objects (timers, actions)
// have no geometry and are passed over.
//
// NoContextMenuProc and MainTextProc are event filters that stand in front of text controls:
// the first hides the context menu while a non-left mouse button is pressed, the second keeps
// the test view from taking caret placement by click and typed characters.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace orvane {

struct LayoutState {
    int DesignWidth = 0;
    int DesignHeight = 0;
    double ScaleRatioX = 1.0;
};

void RecordLayout(QWidget *form, LayoutState &state);
void ScaleControls(QWidget *form, LayoutState &state);
void RelayoutForm(QWidget *form, LayoutState &state);
bool HasVisibleProperty(const QObject *control);
// The form places this control itself: RecordLayout has been called, and from now on the layout
// helpers neither move it nor hide it while they lay the form out again (hiding a focused box
// would take its focus and end an input method's composition in it).
void LeaveOutOfLayout(QWidget *control);

// The widgets that the layout helpers treat as the form's controls.
QList<QWidget *> formControls(QWidget *form);

// Swallows context-menu events; all other events pass.
class NoContextMenuProc final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Installs NoContextMenuProc on a text box while a non-left mouse button is pressed on it and
// removes it after the release, so that right and middle clicks show no context menu and the box
// behaves normally afterwards.
class ContextMenuGuard final : public QObject {
    Q_OBJECT
public:
    explicit ContextMenuGuard(QWidget *textBox);
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool isProtecting() const { return m_active; }

private:
    QWidget *target() const;
    QPointer<QWidget> m_box;
    NoContextMenuProc m_proc;
    bool m_active = false;
};

// Swallows left mouse presses and typed characters (key presses that produce text and committed
// input-method text); scrolling, painting and keyboard navigation still work.
class MainTextProc final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Passes only digits and Backspace through FilterKey, beeping on anything else.
class NumericKeyFilter final : public QObject {
    Q_OBJECT
public:
    explicit NumericKeyFilter(QObject *parent = nullptr, QString allowed = QStringLiteral("0123456789"));
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_allowed;
};

} // namespace orvane
