// The drill of the learner's weak items ("练习薄弱项"), from the mistake book.
#pragma once

#include "teaching/practicetext.h"

namespace orvane {

struct MistakeBook;

// The weak items of the book: its 20 items most in need of practice (the most misses, the most
// recently missed first), each with the codes the book keeps and marked missed, so that the
// drill shows its code before it is first typed.
QVector<DrillItem> weakItems(const MistakeBook &book);

// Their drill: each item three times in an order drawn from seed, of kind "drill". An empty text
// when there is nothing to practise.
OpenedText weakItemsDrill(const QVector<DrillItem> &items, quint32 seed);

// What the learner is told when there is nothing to practise yet.
QString nothingToPractise();

} // namespace orvane
