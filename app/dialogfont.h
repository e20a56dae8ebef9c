#pragma once

class QString;
class QWidget;

// The windows are laid out in fixed pixels for Windows' dialog font. These keep every caption whole at
// any display scaling and with whatever font the system serves; where captions fit, they change nothing.
namespace DialogFont {

// Before the application object: the windows grow as a whole with the display scaling, to the exact
// factor (125 % and 175 % included, which Qt 5 would round to 100 % and 200 %).
void scaleWithScreen();

// Makes the application font the dialog font or, where that is missing, its nearest installed match.
void use();

// Sets each wrapped caption of `window` that would be cut no more tightly than it needs to fit its box,
// and lets its Thai break across lines where Qt alone would run it past the box's edge; each caption
// as it is first painted.
void fitCaptions(QWidget *window);

// `text` with a zero-width space wherever Thai spelling lets a line break between two Thai letters: not
// before a mark or a vowel that follows its consonant, and not after a vowel written before it.
QString withThaiBreaks(const QString &text);

} // namespace DialogFont
