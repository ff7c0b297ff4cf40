// Starting a Windows program (the messenger, a downloaded installer) under
// Wine in the prefix in use, for the desktop shell. "wine start /unix FILE"
// ends once the program runs or Wine has given up, so its exit status tells
// whether the program started and its output why not.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace quorvex {

// Why Wine could not start a program, from what it wrote and its exit code:
// Wine's own words when it names its missing 32-bit part ("it looks like
// wine32 is missing" and its advice), else its messages without the lines of
// its debug channels, else the exit code.
QString WineFailureReason(const QByteArray& output, int exitCode);

// Starts the program that a path text names ("C:\..." or native) without
// waiting for it; nothing is started when the file does not exist. With
// onFailure, Wine is watched until it ends, and onFailure gets the reason
// when it is not installed (with the package to install), could not run (the
// system's error text) or could not start the program; the watch holds no
// other event up.
void StartUnderWine(const QString& program, std::function<void(const QString& reason)> onFailure);

}  // namespace quorvex
