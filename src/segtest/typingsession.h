// The comparison of a running test, without widgets: the current position in the test view's
// document, the colours and counts of typed characters, the input bursts, the movement keys and
// the code hint. The test window feeds it what arrives in the typing box.
//
// While a test runs, the result colours and the highlight of the current character are kept
// here and shown over the text as an overlay (the window draws overlay() as extra selections).
// A change of a character format in the document lays out its whole paragraph again, which
// for a paragraph of 2,000 characters takes milliseconds; the overlay costs nothing of the kind.
// finish() writes the result colours into the document in one edit, when the test ends.
#pragma once

#include "core/clock.h"
#include "history/historydb.h"
#include "prepare/testdocument.h"
#include "segtest/statsdata.h"
#include "settings/usersettings.h"

#include <QRgb>
#include <QString>
#include <QTextCursor>
#include <QTextLayout>
#include <QVector>
#include <functional>
#include <vector>

class QTextDocument;

namespace orvane {

struct ItemCodes;

// Gaps between two accepted characters of one input burst are at most this long.
inline constexpr qint64 kBurstGapMs = 200;

class TypingSession {
public:
    // document is the test view's; doc gives the marks of its text; the counters are the test's.
    TypingSession(QTextDocument &document, const TestDocument &doc, TestCounters &counters,
        const UserSettings &settings, const Clock &clock);

    // Test start: counters zero, position 0 selected and highlighted, the burst clock started.
    void start();

    enum class Outcome { Advanced, Finished };
    // Writes the result colours of the test into the document and takes the overlay away.
    void finish();

    // What the window draws over the text: the result colours and the highlight.
    QVector<QTextLayout::FormatRange> overlay() const;
    // Called whenever overlay() changed.
    std::function<void()> overlayChanged;

    // The colour of the character at pos as the comparison sees it: the rendered colour until
    // the character is typed, then its result colour.
    QRgb colourAt(int pos) const;
    bool isHighlighted(int pos) const { return m_highlight && pos == m_position; }

    // The result of the character at pos in the test under way or last run; a position retyped
    // keeps its last result.
    enum class Typed : quint8 { Not, Right, Wrong };
    Typed typedAt(int pos) const;

    // One comparison step for the first character of typed (which must not be empty): counts the
    // burst, records the expected character, colours and counts it, and moves on. The character
    // is right when it is the expected one in either width ("-" for "－", "A" for "Ａ"); letter
    // case counts. A position typed before in this test counts as typed again (RetypedCount).
    // Finished when the position has passed the last character (the caller ends the
    // test).
    Outcome compare(const QString &typed);

    // A key that reached the typing box.
    void countKey() { ++m_counters.KeystrokeCount; }

    // Text arrived in the typing box at the current position, before it is compared: one commit
    // of the input method, or what was typed without it. Kept with the time since the start and
    // the keys counted since the previous commit.
    void recordCommit(const QString &text);
    // The commits of the test under way or last run, in order.
    const QVector<HistoryCommit> &commits() const { return m_commits; }
    void moveRight();
    void moveLeft();
    // The Left key and Backspace: each moves back one character and is counted on its own.
    void pressLeft();
    void pressBackspace();
    void highlightOff();

    int position() const { return m_position; }
    int length() const;
    // The character at the current position as the learner would type it (a line break is "\n").
    QString currentCharacter() const;

    // The text the code hint looks up: the whole word when the position is at its first
    // character, else the current character alone.
    QString hintText() const;

    qint64 LastCharTick = 0;
    int CurrentBurstLength = 0;

private:
    void select(int position, bool highlight);
    QTextCursor selection() const;
    void changed();
    // Calls visit(start, length, colour) for each run of typed characters with one result.
    void forEachTypedRun(const std::function<void(int, int, const QColor &)> &visit) const;

    enum : quint8 { Untyped, TypedRight, TypedWrong };

    QTextDocument &m_document;
    const TestDocument &m_doc;
    TestCounters &m_counters;
    const UserSettings &m_settings;
    const Clock &m_clock;
    int m_position = 0;
    int m_end = 0; // the test ends when the position reaches it
    bool m_highlight = false;
    std::vector<quint8> m_result; // Untyped, TypedRight or TypedWrong
    QVector<HistoryCommit> m_commits;
    qint64 m_startTick = 0;
    int m_keysAtLastCommit = 0;
};


} // namespace orvane
