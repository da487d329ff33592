#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace orvane {

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout(AppContext &ctx, QWidget *parent = nullptr);

    QLabel *Picture1;
    QLabel *Label1;
    QPushButton *cmdOK;

    static QString aboutText();

private:
    void Form_Load();
    void cmdOK_Click();
    AppContext &m_ctx;
};

} // namespace orvane
