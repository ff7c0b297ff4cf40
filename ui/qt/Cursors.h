// The application's cursor table: custom cursors registered under a number.
#pragma once

#include <QCursor>

#include <optional>

namespace quorvex {

// The screen dropper's cursor number.
inline constexpr int crDropper = 250;

void RegisterCursor(int number, const QCursor& cursor);
std::optional<QCursor> RegisteredCursor(int number);

// Sets the application-wide cursor override, replacing the one in force: the
// override is a single setting, never a stack of them.
void SetCursorOverride(const QCursor& cursor);

// The "Dropper" cursor from the application's resources: 32 x 32, one bit
// per pixel with a mask, hot spot at the pipette's tip (0, 15).
QCursor LoadDropperCursor();

}  // namespace quorvex
