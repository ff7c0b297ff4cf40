// Texts that the update checker fetches: the update information file and
// the readme.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorvex {

// The text of a file's bytes, decoded by its byte-order mark (UTF-8, UTF-16
// little-endian, UTF-16 big-endian), else in the system's 8-bit code page.
QString DecodeTextFile(const QByteArray& bytes);

// The lines of a text, broken at CR LF, at a lone CR and at a lone LF; a
// break at the very end starts no further line.
QStringList SplitLines(const QString& text);

}  // namespace quorvex
