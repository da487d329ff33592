// One test of the test window, without widgets: the marks and counts of the open text, the
// typing session with its counters and typed text, the start, pause, resume and end times and
// the time limit, and the figures of the text and of the test.
//
// The figures are computed when they are first asked for and kept until the next text (the
// tables and key counts of the whole text) or the next test (the result, the typing details and
// the key counts of the typed stretch). The result, details and key dialogs only show what they
// get here; the report prints what has been computed so far (reportFigures).
#pragma once

#include "prepare/testdocument.h"
#include "segtest/report.h"
#include "segtest/resultsummary.h"
#include "segtest/statsdata.h"
#include "segtest/textfigures.h"
#include "segtest/textstats.h"
#include "segtest/typingfigures.h"
#include "segtest/typingsession.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

class QTextDocument;

namespace orvane {

class CodeDictionary;
class ExternalLibs;

class TestRun {
public:
    // view is the test view's document, which holds the text; codes gives the code database when
    // a figure first needs it. All must outlive the run.
    TestRun(
        QTextDocument &view, const UserSettings &settings, const Clock &clock, std::function<CodeDictionary &()> codes);
    ~TestRun();

    // The marks and counts of the open text.
    TestDocument doc;
    // The counters and typed text of the test under way or last run.
    TestCounters counters;

    // The text of the test view, line breaks as "\n".
    QString viewText() const;

    // The comparison and position of the running test.
    TypingSession &session() { return *m_session; }

    // A text was opened (its marks and counts are in doc): the last test and every figure are
    // dropped.
    void newText();

    // The test starts now: the figures of the last test are dropped, the pauses are zero and the
    // time limit, when the settings set one, is full. The session starts separately
    // (session().start()), which zeroes the counters.
    void start();
    void pause();
    void resume();
    // The test ends now.
    void end();

    QDateTime startTime() const { return m_start; }
    QDateTime endTime() const { return m_end; }
    qint64 pausedSeconds() const { return m_pausedSeconds; }
    // The length of the last finished test in seconds, its pauses left out; 0 before a test
    // ended. Dates go with the times, so a test across midnight measures its true length.
    qint64 elapsedSeconds() const { return m_elapsedSeconds; }
    // The seconds of the running test so far, its pauses (the one under way included) left out.
    qint64 runningSeconds() const;

    // The seconds left of the time limit.
    int remainingSeconds() const { return m_remainingSeconds; }
    // One second of the time limit has passed; the seconds left.
    int countDown() { return --m_remainingSeconds; }

    // The result dialog's figures of the last test.
    const ResultSummary &result();
    bool hasResult() const { return m_result.has_value(); }

    // The figures of the whole text.
    TextFigures &text();
    const QVector<StatEntry> &charTable() { return text().charTable(m_codes()); }
    const WordTable &wordTable() { return text().wordTable(m_codes()); }
    const KeyCountSlots &textKeyCounts() { return text().keyCounts(m_codes()); }
    // The details were computed: the character table (and with it the word table) exists.
    bool hasDetails() const { return m_text && m_text->hasCharTable(); }

    // The figures of the user's typing from the counters.
    const TypingDetails &typingDetails();
    // The key counts of the typed stretch: the stretch is segmented by libs the first time after
    // a test, and later calls count from that analysis. Null with *error saying why when it could
    // not be segmented (the next call tries again); null without an error when nothing was typed.
    const KeyCountSlots *userKeyCounts(const ExternalLibs *libs, QString *error);
    bool hasUserKeyCounts() const { return m_userKeys.has_value(); }

    // Loads the table of the shortest key path for a text (the window gives the installed one,
    // loadInstalledKeyPathTable); empty: no key path, the figures that need it are absent.
    std::function<std::optional<KeyPathTable>(QStringView text, QString *error)> loadKeyPathTable;
    // The shortest key path of the whole text, computed once per text; of the typed stretch (from
    // the start to the furthest position typed), once per test. Null with *error saying why when
    // the table could not be loaded (not tried again for this text), or when nothing was typed.
    const KeyPath *textPath(QString *error = nullptr);
    const KeyPath *stretchPath(QString *error = nullptr);
    // The installed table's entries of the text, read once per text (both paths and the words
    // typed in pieces come from it). Null with *error saying why when it could not be read.
    const KeyPathTable *table(QString *error = nullptr);
    // The figures of the last test (击键, 码长, 打词率, ...), computed once after it ended.
    const TypingFigures &figures();
    bool hasFigures() const { return m_figures.has_value(); }

    // The words of the last finished test that the learner typed in pieces (by keys lost); set by
    // the window when the test ends, nullopt before.
    std::optional<QVector<HistoryPiece>> pieces;

    // The last finished test as the history keeps it: its times, the text's name, hash and
    // length, the result dialog's figures, the keys, bursts and commits.
    HistoryRecord historyRecord();

    // What the report prints: the counts and time, and the figures computed so far.
    ReportFigures reportFigures();

private:
    void dropTestFigures();

    QTextDocument &m_view;
    std::function<CodeDictionary &()> m_codes;
    std::unique_ptr<TypingSession> m_session;
    const UserSettings &m_settings;
    const Clock &m_clock;

    QDateTime m_start;
    QDateTime m_end;
    QDateTime m_pauseStart;
    qint64 m_pausedSeconds = 0;
    qint64 m_elapsedSeconds = 0;
    int m_remainingSeconds = 0;

    std::optional<TextFigures> m_text;
    std::optional<ResultSummary> m_result;
    std::optional<TypingDetails> m_typing;
    TestStatistics m_userStats;
    std::optional<KeyCountSlots> m_userKeys;

    bool m_paused = false;
    // The key-path table of the text and the path of the whole text; the error of a failed load.
    bool m_tableTried = false;
    std::optional<KeyPathTable> m_table;
    QString m_tableError;
    std::optional<KeyPath> m_textPath;
    std::optional<KeyPath> m_stretchPath;
    std::optional<TypingFigures> m_figures;
};

} // namespace orvane
