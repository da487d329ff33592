// The dialog "分段输入的词": the words of the last test that the learner typed in pieces although
// the installed table has them whole, with their codes, the learner's split and keys, the keys of
// the word's code and the keys lost, most keys lost first.
#pragma once

#include "history/historydb.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class DlgPieces final : public QDialog {
    Q_OBJECT
public:
    explicit DlgPieces(const QVector<HistoryPiece> &pieces, QWidget *parent = nullptr);

    QLabel *lblSummary = nullptr;
    QTableWidget *tblPieces = nullptr;
    QPushButton *cmdClose = nullptr;
};

} // namespace orvane
