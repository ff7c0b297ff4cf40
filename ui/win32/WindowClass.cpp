#include "ui/win32/WindowClass.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"

#include <set>
#include <string>

namespace quorvex::win32 {

void RegisterClassOnce(const WNDCLASSEXW& windowClass)
{
    static std::set<std::wstring> registered;
    if (registered.contains(windowClass.lpszClassName))
        return;
    if (RegisterClassExW(&windowClass) == 0)
        throw Error("Cannot register the window class " + NarrowText(windowClass.lpszClassName) + ": "
                    + Win32ErrorText(GetLastError()));
    registered.insert(windowClass.lpszClassName);
}

}  // namespace quorvex::win32
