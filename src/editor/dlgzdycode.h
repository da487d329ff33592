// The dialog "自定义编码": shows one custom word and takes the user's code for it (at most six
// digits). However it is closed, the code box's text goes back to the owner's Tag.
#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class dlgZdyCode final : public QDialog {
    Q_OBJECT
public:
    // ownerTag holds the word while the dialog loads and receives the code when it closes.
    // currentCode is shown as a hint in the empty box.
    dlgZdyCode(AppContext &ctx, QString &ownerTag, const QString &currentCode = QString(), QWidget *parent = nullptr);

    QLabel *lblZdyWord = nullptr;
    QLineEdit *txtCode = nullptr;
    QPushButton *cmdOk = nullptr;

    void cmdOk_Click();
    void done(int result) override;

private:
    void Form_Load();
    QString &m_ownerTag;
};

} // namespace orvane
