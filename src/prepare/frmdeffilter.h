// The symbol-filter dialog "自定义过滤符号": the list of filter.dat with add and delete, written
// to the file at once; "取消(&C)" restores the backup taken when the dialog opened.
#pragma once

#include "context/appcontext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvane {

class frmDefFilter final : public QDialog {
    Q_OBJECT
public:
    frmDefFilter(AppContext &ctx, QWidget *parent = nullptr);
    ~frmDefFilter() override;

    QListWidget *listofFilters;
    QLineEdit *txtSymbol;
    QLineEdit *txtSymbolSpe;
    QPushButton *cmdAddFilter;
    QPushButton *cmdDelFilter;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    void cmdAddFilter_Click();
    void cmdDelFilter_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    void Form_Unload();
    void txtSymbol_Change();
    void listofFilters_Click();
    QString listPath() const;
    QString backupPath() const;

    AppContext &m_ctx;
};

} // namespace orvane
