// orvane-typebox LOG_FILE [MILLISECONDS]
// A text box that records what reaches it while a real input method is used: every key event,
// every change of the composition (preedit), every committed string, and the text after each
// change, one line each in LOG_FILE. Closes by itself after MILLISECONDS (default 20000).
#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextStream>
#include <QTimer>

namespace {

class TypeBox final : public QLineEdit {
public:
    explicit TypeBox(QFile *log) : m_log(log) { }

    void write(const QString &line)
    {
        m_log->write((line + QLatin1Char('\n')).toUtf8());
        m_log->flush();
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        write(QStringLiteral("key %1 %2").arg(e->key(), 0, 16).arg(e->text()));
        QLineEdit::keyPressEvent(e);
    }
    void inputMethodEvent(QInputMethodEvent *e) override
    {
        if (!e->commitString().isEmpty())
            write(QStringLiteral("commit ") + e->commitString());
        write(QStringLiteral("preedit ") + e->preeditString());
        QLineEdit::inputMethodEvent(e);
    }

private:
    QFile *m_log;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    QFile log(args[1]);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    TypeBox box(&log);
    box.setWindowTitle(QStringLiteral("orvane-typebox"));
    box.resize(420, 48);
    QObject::connect(
        &box, &QLineEdit::textChanged, &box, [&box](const QString &t) { box.write(QStringLiteral("text ") + t); });
    box.show();
    box.activateWindow();
    box.setFocus();
    box.write(QStringLiteral("ready"));
    QTimer::singleShot(args.size() > 2 ? args[2].toInt() : 20000, &app, &QApplication::quit);
    return app.exec();
}
