#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

// Makes the freedesktop icon theme's sizes from the one Windows icon, so that the picture is kept once.
// Each size is the 32-pixel drawing scaled by a whole factor, pixel for pixel, which keeps its 16
// colours crisp; a size between two multiples (48) has the largest that fits, centred.
//   iconsizes ICON OUTPUT-FOLDER NAME.png SIZE...   writes OUTPUT-FOLDER/SIZExSIZE/NAME.png
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 5) {
        std::fprintf(stderr, "usage: iconsizes ICON OUTPUT-FOLDER NAME.png SIZE...\n");
        return 2;
    }
    const QImage icon(arguments.at(1));
    if (icon.isNull()) {
        std::fprintf(stderr, "iconsizes: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    for (const QString &sizeText : arguments.mid(4)) {
        const int size = sizeText.toInt();
        if (size < icon.width()) {
            std::fprintf(stderr, "iconsizes: %s is smaller than %d\n", qPrintable(sizeText), icon.width());
            return 2;
        }
        const int drawn = size / icon.width() * icon.width();
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).drawImage((size - drawn) / 2, (size - drawn) / 2,
                                   icon.scaled(drawn, drawn, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        const QString folder = QStringLiteral("%1/%2x%2").arg(arguments.at(2)).arg(size);
        const QString path = folder + QLatin1Char('/') + arguments.at(3);
        if (!QDir().mkpath(folder) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "iconsizes: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
