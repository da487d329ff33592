// The kept tests as a table model: one row a test, the columns of the history window's table.
// SortRole gives each cell's value for sorting (numbers as numbers, times as times).
#pragma once

#include "history/historydb.h"

#include <QAbstractTableModel>

namespace orvane {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        StartColumn,
        TextColumn,
        TimeColumn,
        AccuracyColumn,
        SpeedColumn,
        EffectiveSpeedColumn,
        KeysPerSecondColumn,
        CodeLengthColumn,
        WordShareColumn,
        IdealCodeLengthColumn,
        IdealWordShareColumn,
        BackspacesColumn,
        RetypedColumn,
        KeyAccuracyColumn,
        KeysColumn,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setTests(QVector<HistoryRecord> tests);
    const HistoryRecord &test(int row) const { return m_tests.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<HistoryRecord> m_tests;
};

} // namespace orvane
