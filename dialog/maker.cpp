#include "dialog/maker.h"

#include <QUrl>

QString makerAddress()
{
    return QStringLiteral(BUFREX_MAKER_ADDRESS);
}

QString makerHost()
{
    return QUrl::fromUserInput(makerAddress()).host();
}
