#include "platform/qtsettingsguard.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <memory>
#include <utility>

namespace {

const QString organization = QStringLiteral("QtProject"); // the store's name, as Qt's file dialog opens it
const QString dialogGroup = QStringLiteral("FileDialog");

// The user's own store alone: the system-wide one behind it (/etc/xdg, HKLM) is neither the dialog's
// to write nor the guard's to copy into the user's.
std::unique_ptr<QSettings> userStore()
{
    auto store = std::make_unique<QSettings>(QSettings::UserScope, organization);
    store->setFallbacksEnabled(false);
    return store;
}

// The store is made of levels, each only there once something is written in it. On Windows, registry
// keys: HKCU\Software\QtProject, and in it OrganizationDefaults, which holds the groups of a store
// opened without an application name, as the dialog's is. Elsewhere one file.
#ifdef Q_OS_WIN
constexpr int levelCount = 2;
const QString levels[levelCount] = {QStringLiteral("HKEY_CURRENT_USER\\Software\\QtProject"),
                                    QStringLiteral("HKEY_CURRENT_USER\\Software\\QtProject\\OrganizationDefaults")};

// The key that holds a level, and the level's name in it.
std::pair<QString, QString> parentAndName(int level)
{
    const int split = levels[level].lastIndexOf(QLatin1Char('\\'));
    return {levels[level].left(split), levels[level].mid(split + 1)};
}

bool levelExists(int level)
{
    const auto [parent, name] = parentAndName(level);
    return QSettings(parent, QSettings::NativeFormat).childGroups().contains(name, Qt::CaseInsensitive);
}

bool levelEmpty(int level)
{
    const QSettings key(levels[level], QSettings::NativeFormat);
    return key.childKeys().isEmpty() && key.childGroups().isEmpty();
}

void removeLevel(int level)
{
    const auto [parent, name] = parentAndName(level);
    QSettings(parent, QSettings::NativeFormat).remove(name);
}
#else
constexpr int levelCount = 1;

QString storeFile()
{
    return QSettings(QSettings::UserScope, organization).fileName();
}

bool levelExists(int)
{
    return QFileInfo::exists(storeFile());
}

bool levelEmpty(int)
{
    return userStore()->allKeys().isEmpty();
}

void removeLevel(int)
{
    QFile::remove(storeFile());
}
#endif

} // namespace

QtSettingsGuard::QtSettingsGuard()
    : m_levelsBefore(0)
{
    while (m_levelsBefore < levelCount && levelExists(m_levelsBefore))
        ++m_levelsBefore;
    const auto store = userStore();
    store->beginGroup(dialogGroup);
    for (const QString &key : store->allKeys())
        m_dialogEntries.insert(key, store->value(key));
}

QtSettingsGuard::~QtSettingsGuard()
{
    {
        const auto store = userStore();
        store->beginGroup(dialogGroup);
        store->remove(QString());
        for (auto entry = m_dialogEntries.cbegin(); entry != m_dialogEntries.cend(); ++entry)
            store->setValue(entry.key(), entry.value());
    }
    // A level the dialog made goes once nothing is left in it, innermost first: what another program
    // wrote meanwhile keeps it.
    for (int level = levelCount - 1; level >= m_levelsBefore; --level) {
        if (!levelExists(level))
            continue;
        if (!levelEmpty(level))
            return;
        removeLevel(level);
    }
}
