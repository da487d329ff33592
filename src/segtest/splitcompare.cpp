#include "segtest/splitcompare.h"

#include "prepare/textforms.h"

#include <algorithm>
#include <vector>

namespace orvane {

namespace {

// One commit reduced to what the comparison needs.
struct Landing {
    int position = 0; // where it starts, within the stretch
    int keys = 0;
    int wrong = 0;
    QString retyped; // the part typed again after moving back
};

int countWrong(QStringView typed, QStringView expected)
{
    int wrong = 0;
    for (qsizetype i = 0; i < typed.size(); ++i)
        if (i >= expected.size() || narrow(typed[i]) != narrow(expected[i]))
            ++wrong;
    return wrong;
}

QString keyName(const QString &selectKey)
{
    if (selectKey == QLatin1String("space"))
        return QStringLiteral("空格");
    if (selectKey == QLatin1String(";"))
        return QStringLiteral("分号");
    if (selectKey == QLatin1String("'"))
        return QStringLiteral("引号");
    return selectKey; // F4 .. F10
}

} // namespace

QString SplitSpan::learnerSplit() const
{
    return learnerPieces.join(u'|');
}

QString SplitSpan::pathSplit() const
{
    QStringList texts;
    for (const KeyPathStep &s : pathSteps)
        texts << s.text;
    return texts.join(u'|');
}

QString SplitSpan::pathCodes() const
{
    QStringList codes;
    for (const KeyPathStep &s : pathSteps) {
        switch (s.kind) {
        case KeyPathStep::Kind::Entry:
            codes << (s.selectKey.isEmpty() ? s.code : s.code + u'+' + keyName(s.selectKey));
            break;
        case KeyPathStep::Kind::Uncovered: codes << QStringLiteral("直接"); break;
        case KeyPathStep::Kind::LineBreak: codes << QStringLiteral("回车"); break;
        }
    }
    return codes.join(u' ');
}

int SplitComparison::spansWithExtraKeys() const
{
    return int(std::count_if(spans.begin(), spans.end(), [](const SplitSpan &s) { return s.extraKeys() > 0; }));
}

QString typedStretch(QStringView text, const QVector<HistoryCommit> &commits)
{
    qsizetype end = 0;
    for (const HistoryCommit &c : commits)
        end = std::max(end, qsizetype(std::max(c.position, 0)) + c.text.size());
    return text.left(std::min(end, text.size())).toString();
}

SplitComparison compareSplits(QStringView stretch, const QVector<HistoryCommit> &commits, const KeyPath &path)
{
    SplitComparison out;
    const int n = int(stretch.size());
    out.characters = n;
    if (n == 0)
        return out;

    // The learner's pieces and boundaries, walking the commits in order.
    struct Piece {
        int start;
        QString text;
    };
    std::vector<Piece> pieces;
    std::vector<bool> learnerCut(size_t(n) + 1, false);
    std::vector<Landing> landings;
    learnerCut[0] = learnerCut[size_t(n)] = true;
    int frontier = 0;
    const auto untyped = [&](int from, int to) {
        pieces.push_back({from, u'[' + stretch.mid(from, to - from).toString() + u']'});
        learnerCut[size_t(from)] = learnerCut[size_t(to)] = true;
    };
    for (const HistoryCommit &c : commits) {
        if (c.position >= n) {
            // Beyond the stretch (a stretch shorter than the test): its keys count at the end.
            landings.push_back({n - 1, c.keys, 0, {}});
            continue;
        }
        const int p = std::max(c.position, 0);
        const int length = int(c.text.size());
        Landing landing{p, c.keys, 0, {}};
        if (p > frontier)
            untyped(frontier, p);
        const int start = std::max(p, frontier);
        const int end = std::min(p + length, n);
        if (p < frontier) {
            landing.retyped = c.text.left(std::min(length, frontier - p));
            landing.wrong += countWrong(landing.retyped, stretch.mid(p, landing.retyped.size()));
        }
        if (end > start) {
            const QString typed = c.text.mid(start - p, end - start);
            landing.wrong += countWrong(typed, stretch.mid(start, end - start));
            pieces.push_back({start, typed});
            learnerCut[size_t(start)] = learnerCut[size_t(end)] = true;
            frontier = end;
        }
        landings.push_back(std::move(landing));
    }
    if (frontier < n)
        untyped(frontier, n);

    // The path's steps and boundaries; line breaks at the end that the path leaves out, one key
    // each.
    QVector<KeyPathStep> steps;
    std::vector<int> stepStart;
    std::vector<bool> pathCut(size_t(n) + 1, false);
    pathCut[0] = pathCut[size_t(n)] = true;
    int at = 0;
    for (const KeyPathStep &s : path.steps) {
        if (at + s.text.size() > n)
            break; // a path of another text: its rest is left out
        steps.push_back(s);
        stepStart.push_back(at);
        at += int(s.text.size());
        pathCut[size_t(at)] = true;
    }
    while (at < n) {
        KeyPathStep rest;
        rest.text = stretch.mid(at, 1).toString();
        rest.keys = 1;
        if (rest.text == QLatin1String("\n") || rest.text == QLatin1String("\r")) {
            rest.kind = KeyPathStep::Kind::LineBreak;
            rest.selectKey = QStringLiteral("Enter");
        } else {
            rest.kind = KeyPathStep::Kind::Uncovered;
        }
        steps.push_back(rest);
        stepStart.push_back(at);
        ++at;
        pathCut[size_t(at)] = true;
    }

    // Spans between the places where both split; each position's span.
    std::vector<int> spanOf(size_t(n), 0);
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (!(learnerCut[size_t(j)] && pathCut[size_t(j)]))
            ++j;
        SplitSpan span;
        span.position = i;
        span.text = stretch.mid(i, j - i).toString();
        std::fill(spanOf.begin() + i, spanOf.begin() + j, int(out.spans.size()));
        out.spans.push_back(std::move(span));
        i = j;
    }
    for (const Piece &piece : pieces)
        out.spans[spanOf[size_t(piece.start)]].learnerPieces << piece.text;
    for (qsizetype k = 0; k < steps.size(); ++k) {
        SplitSpan &span = out.spans[spanOf[size_t(stepStart[size_t(k)])]];
        span.pathKeys += steps[k].keys;
        span.pathSteps.push_back(steps[k]);
        out.pathKeys += steps[k].keys;
    }
    for (const Landing &l : landings) {
        SplitSpan &span = out.spans[spanOf[size_t(l.position)]];
        span.learnerKeys += l.keys;
        span.wrongCharacters += l.wrong;
        if (!l.retyped.isEmpty()) {
            span.retyped << l.retyped;
            ++out.retypedCommits;
        }
        out.learnerKeys += l.keys;
        out.wrongCharacters += l.wrong;
    }
    return out;
}

} // namespace orvane
