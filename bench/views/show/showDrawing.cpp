// The look check of the timeline's drawing: a window with the ruler, the layer headers, the layer
// bands with span and instant events, a time selection, the lock-to-now line and the control
// panel, all painted by the skin, the layers and the events through PainterQt. Run it on a
// display and look at it; it is no part of the program and no test runs it.
//
//     build/rel/bench/show_drawing [seconds per pixel]
#include "DrawingScene.h"
#include "Ob.h"
#include "PainterQt.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdlib>

namespace {

constexpr int HeaderW = 120;
constexpr int RulerH = 80;
constexpr int PanelH = 70;
// Tuesday 5 March 2024, 06:00 UTC.
constexpr double Start = 1709618400.0;

class DrawingWindow : public QWidget
{
    Q_OBJECT
public:
    explicit DrawingWindow(double secondsPerPixel)
    {
        setWindowTitle("Vantrel drawing");
        resize(1600, 900);
        int const axis = width() - HeaderW;
        DrawingScene& s = myScene;
        s.showAxis(Start, secondsPerPixel, axis);
        double const hour = 3600;
        s.addLayer("Product", 3, 60, 90, 150);
        s.addEvent(Start + 1 * hour, 7 * hour, 0, "Design review");
        s.addEvent(Start + 9 * hour, 20 * hour, 0, "Build the spring release candidate");
        s.addEvent(Start + 3 * hour, 4 * hour, 1, "Hiring");
        s.addEvent(Start + 8 * hour, 14 * hour, 2, "QA").setColorStyle(EventColorIndividual);
        s.addEvent(Start + 30 * hour, 0, 1, "Ship");
        mLayer& marketing = s.addLayer("Marketing", 2, 150, 80, 60);
        marketing.setIsActive(false);
        s.addEvent(Start + 5 * hour, 10 * hour, 0, "Launch plan for the spring");
        s.addEvent(Start + 18 * hour, 12 * hour, 1, "Press");
        s.addLayer("Team", 2, 70, 140, 90);
        s.addEvent(Start + 12 * hour, 3 * hour, 0, "Offsite");
        s.addEvent(Start + 2 * hour, 0, 1, "Kickoff");
        s.selection.addToSelection(s.items[1].hdl);
        s.selection.addToSelection(s.bands[1].hdl);
        s.scale.localSelectAtParentSpan(int(axis * 0.55), int(axis * 0.62));
        s.timeline.setLockToNowFlag(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        int const axis = width() - HeaderW;
        int const viewH = height() - RulerH - PanelH;
        QPainter qp(this);
        PainterQt p(qp);
        DrawingScene& s = myScene;

        p.set2dGeometry(0, 0, HeaderW, RulerH);
        s.skin.drawHeaderBg(p);
        p.set2dGeometry(0, RulerH, HeaderW, float(viewH));
        p.setFillColorRgb8(s.skin.getPanelBgR(), s.skin.getPanelBgG(), s.skin.getPanelBgB());
        p.draw2dFilledRect(0, RulerH, HeaderW, float(viewH));
        s.paintHeaders(p);
        // The panel draws in the font its pane gives it: one that keeps to the 14-pixel lines.
        p.set2dGeometry(0, float(height() - PanelH), float(width()), PanelH);
        p.setFont("Gil Sans", 9, 50);
        s.paintControlPanel(p);

        // The axis' pixel 0 is the left edge of the ruler and of the view; each is a pane of
        // its own, which clips what it is given.
        qp.translate(HeaderW, 0);
        qp.setClipRect(0, 0, axis, RulerH);
        p.set2dGeometry(0, 0, float(axis), RulerH);
        s.paintRuler(p);
        qp.setClipRect(0, RulerH, axis, viewH);
        p.set2dGeometry(0, RulerH, float(axis), float(viewH));
        s.paintView(p, true);
    }

private:
    DrawingScene myScene;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Ob::ourTrace = false;
    double const secondsPerPixel = argc > 1 ? std::atof(argv[1]) : 120.0;
    auto* window = new DrawingWindow(secondsPerPixel > 0 ? secondsPerPixel : 120.0);
    window->show();
    int const rc = app.exec();
    delete window;
    return rc;
}

#include "showDrawing.moc"
