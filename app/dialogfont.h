#pragma once

class QWidget;

// The windows are laid out in fixed pixels for Windows' dialog font. These keep every caption whole
// where that font does not exist; where it does (on Windows), they change nothing.
namespace DialogFont {

// Makes the application font the dialog font or, where that is missing, its nearest installed match.
void use();

// Sets each wrapped caption of `window` no more tightly than it needs to fit its box.
void fitCaptions(QWidget *window);

} // namespace DialogFont
