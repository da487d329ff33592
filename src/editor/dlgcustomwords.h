// The window "自定义词管理": the learner's custom words with their codes, in the order they were
// added; the selected ones can be removed. After a removal the segmentation no longer prefers the
// word (the libraries read the file again) and the installed input-method table is made again
// (AppContext::customWordsChanged).
#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class dlgCustomWords final : public QDialog {
    Q_OBJECT
public:
    // path: the custom-words file; empty for the learner's own.
    explicit dlgCustomWords(AppContext &ctx, const QString &path = QString(), QWidget *parent = nullptr);

    QLabel *lblCount = nullptr;
    QTableWidget *gridWords = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdClose = nullptr;

    // Reads the file again and fills the list.
    void loadWords();
    void cmdRemove_Click();

private:
    AppContext &m_ctx;
    QString m_path;
};

} // namespace orvane
