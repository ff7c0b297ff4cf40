// A caption as the window shows it: a single "&" marks the next letter as the
// Alt shortcut and is not drawn; "&&" is drawn as one "&".
#pragma once

#include <QString>

namespace quorvex::test {

inline QString ShownCaption(const QString& caption)
{
    QString shown;
    for (qsizetype index = 0; index < caption.size(); ++index) {
        if (caption[index] == QLatin1Char('&') && index + 1 < caption.size())
            ++index;
        shown += caption[index];
    }
    return shown;
}

// The letter that Alt takes this caption's control with, lower case; none
// where the caption marks none.
inline QChar MnemonicOf(const QString& caption)
{
    for (qsizetype index = 0; index + 1 < caption.size(); ++index) {
        if (caption[index] != QLatin1Char('&'))
            continue;
        if (caption[index + 1] != QLatin1Char('&'))
            return caption[index + 1].toLower();
        ++index;
    }
    return {};
}

}  // namespace quorvex::test
