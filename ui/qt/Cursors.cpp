#include "ui/qt/Cursors.h"

#include <QBitmap>
#include <QGuiApplication>

#include <map>

namespace quorvex {
namespace {

std::map<int, QCursor>& CursorTable()
{
    static std::map<int, QCursor> table;
    return table;
}

}  // namespace

void RegisterCursor(int number, const QCursor& cursor)
{
    CursorTable().insert_or_assign(number, cursor);
}

std::optional<QCursor> RegisteredCursor(int number)
{
    const auto found = CursorTable().find(number);
    if (found == CursorTable().end())
        return std::nullopt;
    return found->second;
}

void SetCursorOverride(const QCursor& cursor)
{
    if (QGuiApplication::overrideCursor() != nullptr)
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
}

QCursor LoadDropperCursor()
{
    const QBitmap shape(QStringLiteral(":/artwork/dropper-cursor.xbm"));
    const QBitmap mask(QStringLiteral(":/artwork/dropper-cursor-mask.xbm"));
    return QCursor(shape, mask, 0, 15);
}

}  // namespace quorvex
