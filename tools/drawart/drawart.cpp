// orvane-drawart SRC_DIR OUT_DIR NAME...
// Renders SRC_DIR/NAME.svg at its own size into OUT_DIR/NAME.jpg.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: orvane-drawart SRC_DIR OUT_DIR NAME...\n");
        return 2;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString src = args[1] + QLatin1Char('/') + args[i] + QLatin1String(".svg");
        const QString out = args[2] + QLatin1Char('/') + args[i] + QLatin1String(".jpg");
        QImageReader reader(src);
        QImage svg = reader.read();
        if (svg.isNull()) {
            std::fprintf(stderr, "cannot render %s: %s\n", qPrintable(src), qPrintable(reader.errorString()));
            return 1;
        }
        // JPEG has no transparency: flatten onto white.
        QImage flat(svg.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, svg);
        if (!flat.save(out, "JPG", 92)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
            return 1;
        }
    }
    return 0;
}
