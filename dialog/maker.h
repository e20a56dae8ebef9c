#pragma once

#include <QString>

// The maker's web address, exactly as the main window's bottom label shows it. The build reads it from
// that label in dialog.ui, so Designer is the one place to change it.
QString makerAddress();

// The host name of the maker's web address.
QString makerHost();
