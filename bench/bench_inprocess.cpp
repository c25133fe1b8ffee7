// In-process figures, each beside its floor measured in the same run.
#include "app/frm_QVanto.h"
#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"
#include "render/RecordingSurface.h"
#include "render/RedrawStamp.h"
#include "settings/SettingsFile.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeServices.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The window with real drawing and clipboard, a clock that moves a second on
// every read (so numbering never waits) and a silent sound.
struct Bench {
    Bench()
    {
        app.Title = QStringLiteral("QVanto");
        app.Major = 1;
        app.Minor = 1;
        app.Revision = 9;
        app.Path = folder.path();
        app.EXEName = QStringLiteral("qvanto");
        clock.stepPerReadMs = 1000;
        window = std::make_unique<frm_QVanto>(
            host::Services {clock, app, fonts, messages, clipboard, sound, opener});
        window->Form_Load();
    }
    const app::Controls &c() const { return window->controls(); }

    render::FaceControls face(host::Surface &surface)
    {
        render::FaceControls f;
        f.QVLabel = c().QVLabel;
        f.QVDate = c().QVDate;
        f.cmbFontName = c().cmbFontName;
        f.chkQVID = c().chkQVID;
        f.Picture1 = &surface;
        f.InkColor = &window->InkColor;
        return f;
    }

    bas_QVanto::SettingsControls settings()
    {
        return {{c().QVLabel[0], c().QVLabel[1], c().QVLabel[2], c().QVLabel[3]}, c().cmbFontName,
            window->InkColor, *c().chkQVID};
    }

    QTemporaryDir folder;
    host::AppInfo app;
    fakes::FakeClock clock;
    host::QtFontList fonts;
    fakes::FakeMessageBox messages;
    host::QtClipboard clipboard;
    fakes::FakeSoundPlayer sound;
    fakes::FakeFileOpener opener;
    std::unique_ptr<frm_QVanto> window;
};

// Made after the application object and gone before it.
std::unique_ptr<Bench> g_bench;
Bench &bench()
{
    return *g_bench;
}

void setRows(bool longRows)
{
    bench().c().QVLabel[0]->SetText(longRows
            ? QStringLiteral(
                "株式会社クヴァント日付印製作所東京本社総務部経理課第一係株式会社クヴァント日付印")
            : QStringLiteral("会 社 名"));
}

// One face drawn by the program, and its floor: the same finished face (the
// texts, fonts, sizes and positions the program chose) painted straight onto
// the same surface.
struct FaceWork {
    explicit FaceWork(bool longRows)
        : surface((setRows(longRows), bench().c().Picture1->surface())), recorder(surface),
          face(bench().face(recorder))
    {
        render::RedrawStamp(face, geometry);
        rows = recorder.rows;
        shapes = recorder.shapes;
    }
    void program() { render::RedrawStamp(face, geometry); }
    void floor() { render::RecordingSurface::replay(surface, rows, shapes); }

    host::ImageSurface &surface;
    render::RecordingSurface recorder;
    render::FaceControls face;
    render::StampGeometry geometry;
    decltype(render::RecordingSurface::rows) rows;
    decltype(render::RecordingSurface::shapes) shapes;
};

// One keystroke in the company row, from the text change to the finished face.
struct Keystroke {
    void operator()()
    {
        row.SetText(typed ? QStringLiteral("会 社 名") : QStringLiteral("会 社 名A"));
        typed = !typed;
    }
    host::TextBox &row = *bench().c().QVLabel[0];
    bool typed = false;
};

void RedrawStamp(benchmark::State &state)
{
    FaceWork work(state.range(0) != 0);
    for (auto _ : state)
        work.program();
}

void RedrawStampFloor(benchmark::State &state)
{
    FaceWork work(state.range(0) != 0);
    for (auto _ : state)
        work.floor();
}

void KeystrokeInRow(benchmark::State &state)
{
    setRows(false);
    Keystroke keystroke;
    for (auto _ : state)
        keystroke();
}

void StampNowWithoutSound(benchmark::State &state)
{
    setRows(false);
    for (auto _ : state)
        bench().window->StampNow();
}

void LoadSettings(benchmark::State &state)
{
    bas_QVanto::SettingsControls controls = bench().settings();
    bas_QVanto::SaveSettings(bench().app, controls);
    bas_QVanto::SplitState splitter;
    for (auto _ : state)
        bas_QVanto::LoadSettings(bench().app, controls, splitter);
}

void SaveSettings(benchmark::State &state)
{
    const bas_QVanto::SettingsControls controls = bench().settings();
    for (auto _ : state)
        bas_QVanto::SaveSettings(bench().app, controls);
}

} // namespace

BENCHMARK(RedrawStamp)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(RedrawStampFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(KeystrokeInRow)->Name("Keystroke")->Unit(benchmark::kMicrosecond);
BENCHMARK(StampNowWithoutSound)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadSettings)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSettings)->Unit(benchmark::kMicrosecond);

// Nanoseconds one call of work takes, averaged over a batch of calls.
template<typename Work>
double batchNs(Work &&work, int calls)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        work();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / calls;
}

// Each figure and its floor alternated in small batches, which of the two
// goes first swapped every batch, so that a burst of load on a shared machine
// lands on both sides. Prints, as JSON, each batch's pair of times; the
// caller reads the median of the per-batch ratios and its spread.
void interleaved(int batches, int calls)
{
    std::printf("{");
    const auto figure = [&](const char *name, auto &&program, auto &&floor, bool last) {
        std::printf("\"%s\": [", name);
        for (int b = 0; b < batches; ++b) {
            double programNs = 0, floorNs = 0;
            if (b % 2 == 0) {
                programNs = batchNs(program, calls);
                floorNs = batchNs(floor, calls);
            } else {
                floorNs = batchNs(floor, calls);
                programNs = batchNs(program, calls);
            }
            std::printf("%s[%.1f, %.1f]", b ? ", " : "", programNs, floorNs);
        }
        std::printf("]%s", last ? "" : ", ");
    };
    for (const bool longRows : {false, true}) {
        FaceWork work(longRows);
        figure(
            longRows ? "RedrawStamp/1" : "RedrawStamp/0", [&] { work.program(); }, [&] { work.floor(); },
            false);
    }
    FaceWork face(false);
    figure(
        "Keystroke", Keystroke(), [&] { face.floor(); }, true);
    std::printf("}\n");
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--interleave") == 0) {
        g_bench = std::make_unique<Bench>();
        interleaved(std::atoi(argv[2]), std::atoi(argv[3]));
        g_bench.reset();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    g_bench = std::make_unique<Bench>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench.reset();
    return 0;
}
