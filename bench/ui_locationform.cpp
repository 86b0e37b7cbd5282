// The location search window as the user waits for it, on the synthetic database of
// bench_database.h (50,000 events, 1,000,000 samples by default) with a taxa list of its 5,000
// names: the main window and the search window up on the offscreen platform, each step timed
// until the window has handled it and painted the list. A taxon search from the search field;
// a switch of mode (a name text with a year, then all events); and a selection run over 1,000
// selected rows through the main window's own load of each event, with the progress window.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "session/session.h"
#include "ui/qtprompts.h"
#include "ui/tgridcolumnselect.h"
#include "ui/tlocationform.h"
#include "ui/tmainform.h"
#include "ui/tnwform.h"
#include "ui/tprogress.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

struct Windows {
    ui::QtPrompts prompts;
    session::Session session;
    std::unique_ptr<ui::TMainForm> mainForm;
    std::unique_ptr<ui::TNWForm> nwForm;
    std::unique_ptr<ui::TLocationForm> window;
    std::unique_ptr<ui::TGridColumnSelect> chooser;
    std::unique_ptr<ui::TProgress> progress;

    Windows() {
        core::SetUserPrompts(&prompts);
        bench::MakeDatabase();
        const QString folder = bench::Folder();
        QDir(folder).mkdir("Lib");
        QFile::copy(QCoreApplication::applicationDirPath() + "/../program/Lib/Biotoopcodes.dbf",
                    folder + "/Lib/Biotoopcodes.dbf");
        core::SetProgramDir(folder);
        core::CurrentSettings() = core::DefaultSettings();
        core::CurrentSettings().defaultDatabase = QStringLiteral("Bench");
        // The taxa list of the database's names, so that every sample is rated.
        std::vector<ecology::TaxonRecord> records;
        for (int i = 0; i < 5000; ++i) {
            const QString name = QStringLiteral("Cosmarium species%1").arg(i);
            records.push_back({name, name, "", "", "", "", QString::number(i % 4),
                               QString::number(i % 3), "", ""});
        }
        ecology::EcologyData& eco = session.Ecology();
        eco.taxaList.Assign(records, &eco.searchList);

        mainForm = std::make_unique<ui::TMainForm>(session);
        prompts.SetParent(mainForm.get());
        nwForm = std::make_unique<ui::TNWForm>(eco, mainForm.get());
        mainForm->SetNatureValueWindow(nwForm.get());
        window = std::make_unique<ui::TLocationForm>(session.Store(), eco, mainForm.get());
        window->SetLoadEvent([this] { mainForm->LoadCurrentEvent(); });
        window->SetShowNatureValue([this] {
            nwForm->ShowResults();
            nwForm->ShowBesideMain();
        });
        chooser = std::make_unique<ui::TGridColumnSelect>(mainForm.get());
        window->SetColumnChooser(chooser.get());
        progress = std::make_unique<ui::TProgress>(mainForm.get());
        ui::TProgress::SetFinishPause(0);
        prompts.SetProgressDialog(progress.get());
        if (!mainForm->FormCreate())
            std::abort();
        mainForm->FormShow();
        mainForm->show();
        window->show();
        QApplication::processEvents();
    }
    ~Windows() {
        prompts.SetProgressDialog(nullptr);
        window.reset();
        chooser.reset();
        progress.reset();
        nwForm.reset();
        mainForm.reset();
        session.Store().CloseDatabase();
        core::SetUserPrompts(nullptr);
    }
    QLineEdit* Field(const char* name) {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
};

// Made on first use, ended before the application: windows outlive no QApplication.
std::unique_ptr<Windows> g_windows;
Windows& Up() {
    if (!g_windows)
        g_windows = std::make_unique<Windows>();
    return *g_windows;
}

void BM_TaxonSearch(benchmark::State& state) {
    Windows& w = Up();
    QLineEdit* search = w.Field("SearchEdit");
    search->setText(QStringLiteral("Cosmarium species123"));
    for (auto _ : state) {
        emit search->returnPressed();
        QApplication::processEvents();
    }
    state.counters["events shown"] = static_cast<double>(w.window->ShownRecords().size());
}

// One switch of mode, timed: to a name text with a year, or to all 50,000 events.
void BM_ModeSwitch(benchmark::State& state) {
    Windows& w = Up();
    const int mode = static_cast<int>(state.range(0));
    auto set = [&w](int to) {
        w.Field("Locatie")->setText(QStringLiteral("ven 1"));
        w.Field("Jaar")->setText(to == 0 ? QString() : QStringLiteral("1990"));
        w.window->SetMode(to);
        QApplication::processEvents();
    };
    std::size_t shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        set(mode == 0 ? 3 : 0);
        w.Field("Jaar")->setText(mode == 0 ? QString() : QStringLiteral("1990"));
        state.ResumeTiming();
        w.window->SetMode(mode);
        QApplication::processEvents();
        shown = w.window->ShownRecords().size();
    }
    state.counters["events shown"] = static_cast<double>(shown);
    state.SetLabel(mode == 0 ? "to all events" : "to a name text with a year");
}

void BM_SelectionRun(benchmark::State& state) {
    Windows& w = Up();
    w.Field("Jaar")->clear();
    w.window->SetMode(0);
    QTableView* grid = w.window->Grid();
    QAbstractItemModel* model = grid->model();
    const QItemSelection rows(model->index(0, 0), model->index(999, model->columnCount() - 1));
    for (auto _ : state) {
        state.PauseTiming();
        grid->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
        QApplication::processEvents();
        state.ResumeTiming();
        w.window->BerekenClick();
        QApplication::processEvents();
    }
    state.counters["events"] = static_cast<double>(grid->selectionModel()->selectedRows().size());
}

} // namespace

BENCHMARK(BM_TaxonSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ModeSwitch)
    ->Arg(3)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3);
BENCHMARK(BM_SelectionRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_windows.reset();
    bench::RemoveFolder();
    return 0;
}
