#pragma once

#include <QVariantMap>

// Puts Qt's settings store, shared by every Qt program of the user, back as it was when the guard was
// made: Qt's file dialog records its history and last folder there as it closes, and Bufrex leaves
// nothing behind but the script. Made before a file dialog, it goes after it.
class QtSettingsGuard
{
public:
    QtSettingsGuard();
    ~QtSettingsGuard();

    QtSettingsGuard(const QtSettingsGuard &) = delete;
    QtSettingsGuard &operator=(const QtSettingsGuard &) = delete;

private:
    bool m_storeExisted; // no store before: the dialog's is removed whole
    QVariantMap m_dialogEntries;
};
