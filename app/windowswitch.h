#pragma once

class QDialog;

// Hands the screen from the window whose button was pressed to a fresh window of the other kind.
// Nothing nests: the pressed window hides and the new one is shown in the same event loop, and a
// window that an earlier switch made is deleted once hidden, so a thousand switches cost what one does.
namespace WindowSwitch {

// Hides `from`, shows `to` and takes `to` over; `from` is deleted later if a switch made it.
void handOver(QDialog *from, QDialog *to);

template <class Next>
void to(QDialog *from)
{
    handOver(from, new Next);
}

} // namespace WindowSwitch
