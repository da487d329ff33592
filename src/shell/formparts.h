// The two large windows (the test window and the editor) and the parts they are built from:
// picture buttons in a column, the framed welcome caption, the introduction text, the text view and
// the status bar with its panels. Positions are given in twips of the design and placed in pixels,
// one pixel for 15 twips (tw).
//
// LargeForm is the frame both windows derive from. It builds the shared parts, runs the shared load
// steps and owns the layout: at every resize after load it keeps the window at least 9000 × 8000
// twips, moves and sizes every control by the ratio of the window to its design size
// (windowhelpers.h), and grows the fonts of the buttons, the welcome caption and the introduction.
#pragma once

#include "core/twips.h"
#include "shell/windowhelpers.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QWidget;

namespace orvane {

struct AppContext;

// The large text view, in the given point size.
void styleTextView(QTextEdit *view, int pointSize);

class LargeForm : public QDialog {
    Q_OBJECT
public:
    QFrame *Shape1 = nullptr;
    QLabel *lblTips = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // The design font sizes of the buttons (taken from the first button), of the welcome caption
    // and of the introduction, recorded at load; the resize grows the fonts from them.
    std::array<int, 3> BaseFontSizes{};

    // The resize: a window that is neither maximised nor minimised and smaller than the minimum
    // is set to the minimum; every control is laid out again (ScaleRatioX follows the width);
    // the buttons and the caption grow by Int((ScaleRatioX − 1) × 12) points, the introduction by
    // Int((ScaleRatioX − 1) × 15), Int rounding down. Runs at every resize once the form loaded.
    void Form_Resize();

    // Status panel n (1-based).
    QString panelText(int n) const;
    void setPanelText(int n, const QString &text);

protected:
    // A window with title bar, minimise, maximise and close buttons, at its design size in pixels.
    LargeForm(const char *name, const QString &title, QSize designSize, QWidget *parent);

    // A button of the right-hand column: left 8400, 1500 × 450 twips, at the given top. Its font
    // grows with the window, as the first button's.
    QPushButton *addColumnButton(const char *name, const QString &caption, int topTwips);
    // The welcome caption in its frame (Shape1) and the introduction under it (lblTips);
    // rectangles in twips. Returns the caption.
    QLabel *addWelcome(const char *captionName, const QString &caption, const QRect &frameTwips,
        const QRect &captionTwips, const QRect &tipsTwips);
    // The status bar along the bottom edge with its panels; the first one stretches.
    void addStatusBar(int panelCount);
    QLabel *panel(int n) const;
    // The place of the text view: 120 twips from the left and top, 8100 twips wide, down to
    // 120 twips above the status bar.
    QRect textViewGeometry() const;

    // The load steps of the frame: centres the window; without the three pictures the program
    // says so and ends (false); records the design layout, puts up the pictures and records
    // BaseFontSizes. Controls that the window places itself are left out of the layout after it.
    bool loadFrame(AppContext &ctx);
    // The introduction: two paragraphs between blank lines. Its "caption" property holds the
    // text with CR LF line ends, as the form sets it.
    void setTips(const QString &first, const QString &second);
    // Gives the window its minimum size and opens it 1.4 times its design size, centred: the
    // controls and fonts grow with it.
    void openEnlarged();

    // Runs at the end of Form_Resize, when the controls are in place for the new size.
    virtual void afterResize() { }

    void resizeEvent(QResizeEvent *event) override;

private:
    QSize m_design;
    LayoutState m_layout;
    QList<QPushButton *> m_buttons;
    QLabel *m_caption = nullptr;
    QList<QLabel *> m_panels;
};

} // namespace orvane
