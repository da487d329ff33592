#include "history/historymodel.h"

namespace orvane {

namespace {

QString elapsedText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds % 3600) / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QVariant optionalValue(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant(-1.0); // tests without the figure sort first
}

QString optionalText(const std::optional<double> &v, int decimals, double factor = 1, const QString &unit = {})
{
    return v ? QString::number(*v * factor, 'f', decimals) + unit : QStringLiteral("—");
}

} // namespace

void HistoryModel::setTests(QVector<HistoryRecord> tests)
{
    beginResetModel();
    m_tests = std::move(tests);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_tests.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_tests.size())
        return {};
    const HistoryRecord &r = m_tests.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() == TextColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == SortRole) {
        switch (index.column()) {
        case StartColumn: return r.start.toMSecsSinceEpoch();
        case TextColumn: return r.textName;
        case TimeColumn: return r.elapsedSeconds;
        case AccuracyColumn: return r.accuracy;
        case SpeedColumn: return r.speed;
        case EffectiveSpeedColumn: return r.effectiveSpeed;
        case KeysPerSecondColumn: return optionalValue(r.keysPerSecond);
        case CodeLengthColumn: return optionalValue(r.codeLength);
        case WordShareColumn: return optionalValue(r.wordShare);
        case IdealCodeLengthColumn: return optionalValue(r.idealCodeLength);
        case IdealWordShareColumn: return optionalValue(r.idealWordShare);
        case BackspacesColumn: return r.backspaces ? QVariant(*r.backspaces) : QVariant(-1);
        case RetypedColumn: return r.retyped ? QVariant(*r.retyped) : QVariant(-1);
        case KeyAccuracyColumn: return optionalValue(r.keyAccuracy);
        case KeysColumn: return r.keys;
        default: return {};
        }
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case StartColumn: return r.start.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case TextColumn: return r.textName;
    case TimeColumn: return elapsedText(r.elapsedSeconds);
    case AccuracyColumn: return QString::number(r.accuracy, 'f', 2) + QLatin1Char('%');
    case SpeedColumn: return r.speed;
    case EffectiveSpeedColumn: return r.effectiveSpeed;
    case KeysPerSecondColumn: return optionalText(r.keysPerSecond, 2);
    case CodeLengthColumn: return optionalText(r.codeLength, 3);
    case WordShareColumn: return optionalText(r.wordShare, 1, 100, QStringLiteral("%"));
    case IdealCodeLengthColumn: return optionalText(r.idealCodeLength, 3);
    case IdealWordShareColumn: return optionalText(r.idealWordShare, 1, 100, QStringLiteral("%"));
    case BackspacesColumn: return r.backspaces ? QVariant(*r.backspaces) : QVariant(QStringLiteral("—"));
    case RetypedColumn: return r.retyped ? QVariant(*r.retyped) : QVariant(QStringLiteral("—"));
    case KeyAccuracyColumn: return optionalText(r.keyAccuracy, 1, 100, QStringLiteral("%"));
    case KeysColumn: return r.keys;
    default: return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const names[] = {"测试时间", "文章", "用时", "正确率", "速度(字/分)", "有效速度", "击键", "码长",
        "打词率", "理论码长", "理论打词率", "退格", "回改", "键准", "键数"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(names[section]) : QVariant();
}

} // namespace orvane
