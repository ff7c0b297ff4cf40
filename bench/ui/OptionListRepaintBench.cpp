// One repaint of the advert option list (lvOptions), whose rows read the
// messenger version and settings from the registry as they are drawn, beside
// one of the same list with its rules taken away, and one of the UI option
// list (lvUI), a list of the same kind that has no rules. The
// windows are the program's own, on a prefix holding the synthetic messenger
// whose user.reg and system.reg are padded to 2 MB and to 20 MB.
#include "bench/RatioReporter.h"
#include "tools/fakemessenger/FakeMessenger.h"
#include "ui/qt/Application.h"
#include "ui/qt/OptionListView.h"
#include "ui/qt/Startup.h"

#include <benchmark/benchmark.h>

#include <QTabWidget>

#include <stdlib.h>

#include <filesystem>
#include <memory>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// The prefix, the windows on it and the registry size they were made for.
class TRepaintFixture {
public:
    TRepaintFixture()
    {
        std::string pattern = (fs::temp_directory_path() / "quorvex-repaint-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        fs::create_directories(folder_ / "run");
        fs::permissions(folder_ / "run", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (folder_ / "run").c_str(), 1);
        ::setenv("WINEPREFIX", (folder_ / "prefix").c_str(), 1);
        Install(0);
        windows_ = CreateWindows();
        windows_.main->show();
    }
    ~TRepaintFixture()
    {
        windows_ = {};
        fs::remove_all(folder_);
    }

    // Rewrites the registry files with this many bytes of other keys in each.
    void Install(std::size_t padding) const
    {
        TFakeMessengerOptions options;
        options.UserRegistryPadding = padding;
        options.SystemRegistryPadding = padding;
        CreateFakeMessenger(folder_ / "prefix", options);
    }

    // The list, on its tab made the current one so that it is drawn.
    TOptionListView& ShownList(const char* tab, const char* list) const
    {
        auto* tabs = windows_.main->findChild<QTabWidget*>(QStringLiteral("pcMain"));
        tabs->setCurrentWidget(windows_.main->findChild<QWidget*>(QString::fromLatin1(tab)));
        QCoreApplication::processEvents();
        return *windows_.main->findChild<TOptionListView*>(QString::fromLatin1(list));
    }

private:
    fs::path folder_;
    TQuorvexWindows windows_;
};

// Made in main, within the application's life.
TRepaintFixture* fixture = nullptr;

TRepaintFixture& Fixture()
{
    return *fixture;
}

void Repaint(benchmark::State& state, const char* tab, const char* list)
{
    Fixture().Install(static_cast<std::size_t>(state.range(0)) << 20);
    TOptionListView& view = Fixture().ShownList(tab, list);
    view.viewport()->repaint();  // the first draw after the change reads the files
    for (auto _ : state)
        view.viewport()->repaint();
}

void RepaintAdvertOptions(benchmark::State& state)
{
    Repaint(state, "tbAdverts", "lvOptions");
}

void RepaintUIOptions(benchmark::State& state)
{
    Repaint(state, "tbUI", "lvUI");
}

// Takes the rules away for good: registered last.
void RepaintAdvertOptionsWithoutRules(benchmark::State& state)
{
    TOptionListView& view = Fixture().ShownList("tbAdverts", "lvOptions");
    view.SetGreyRule({});
    view.SetDrawScope({});
    Repaint(state, "tbAdverts", "lvOptions");
}

// By the size of the registry files in MB.
BENCHMARK(RepaintAdvertOptions)->Arg(2)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(RepaintUIOptions)->Arg(2)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(RepaintAdvertOptionsWithoutRules)->Arg(2)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quorvex::TQuorvexApplication application(argc, argv);
    quorvex::TRepaintFixture windows;
    quorvex::fixture = &windows;
    return quorvex::bench::RunWithRatios(argc, argv,
                                         {{"RepaintAdvertOptions/2", "RepaintAdvertOptionsWithoutRules/2"},
                                          {"RepaintAdvertOptions/20", "RepaintAdvertOptionsWithoutRules/20"},
                                          {"RepaintAdvertOptions/2", "RepaintUIOptions/2"},
                                          {"RepaintAdvertOptions/20", "RepaintUIOptions/20"}});
}
