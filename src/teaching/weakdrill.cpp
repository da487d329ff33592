#include "teaching/weakdrill.h"

#include "teaching/mistakebook.h"

namespace orvane {

QVector<DrillItem> weakItems(const MistakeBook &book)
{
    QVector<DrillItem> out;
    for (const BookItem &b : weakestItems(book, 20))
        out.push_back({b.text, {b.standardCode, b.shortCodes}, true});
    return out;
}

OpenedText weakItemsDrill(const QVector<DrillItem> &items, quint32 seed)
{
    PracticeOptions options;
    options.seed = seed;
    return practiceText(items, options, drillName(), drillKind());
}

QString nothingToPractise()
{
    return QStringLiteral("错题本中还没有需要练习的字词。先做几次测试，打错、打慢或分段输入的字词会记入错题本。");
}

} // namespace orvane
