// The statistics of the current text and of the user's typing: the word and character tables,
// the key figures of the four input modes, and the figures the report prints.
#pragma once

#include <QString>
#include <QVector>
#include <array>

namespace orvane {

struct StatEntry {
    QString text;
    int count = 0;
    QString standardCode;
    QString shortCode;
    bool operator==(const StatEntry &) const = default;
};

// Slots 0..23 of the key figures: see keycounts.h for their layout.
using KeyCountSlots = std::array<int, 24>;

struct TestStatistics {
    // Distinct words by length class, index 1..5 (index 0 unused); class 5 is five or more.
    std::array<QVector<StatEntry>, 6> WordStats;
    // Distinct characters other than ASCII letters and digits, in order of first occurrence.
    QVector<StatEntry> CharStats;

    KeyCountSlots TextKeyCounts{};
    KeyCountSlots UserKeyCounts{};

    // Figures of the user's typing kept for the report.
    int DetailCharCount = 0;
    std::array<int, 6> DetailWordCounts{}; // index 1..5
    int DetailKeyCount = 0;
    double DetailAvgKeys = 0;

    int wordClassSize(int cls) const { return int(WordStats[cls].size()); }
    int charStatsLast() const { return int(CharStats.size()) - 1; }
};

} // namespace orvane
