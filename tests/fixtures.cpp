#include "fixtures.h"

#include <QFile>

// Resources in a static library are registered by hand, and from outside any namespace.
static void registerFixtures()
{
    Q_INIT_RESOURCE(fixtures);
}

namespace {

QByteArray read(const QString &name)
{
    registerFixtures();
    QFile file(QStringLiteral(":/fixtures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the fixture %s is not built in", qPrintable(name));
    return file.readAll();
}

} // namespace

QByteArray Fixture::workedExample()
{
    return read(QStringLiteral("worked-example.mq4"));
}

QString Fixture::windowsBoxCopy()
{
    return QString::fromLatin1(read(QStringLiteral("boxes/windows-copy")));
}
