#include "segtest/testrun.h"

#include "prepare/codedictionary.h"
#include "segtest/userkeys.h"

#include <QTextDocument>

namespace orvane {

// --- the run --------------------------------------------------------------------------------

TestRun::TestRun(
    QTextDocument &view, const UserSettings &settings, const Clock &clock, std::function<CodeDictionary &()> codes)
    : m_view(view), m_codes(std::move(codes)),
      m_session(std::make_unique<TypingSession>(view, doc, counters, settings, clock)), m_settings(settings),
      m_clock(clock)
{ }

TestRun::~TestRun() = default;

void TestRun::newText()
{
    counters = TestCounters{};
    m_text.reset();
    m_tableTried = false;
    m_table.reset();
    m_tableError.clear();
    m_textPath.reset();
    m_elapsedSeconds = 0;
    dropTestFigures();
}

void TestRun::dropTestFigures()
{
    pieces.reset();
    m_result.reset();
    m_typing.reset();
    m_userStats = TestStatistics{};
    m_userKeys.reset();
    m_stretchPath.reset();
    m_figures.reset();
}

void TestRun::start()
{
    dropTestFigures();
    m_start = m_clock.now();
    m_end = QDateTime();
    m_pausedSeconds = 0;
    m_paused = false;
    m_remainingSeconds = m_settings.LimitTime ? m_settings.LimitMinutes * 60 : 0;
}

void TestRun::pause()
{
    m_pauseStart = m_clock.now();
    m_paused = true;
}

void TestRun::resume()
{
    m_pausedSeconds += m_pauseStart.secsTo(m_clock.now());
    m_paused = false;
}

qint64 TestRun::runningSeconds() const
{
    if (!m_start.isValid())
        return 0;
    const QDateTime now = m_clock.now();
    const qint64 paused = m_pausedSeconds + (m_paused ? m_pauseStart.secsTo(now) : 0);
    return qMax<qint64>(0, m_start.secsTo(now) - paused);
}

void TestRun::end()
{
    if (m_paused)
        resume();
    m_end = m_clock.now();
    m_elapsedSeconds = qMax<qint64>(0, m_start.secsTo(m_end) - m_pausedSeconds);
    dropTestFigures();
}

const ResultSummary &TestRun::result()
{
    if (!m_result)
        m_result = summarizeResult(doc.HanziCount, doc.SymbolCount, doc.AlphaCount, m_elapsedSeconds,
            counters.RightCharCount, counters.WrongCharCount);
    return *m_result;
}

QString TestRun::viewText() const
{
    return m_view.toPlainText();
}

HistoryRecord TestRun::historyRecord()
{
    HistoryRecord r;
    r.start = m_start;
    r.end = m_end;
    r.textName = doc.TextName;
    r.kind = doc.Kind;
    const QString text = m_view.toPlainText();
    r.textHash = historyTextHash(text);
    r.textLength = int(text.size());
    r.hanzi = doc.HanziCount;
    r.symbols = doc.SymbolCount;
    r.alpha = doc.AlphaCount;
    r.total = r.hanzi + r.symbols + r.alpha;
    r.elapsedSeconds = m_elapsedSeconds;
    r.right = counters.RightCharCount;
    r.wrong = counters.WrongCharCount;
    const ResultNumbers n = resultNumbers(m_elapsedSeconds, r.right, r.wrong);
    r.accuracy = n.accuracyPercent;
    r.speed = int(n.speed);
    r.effectiveSpeed = int(n.effectiveSpeed);
    r.keys = counters.KeystrokeCount;
    r.bursts = counters.UserWordCounts;
    r.commits = m_session->commits();
    const TypingFigures &f = figures();
    r.keysPerSecond = f.keysPerSecond;
    r.codeLength = f.codeLength;
    r.idealCodeLength = f.idealCodeLength;
    r.wordShare = f.wordShare;
    r.idealWordShare = f.idealWordShare;
    r.backspaces = f.backspaces;
    r.retyped = f.retyped;
    r.keyAccuracy = f.keyAccuracy;
    return r;
}

const KeyPathTable *TestRun::table(QString *error)
{
    if (!m_tableTried) {
        m_tableTried = true;
        if (loadKeyPathTable)
            m_table = loadKeyPathTable(m_view.toPlainText(), &m_tableError);
        if (!m_table && m_tableError.isEmpty())
            m_tableError = QStringLiteral("没有可用的码表");
    }
    if (!m_table && error)
        *error = m_tableError;
    return m_table ? &*m_table : nullptr;
}

const KeyPath *TestRun::textPath(QString *error)
{
    if (!m_textPath) {
        const KeyPathTable *t = table(error);
        if (!t)
            return nullptr;
        m_textPath = t->shortestPath(m_view.toPlainText());
    }
    return &*m_textPath;
}

const KeyPath *TestRun::stretchPath(QString *error)
{
    if (!m_stretchPath) {
        if (counters.TypedStretch <= 0)
            return nullptr;
        const KeyPathTable *t = table(error);
        if (!t)
            return nullptr;
        // The table was loaded for the whole text, so it serves any part of it.
        m_stretchPath = t->shortestPath(m_view.toPlainText().left(counters.TypedStretch));
    }
    return &*m_stretchPath;
}

const TypingFigures &TestRun::figures()
{
    if (!m_figures)
        m_figures = computeTypingFigures(counters, m_elapsedSeconds, m_session->commits(), textPath(), stretchPath());
    return *m_figures;
}

TextFigures &TestRun::text()
{
    if (!m_text)
        m_text.emplace(m_view.toPlainText(), doc.CharMarks, doc.SymbolCount, doc.AlphaCount);
    return *m_text;
}

const TypingDetails &TestRun::typingDetails()
{
    if (!m_typing)
        m_typing = orvane::typingDetails(counters);
    return *m_typing;
}

const KeyCountSlots *TestRun::userKeyCounts(const ExternalLibs *libs, QString *error)
{
    if (m_userKeys)
        return &*m_userKeys;
    if (counters.TypedText.isEmpty())
        return nullptr;
    if (!AnalyzeTypedText(m_userStats, counters.TypedText, libs, m_codes(), error))
        return nullptr;
    m_userKeys = CountUserKeys(m_userStats);
    return &*m_userKeys;
}

ReportFigures TestRun::reportFigures()
{
    ReportFigures f;
    f.HanziCount = doc.HanziCount;
    f.SymbolCount = doc.SymbolCount;
    f.AlphaCount = doc.AlphaCount;
    f.ElapsedSeconds = m_elapsedSeconds;
    if (m_result) {
        f.AccuracyText = m_result->accuracy;
        f.SpeedText = m_result->speed;
        f.EffectiveSpeedText = m_result->effectiveSpeed;
        f.hasResult = true;
    }
    f.Figures = m_figures;
    if (hasDetails()) {
        f.WordStats = wordTable();
        f.Typing = typingDetails();
        if (m_text->hasKeyCounts())
            f.TextKeyCounts = textKeyCounts();
        f.UserKeyCounts = m_userKeys;
    }
    return f;
}

} // namespace orvane
