#include "shell/pictures.h"

#include "core/savefile.h"
#include "core/workfiles.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace orvane {

namespace {

class BackgroundPainter final : public QObject {
public:
    BackgroundPainter(QWidget *widget, QPixmap picture) : QObject(widget), m_picture(std::move(picture)) { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_picture.isNull()) {
            auto *w = static_cast<QWidget *>(watched);
            QPainter p(w);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(w->rect(), m_picture);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPixmap m_picture;
};

QString cssUrl(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral("url(\"%1\")").arg(p);
}

} // namespace

QStringList pictureFileNames()
{
    return workfiles::pictures();
}

bool WriteResourceFile(
    const ProgramFolder &folder, int id, const QString &type, const QString &fileName, QString *error)
{
    QFile resource(QStringLiteral(":/%1/%2").arg(type.toLower()).arg(id));
    if (!resource.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("程序中缺少图片资源 %1。").arg(id);
        return false;
    }
    const QByteArray bytes = resource.readAll();
    const QString path = folder.file(fileName);
    // A picture that is already there as it should be is left alone, so that a full disk or a
    // read-only folder that already holds the pictures does not stop the program.
    QFile old(path);
    if (old.size() == bytes.size() && old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    return saveFile(path, bytes, error);
}

void removePictures(const ProgramFolder &folder)
{
    for (const QString &name : pictureFileNames())
        QFile::remove(folder.file(name));
}

WindowPictures loadWindowPictures(const ProgramFolder &folder)
{
    WindowPictures p;
    p.background.load(folder.file(workfiles::backgroundPicture()));
    p.buttonFace = folder.file(workfiles::buttonPicture());
    p.buttonGrey = folder.file(workfiles::disabledButtonPicture());
    return p;
}

void applyWindowPictures(QWidget *form, const ProgramFolder &folder)
{
    const WindowPictures pictures = loadWindowPictures(folder);
    installBackground(form, pictures.background);
    const QList<QAbstractButton *> buttons = form->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        if (b->objectName().startsWith(QLatin1String("cmd"), Qt::CaseInsensitive))
            b->setProperty("pictureButton", true);
    }
    const QString sheet =
        QStringLiteral("QAbstractButton[pictureButton=\"true\"] { border-image: %1 0 0 0 0 stretch stretch;"
                       " border: 0; padding: 4px 12px; min-height: 22px; color: #1d3b50; }"
                       "QAbstractButton[pictureButton=\"true\"]:hover { color: #0b5c99; }"
                       "QAbstractButton[pictureButton=\"true\"]:pressed { padding: 6px 10px 2px 14px; }"
                       "QAbstractButton[pictureButton=\"true\"]:focus { color: #0b5c99; text-decoration: underline; }"
                       "QAbstractButton[pictureButton=\"true\"]:disabled { border-image: %2 0 0 0 0 stretch stretch; "
                       "color: #8a8a8a; }")
            .arg(cssUrl(pictures.buttonFace), cssUrl(pictures.buttonGrey));
    form->setStyleSheet(form->styleSheet() + sheet);
}

void installBackground(QWidget *widget, const QPixmap &picture)
{
    widget->installEventFilter(new BackgroundPainter(widget, picture));
    widget->update();
}

void centerOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

} // namespace orvane
