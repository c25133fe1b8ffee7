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
        window = std::make_unique<frm_QVanto>(host::Services {clock, app, fonts, messages, clipboard, sound});
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

void RedrawStamp(benchmark::State &state)
{
    setRows(state.range(0) != 0);
    render::RecordingSurface recorder(bench().c().Picture1->surface());
    render::FaceControls face = bench().face(recorder);
    render::StampGeometry geometry;
    for (auto _ : state)
        render::RedrawStamp(face, geometry);
}

void RedrawStampFloor(benchmark::State &state)
{
    setRows(state.range(0) != 0);
    host::ImageSurface &surface = bench().c().Picture1->surface();
    render::RecordingSurface recorder(surface);
    render::FaceControls face = bench().face(recorder);
    render::StampGeometry geometry;
    render::RedrawStamp(face, geometry);
    const auto rows = recorder.rows;
    const auto shapes = recorder.shapes;
    for (auto _ : state)
        render::RecordingSurface::replay(surface, rows, shapes);
}

void Keystroke(benchmark::State &state)
{
    setRows(false);
    host::TextBox &row = *bench().c().QVLabel[0];
    bool typed = false;
    for (auto _ : state) {
        row.SetText(typed ? QStringLiteral("会 社 名") : QStringLiteral("会 社 名A"));
        typed = !typed;
    }
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
BENCHMARK(Keystroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(StampNowWithoutSound)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadSettings)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSettings)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_bench = std::make_unique<Bench>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench.reset();
    return 0;
}
