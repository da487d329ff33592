// The program's own help window: the HTML help that the program carries.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace orvane {

class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Loads the help document; false when it is missing or unreadable.
    bool load(const QString &source);

private:
    QTextBrowser *m_browser;
};

} // namespace orvane
