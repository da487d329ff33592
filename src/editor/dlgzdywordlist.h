// The dialog "自定义词列表": the custom words that the editor's save found, each once, with the
// code the code library proposes. A click on a row lets the user change its code; the button adds
// every listed word with its code to the custom dictionary.
#pragma once

#include "context/appcontext.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class dlgZdyWordList final : public QDialog {
    Q_OBJECT
public:
    // candidates: the editor's Tag, each word followed by one blank.
    dlgZdyWordList(AppContext &ctx, const QString &candidates, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QTableWidget *gridWordList = nullptr;
    QPushButton *OKButton = nullptr;

    // The channel to the code dialog: the word before it opens, the code after it closed.
    QString Tag;
    QStringList CandidateWords;

    // Number of data rows, and the word and code of a row.
    int rowCount() const;
    QString wordAt(int row) const;
    QString codeAt(int row) const;

    void gridWordList_EnterCell(int row);
    void OKButton_Click();

private:
    void Form_Load();

    AppContext &m_ctx;
};

} // namespace orvane
