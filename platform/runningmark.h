#pragma once

// Tells Bufrex's installer that Bufrex runs: a named mutex held for as long as the program runs, which
// the installer and uninstaller look for before they replace or remove the program's files.
namespace RunningMark {
void hold();
}
