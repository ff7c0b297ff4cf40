// Our reader of INI files with the rules of the Windows private-profile
// reader that the update information file was written for:
//  - a section starts at a line "[" name "]"; a line "[" without its "]"
//    neither starts nor ends one; keys are lines name "=" value;
//  - section and key names match without regard to letter case;
//  - blanks around names and values are removed, and a value enclosed in a
//    pair of double or of single quotation marks loses the marks;
//  - a missing file, section or key reads as empty text;
//  - a value ends at its first NUL, as the system's C string does;
//  - at most 2047 characters of a value are returned.
// Only the first section of a name is read, and in it the first line of a
// key. The file is decoded by its byte-order mark, else as Windows-1252.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorvex {

class TPrivateProfile {
public:
    static constexpr qsizetype kMaxValueLength = 2047;

    // The profile of a file's bytes, decoded by their byte-order mark.
    static TPrivateProfile FromBytes(const QByteArray& bytes);
    static TPrivateProfile FromText(const QString& text);

    QString ReadString(const QString& section, const QString& key) const;

private:
    QStringList lines_;  // trimmed
};

}  // namespace quorvex
