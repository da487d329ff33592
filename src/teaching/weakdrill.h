// The drill of the learner's weak items ("练习薄弱项"), from the history.
#pragma once

#include "teaching/practicetext.h"

#include <functional>

namespace orvane {

class HistoryDb;
struct HistoryRecord;

// Every test of the history with its commits, oldest first; empty with *error when it cannot be
// read.
QVector<HistoryRecord> testsWithCommits(const HistoryDb &db, QString *error);

// The weak items of the tests: the 20 items most in need of practice, each missed, with their
// codes from codes.
QVector<DrillItem> weakItems(
    const QVector<HistoryRecord> &tests, const std::function<ItemCodes(const QString &)> &codes);

// Their drill: each item three times in an order drawn from seed, of kind "drill". An empty text
// when there is nothing to practise.
OpenedText weakItemsDrill(const QVector<DrillItem> &items, quint32 seed);

// What the learner is told when there is nothing to practise yet.
QString nothingToPractise();

} // namespace orvane
