// The application's windows created as the program creates them, on a test
// prefix, with every seam answering as the test says.
#pragma once

#include "FakeSeams.h"
#include "TestPrefix.h"
#include "ui/qt/Startup.h"
#include "ui/qt/uEdit.h"
#include "ui/qt/uHelp.h"
#include "ui/qt/uStatus.h"

#include <QTabWidget>

namespace quorvex::test {

class TWindowsFixture {
public:
    explicit TWindowsFixture(const TMessengerSetup& setup = {}) : prefix(setup), windows(CreateWindows()) {}

    template <class T = QWidget>
    T* Find(const char* name) const
    {
        return windows.main->findChild<T*>(QString::fromLatin1(name));
    }

    QTabWidget* Tabs() const { return Find<QTabWidget>("pcMain"); }
    // Makes a tab the current one, so that its show handler runs.
    void ShowTab(const char* name) const { Tabs()->setCurrentWidget(Find(name)); }
    // Shows a tab anew: another tab first, then this one.
    void ReshowTab(const char* name) const
    {
        ShowTab(std::string_view(name) == "tbVersion" ? "tbClean" : "tbVersion");
        ShowTab(name);
    }

    TFakeSeams seams;
    TTestPrefix prefix;
    TQuorvexWindows windows;
};

}  // namespace quorvex::test
