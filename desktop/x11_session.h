#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tandemhoop {

// What the game needs of the X display beyond what Qt offers. Elsewhere than on X11 each of
// these does nothing and answers as if all were well.

// Whether an X display named by DISPLAY answers; false with a reason when DISPLAY names one
// that cannot be opened. Asked before Qt, which gives up with an abort on such a display.
bool XDisplayAnswers(QString* reason);

// A window manager's close on `window` while a modal box blocks it: Qt drops such a request,
// but closing the court window must end the program at any moment. `onClose` runs for it.
void CloseEvenBehindABox(QWidget& window, std::function<void()> onClose);

}  // namespace tandemhoop
