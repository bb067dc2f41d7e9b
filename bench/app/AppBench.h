#pragma once

// What the application benchmarks share: generated bundles made once into a temporary folder, the
// process's memory, and opening and closing documents through the application as a person does.
#include "Ob.h"
#include "ObQtRefresher.h"
#include "ObQtWinDoc.h"
#include "Xml.h"
#include "mApp.h"
#include "mDoc.h"
#include "pTimeline.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace appBench {

namespace fs = std::filesystem;

struct Size
{
    int events;
    int layers;
};

inline fs::path const& folder()
{
    static fs::path const dir = [] {
        std::string d = (fs::temp_directory_path() / "vantrel-bench-app-XXXXXX").string();
        return fs::path(mkdtemp(d.data()));
    }();
    return dir;
}

// The generated bundle of that many events, made on first use.
inline std::string bundle(Size size)
{
    static std::map<int, std::string> made;
    auto found = made.find(size.events);
    if (found != made.end())
        return found->second;
    fs::path const gendoc = fs::path(VANTREL_SOURCE_DIR) / "tools/gendoc";
    std::string const path = (folder() / ("doc" + std::to_string(size.events))).string();
    std::string const command = "python3 '" + gendoc.string() + "' '" + path + "' " +
                                std::to_string(size.events) + " " + std::to_string(size.layers) +
                                " >/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return made[size.events] = path + ".orstime";
}

inline long statusKb(char const* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    std::size_t const n = std::char_traits<char>::length(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0)
            return std::atol(line.c_str() + n + 1);
    return 0;
}

// The peak resident size starts again from the present one.
inline void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Resident memory before the first document.
inline long ourBaseKb = 0;

// Notes the first paint of a graphics view's viewport whose scene holds items: the moment the
// timeline first shows its layers and events.
class FirstPaint : public QObject
{
    Q_OBJECT
public:
    FirstPaint() { qApp->installEventFilter(this); }
    ~FirstPaint() override { qApp->removeEventFilter(this); }
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen && event->type() == QEvent::Paint) {
            auto* view = qobject_cast<QGraphicsView*>(watched->parent());
            seen = view && view->viewport() == watched && view->scene() &&
                   !view->scene()->items().isEmpty();
        }
        return false;
    }
};

// Waits (processing events) for the condition, for a minute at most.
template <class Test> bool until(Test test)
{
    QElapsedTimer clock;
    clock.start();
    while (!test() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return test();
}

inline mDoc* current()
{
    return dynamic_cast<mDoc*>(mApp::app()->getDoc());
}

// Opens the bundle and waits for the first paint of its timeline; false when either failed.
inline bool openAndShow(std::string const& path)
{
    FirstPaint paint;
    if (!mApp::app()->openDoc(path.c_str()))
        return false;
    return current() && current()->getWindow() && until([&] { return paint.seen; });
}

// Closes the current document and waits until its window has gone.
inline bool closeCurrent()
{
    mDoc* doc = current();
    if (!doc)
        return true;
    if (!mApp::app()->saveAndCloseDoc(doc))
        return false;
    // The menu bar is a top-level widget of its own, never shown.
    return until([] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto const widgets = QApplication::topLevelWidgets();
        return ObApp::ourDocs.empty() && std::none_of(widgets.begin(), widgets.end(),
                                                      [](QWidget* w) { return w->isVisible(); });
    });
}

inline void traces(bool on)
{
    Ob::ourTrace = on;
    Xml::ourTrace = on;
}

// The document window's timeline, where wheel turns go: a wheel event a test sends reaches one
// widget only (Qt passes on only the system's own), so it goes to the pane, which takes the turns
// its view passes on, over the view's middle.
struct Timeline
{
    QWidget* window = nullptr;
    pTimeline* pane = nullptr;
    QGraphicsView* view = nullptr;
    QPointF at;

    explicit Timeline(mDoc* doc)
    {
        window = doc ? doc->getWindow() : nullptr;
        pane = window ? window->findChild<pTimeline*>() : nullptr;
        view = window ? window->findChild<QGraphicsView*>() : nullptr;
        if (pane && view)
            at = view->viewport()->mapTo(pane, view->viewport()->rect().center());
    }
    bool ok() const { return pane && view; }

    // The refresh pass that changes ask for, then a paint of the window: what a person sees.
    void settle() const
    {
        current()->getQtRefresher()->_doRefreshIfNeeded(nullptr);
        window->repaint();
    }
    // One frame: a wheel turn with the modifiers, the pass and the paint; its time in ms.
    double wheelFrame(int delta, Qt::KeyboardModifiers modifiers) const
    {
        QElapsedTimer clock;
        clock.start();
        QWheelEvent wheel(at, pane->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(pane, &wheel);
        settle();
        return clock.nsecsElapsed() / 1e6;
    }
};

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The application, then the benchmarks named on the command line; the results to standard error,
// the program's trace to /dev/null (it is part of what is measured, but not what is read).
inline int runBenchmarks(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_DATA_HOME", folder().c_str(), 1);
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    mApp app(argc, argv);
    mApp::setIdentity();
    if (!app.init())
        return 1;
    ourBaseKb = statusKb("VmRSS:");
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    closeCurrent();
    fs::remove_all(folder());
    return 0;
}

} // namespace appBench
