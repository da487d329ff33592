// The parts the two large windows (the test window and the editor) are built from: picture
// buttons in a column, the framed welcome caption, the introduction text, the text view and the
// status bar with its panels. Geometry is the design geometry in pixels, one pixel for 15 twips.
#pragma once

#include "core/twips.h"

#include <QList>
#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QWidget;

namespace orvane {

struct AppContext;

// The three pictures must lie in the program folder when a window loads; without them the
// program says so and ends (ctx.endProgram). False in that case.
bool requireWindowPictures(AppContext &ctx);

// A button of the right-hand column: left 8400, 1500 × 450 twips, at the given top.
QPushButton *makeColumnButton(QWidget *form, const char *name, const QString &caption, int topTwips);

// The frame around the welcome caption, and the caption itself.
QFrame *makeWelcomeFrame(QWidget *form, const QRect &geometry);
QLabel *makeWelcomeCaption(QWidget *form, const char *name, const QString &caption, const QRect &geometry);
// The introduction text under the caption.
QLabel *makeTipsLabel(QWidget *form, const QRect &geometry);

// The large text view, in the given point size.
void styleTextView(QTextEdit *view, int pointSize);

// The status bar along the bottom of the form with its panels (the first one stretches).
QStatusBar *makeFormStatusBar(QWidget *form, const QRect &geometry, int panelCount, QList<QLabel *> &panels);

} // namespace orvane
