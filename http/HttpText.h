// Text rules of the HTTP client's wire format: request lines go out in the
// system's 8-bit code page (Windows-1252) and must hold no control character.
// Texts fetched over HTTP without a byte-order mark are read in the same code page.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorvex {

// True when the text holds a C0 or C1 control character or DEL: such a
// character in a request line could end the line early and smuggle headers in.
bool HasControlCharacter(QStringView text);

// Windows-1252 bytes of the text; a character the code page lacks becomes "?",
// as the system's own conversion does.
QByteArray EncodeAnsi(QStringView text);

// The text of Windows-1252 bytes; the five bytes the code page leaves
// undefined become the characters of the same code, as the system's own
// conversion makes them.
QString DecodeAnsi(QByteArrayView bytes);

}  // namespace quorvex
