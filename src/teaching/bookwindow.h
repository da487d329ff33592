// The window "错题本": the mistake book of the learner's history (see mistakebook.h) in a sortable
// table, with the counts of each kind of miss, and the removal of an item by hand after a question.
#pragma once

#include "teaching/mistakebook.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

struct AppContext;

class BookWindow final : public QDialog {
    Q_OBJECT
public:
    // Reads the history of ctx; when it cannot be opened the user has been told and the book is
    // empty.
    explicit BookWindow(AppContext &ctx, QWidget *parent = nullptr);

    // Reads the book again.
    void reload();
    // The items shown, in the table's order.
    QVector<BookItem> shownItems() const;
    // Takes the selected item out of the book after asking.
    void removeSelected();

    QLabel *lblCounts = nullptr;
    QTableWidget *tblBook = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdClose = nullptr;

private:
    AppContext &m_ctx;
    MistakeBook m_book;
};

} // namespace orvane
