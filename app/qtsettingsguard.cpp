#include "app/qtsettingsguard.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString organization = QStringLiteral("QtProject"); // the store's name, as Qt's file dialog opens it
const QString dialogGroup = QStringLiteral("FileDialog");

// The store is the registry key HKCU\Software\QtProject on Windows and a file elsewhere.
#ifdef Q_OS_WIN
const QString userSoftware = QStringLiteral("HKEY_CURRENT_USER\\Software");

bool storeExists()
{
    return QSettings(userSoftware, QSettings::NativeFormat).childGroups().contains(organization, Qt::CaseInsensitive);
}

void removeStore()
{
    QSettings(userSoftware, QSettings::NativeFormat).remove(organization);
}
#else
QString storeFile()
{
    return QSettings(QSettings::UserScope, organization).fileName();
}

bool storeExists()
{
    return QFileInfo::exists(storeFile());
}

void removeStore()
{
    QFile::remove(storeFile());
}
#endif

} // namespace

QtSettingsGuard::QtSettingsGuard()
    : m_storeExisted(storeExists())
{
    QSettings store(QSettings::UserScope, organization);
    store.beginGroup(dialogGroup);
    for (const QString &key : store.allKeys())
        m_dialogEntries.insert(key, store.value(key));
}

QtSettingsGuard::~QtSettingsGuard()
{
    if (!m_storeExisted) {
        removeStore();
        return;
    }
    // Another Qt program's entries stay as they were.
    QSettings store(QSettings::UserScope, organization);
    store.beginGroup(dialogGroup);
    store.remove(QString());
    for (auto entry = m_dialogEntries.cbegin(); entry != m_dialogEntries.cend(); ++entry)
        store.setValue(entry.key(), entry.value());
}
