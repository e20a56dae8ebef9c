#pragma once

#include <QVariantMap>

// Takes back what Qt's file dialog writes into Qt's settings store, which every Qt program of the user
// shares: the dialog records its history and last folder there as it closes, and Bufrex leaves nothing
// behind but the script. Made before a file dialog, it goes after it; what other programs write, before
// or meanwhile, stays.
class QtSettingsGuard
{
public:
    QtSettingsGuard();
    ~QtSettingsGuard();

    QtSettingsGuard(const QtSettingsGuard &) = delete;
    QtSettingsGuard &operator=(const QtSettingsGuard &) = delete;

private:
    QVariantMap m_dialogEntries; // the file dialog's group as it was
    int m_levelsBefore;          // how many of the store's levels existed, outermost first
};
