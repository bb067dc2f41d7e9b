#include "pHeader.h"
#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "RecordingPainter.h"
#include "ViewsDoc.h"
#include "mLayer.h"
#include "pHead.h"
#include "tlUi.h"
#include "uiButton.h"
#include "uiFonts.h"
#include "uiToggle.h"
#include "wEditLayer.h"

#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

struct Headers : ViewsDoc
{
    QWidget window;
    pHead* strip = new pHead(&window, nullptr);
    Obh first = timeline.newLayer();
    Obh second = timeline.newLayer();
    pHeader* header = new pHeader(strip, first);

    Headers() { window.show(); }

    mLayer& layer(Obh h) { return *tlObj::ourType_mLayer->ptr(h); }
    void press(pHeader& h, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouseAt(h, QEvent::MouseButtonPress, {60, 8}, Qt::LeftButton, mods);
    }
    // As Qt delivers a double click: press, release, double click, release.
    void doubleClick(QPoint at)
    {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
            mouseAt(*header, type, at);
    }
    void showControls(bool controls, bool hiding)
    {
        timeline.setShowLayerControls(controls);
        timeline.setLayerHidingEnabled(hiding);
        doc.dirt.setDirty(tlObj::DirtLayerControlVisibility, true);
        doc.pass();
    }
};

bool shown(QWidget* w)
{
    return !w->isHidden();
}

} // namespace

TEST_F(Headers, ControlsSitAtTheRightEdge)
{
    header->resize(200, 40);
    EXPECT_EQ(header->myHideToggle->geometry(), QRect(155, 3, 12, 12));
    EXPECT_EQ(header->myContractBtn->geometry(), QRect(170, 3, 12, 12));
    EXPECT_EQ(header->myExpandBtn->geometry(), QRect(185, 3, 12, 12));
}

TEST_F(Headers, ControlsFollowTheTimelineFlagsInTheNextPass)
{
    showControls(false, false);
    EXPECT_FALSE(shown(header->myHideToggle));
    EXPECT_FALSE(shown(header->myExpandBtn));
    EXPECT_FALSE(shown(header->myContractBtn));
    showControls(true, false);
    EXPECT_TRUE(shown(header->myHideToggle));
    EXPECT_TRUE(shown(header->myExpandBtn));
    EXPECT_TRUE(shown(header->myContractBtn));
    // While layer hiding is on, the corner's switch is the one that shows.
    showControls(true, true);
    EXPECT_FALSE(shown(header->myHideToggle));
    EXPECT_TRUE(shown(header->myExpandBtn));
    EXPECT_TRUE(shown(header->myContractBtn));
}

TEST_F(Headers, ALongTitleEndsShortOfTheControls)
{
    layer(first).setTitle("Conception & \xC3\x89tudes \xE2\x80\x94 D\xC3\xA9veloppement");
    header->resize(150, 30);
    // The columns of a row of the header's title band where the title's white shows.
    auto inked = [&](int from, int to) {
        QImage const shot = header->grab().toImage();
        int n = 0;
        for (int y = 2; y < 22; ++y)
            for (int x = std::max(from, 0); x < std::min(to, shot.width()); ++x)
                if (QColor c = shot.pixelColor(x, y); c.red() > 200 && c.green() > 200)
                    ++n;
        return n;
    };
    for (bool hiding : {false, true}) {
        SCOPED_TRACE(hiding ? "layer hiding on: no \"H\"" : "all three controls");
        showControls(true, hiding);
        QWidget* leftmost = hiding ? static_cast<QWidget*>(header->myContractBtn)
                                   : static_cast<QWidget*>(header->myHideToggle);
        int const at = leftmost->x();
        EXPECT_GT(inked(0, at - 4), 0) << "the title's start shows";
        EXPECT_EQ(inked(at - 4, at), 0) << "the title stops short of the first control";
        // Between the controls and after the last, nothing of the title either.
        for (QWidget* control : {static_cast<QWidget*>(header->myHideToggle),
                                 static_cast<QWidget*>(header->myContractBtn),
                                 static_cast<QWidget*>(header->myExpandBtn)})
            if (control->x() >= at) {
                EXPECT_EQ(inked(control->x() + control->width(), control->x() + 15), 0)
                    << "beside the control at " << control->x();
            }
    }
}

// Cut to fit beside the controls, titles that differ only at their end still read apart.
TEST_F(Headers, TitlesThatDifferOnlyAtTheEndStayApartBesideTheControls)
{
    header->resize(timeline.getLayerHeaderW(), 30);
    showControls(true, false);
    mLayer& l = layer(first);
    int const font =
        uiFonts::fontId(l.getLabelFontFamily().c(), l.getLabelFontSize(), l.getLabelFontWeight());
    // The title as the header draws it, measured in the header's font.
    auto drawn = [&](char const* title) {
        l.setTitle(title);
        RecordingPainter p(0, 0, float(header->width()), float(header->height()));
        p.measure = [&](char const* text, float, float& w, float& h) {
            uiFonts::textSize(font, text, w, h);
        };
        l.paintLayerHeader(p, first, header->titleEnd());
        std::string const call = p.callsStartingWith("draw2dText(\"").at(0);
        return call.substr(12, call.find('"', 12) - 12);
    };
    std::string const ten = drawn("Layer #10"), eleven = drawn("Layer #11");
    EXPECT_NE(ten, eleven);
    EXPECT_THAT(ten, testing::HasSubstr("\xE2\x80\xA6")) << "cut";
}

TEST_F(Headers, HideToggleDeactivatesTheLayerAndFollowsItBack)
{
    header->myHideToggle->activate();
    EXPECT_FALSE(layer(first).getIsActive());
    EXPECT_TRUE(raised(tlObj::DirtActiveLayers));
    header->myHideToggle->activate();
    EXPECT_TRUE(layer(first).getIsActive());

    // Hidden elsewhere: the toggle shows it after the next pass that touches the header.
    layer(first).setIsActive(false);
    doc.dirt.setDirty(tlObj::DirtLayout, true);
    doc.pass();
    EXPECT_TRUE(header->myHideToggle->getValue());
}

TEST_F(Headers, PlainPressSelectsTheLayerAloneUnlessItIsSelected)
{
    doc.selection.setSelection(second);
    press(*header);
    EXPECT_TRUE(doc.selection.isSelectedTest(first));
    EXPECT_FALSE(doc.selection.isSelectedTest(second));
    EXPECT_EQ(timeline.getCurrentLayerHdl(), first);

    // A plain press on a layer that is already selected keeps the others.
    doc.selection.addToSelection(second);
    press(*header);
    EXPECT_TRUE(doc.selection.isSelectedTest(first));
    EXPECT_TRUE(doc.selection.isSelectedTest(second));
}

TEST_F(Headers, CommandPressTogglesTheLayer)
{
    timeline.setCurrentLayerHdl(second);
    doc.selection.setSelection(second);
    press(*header, Qt::ControlModifier);
    EXPECT_TRUE(doc.selection.isSelectedTest(first));
    EXPECT_TRUE(doc.selection.isSelectedTest(second));
    EXPECT_EQ(timeline.getCurrentLayerHdl(), first);
    timeline.setCurrentLayerHdl(second);
    press(*header, Qt::ControlModifier);
    EXPECT_FALSE(doc.selection.isSelectedTest(first));
    EXPECT_EQ(timeline.getCurrentLayerHdl(), second) << "a removed layer does not become current";
}

TEST_F(Headers, ReleaseOnAHeaderAndClicksOnTheStripRaiseTheirDirt)
{
    mouseAt(*header, QEvent::MouseButtonRelease, {60, 8});
    EXPECT_TRUE(raised(tlObj::DirtLayerHeaderClicked));
    EXPECT_FALSE(raised(tlObj::DirtLayerHeaderBgClicked));
    doc.dirt.clearAllDirt();
    mouseAt(*strip, QEvent::MouseButtonPress, {5, 300});
    EXPECT_TRUE(raised(tlObj::DirtLayerHeaderBgClicked));
    doc.dirt.clearAllDirt();
    mouseAt(*strip, QEvent::MouseButtonRelease, {5, 300});
    EXPECT_TRUE(raised(tlObj::DirtLayerHeaderBgClicked));
}

TEST_F(Headers, TheStripKeepsEveryHeaderAsWideAsItself)
{
    auto* other = new pHeader(strip, second);
    header->setGeometry(0, 0, 50, 40);
    other->setGeometry(0, 40, 50, 25);
    strip->resize(180, 400);
    EXPECT_EQ(header->size(), QSize(180, 40));
    EXPECT_EQ(other->size(), QSize(180, 25));
    EXPECT_EQ(other->myExpandBtn->x(), 165) << "the header laid itself out at its new width";
}

TEST_F(Headers, PlusAddsARowAndMinusDropsTheEmptyOnes)
{
    mScale& rows = *layer(first).rowScale();
    double const last = rows.getMaxValue();
    header->myExpandBtn->buttonPressed(header->myExpandBtn);
    EXPECT_EQ(rows.getMaxValue(), last + 1);
    EXPECT_TRUE(raised(tlObj::DirtNumRowsInLayer));
    header->myExpandBtn->buttonPressed(header->myExpandBtn);
    header->myContractBtn->buttonPressed(header->myContractBtn);
    EXPECT_EQ(rows.getMaxValue(), last) << "one row is kept";
}

TEST_F(Headers, ShiftPressExtendsTheLayerSelection)
{
    Obh third = timeline.newLayer();
    pHeader last(strip, third);
    Obh top = timeline.getLayerHdls().front();
    doc.selection.setSelection(top);
    press(last, Qt::ShiftModifier | Qt::ControlModifier); // Shift wins
    for (Obh const& h : timeline.getLayerHdls())
        EXPECT_TRUE(doc.selection.isSelectedTest(h));
    EXPECT_EQ(timeline.getCurrentLayerHdl(), third);
}

TEST_F(Headers, TheTitleEditorSurvivesItsDoubleClickAndCommitsWhatChanged)
{
    header->resize(200, 40);
    layer(first).setTitle("Plans");
    doc.dirt.clearAllDirt();
    doubleClick({5, 8});
    ASSERT_NE(header->myTitleEditor, nullptr) << "the release that completes it is no click";
    QPointer<QLineEdit> editor = header->myTitleEditor;
    EXPECT_EQ(editor->geometry(), QRect(2, 2, 196, 20));
    EXPECT_EQ(editor->text(), "Plans");
    header->showEditTitle();
    EXPECT_EQ(header->myTitleEditor, editor) << "one editor at a time";

    editor->setText(QString::fromUtf8("Pläne\x07 2027"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    EXPECT_EQ(header->myTitleEditor, nullptr);
    EXPECT_STREQ(layer(first).getTitle().c(), "Pläne 2027");
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs));

    // A commit that changes nothing marks nothing; a later release commits as usual.
    doc.dirt.clearAllDirt();
    header->showEditTitle();
    mouseAt(*header, QEvent::MouseButtonRelease, {5, 8});
    EXPECT_EQ(header->myTitleEditor, nullptr);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editor.isNull());
}

TEST_F(Headers, DoubleClickBesideTheTitleOpensTheLayerEditor)
{
    header->resize(200, 40);
    doc.selection.setSelection(second);
    tlUi& ui = *doc.cmp.getUi();
    doubleClick({150, 30});
    EXPECT_EQ(header->myTitleEditor, nullptr);
    ASSERT_NE(ui.getLayerEditor(), nullptr);
    EXPECT_EQ(ui.getLayerEditor()->getHdl(), first);
    EXPECT_FALSE(doc.selection.isSelectedTest(second)) << "the layer is selected alone";
    header->showEditLayer();
    EXPECT_EQ(ui.getLayerEditor(), nullptr) << "asked again, it closes";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Headers, AnOpenTitleIsCommittedByTheNextClickAndTheSelectionStays)
{
    header->resize(200, 40);
    auto* other = new pHeader(strip, second);
    other->setGeometry(0, 40, 200, 40);
    struct
    {
        char const* what;
        std::function<void()> click;
    } const cases[] = {
        {"a press on its own header", [&] { press(*header); }},
        {"a press on the strip",
         [&] {
             mouseAt(*strip, QEvent::MouseButtonPress, {5, 300});
         }},
        {"a release on the strip",
         [&] {
             mouseAt(*strip, QEvent::MouseButtonRelease, {5, 300});
         }},
        {"the keyboard going elsewhere",
         [&] {
             QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
             QApplication::sendEvent(header->myTitleEditor, &out);
         }},
        {"a click on another header",
         [&] {
             press(*other);
             mouseAt(*other, QEvent::MouseButtonRelease, {60, 8});
         }},
    };
    int k = 0;
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        doc.selection.setSelection(second);
        header->showEditTitle();
        ASSERT_NE(header->myTitleEditor, nullptr);
        std::string const typed = "Renamed " + std::to_string(++k);
        header->myTitleEditor->setText(QString::fromStdString(typed));
        doc.dirt.clearAllDirt();
        c.click();
        doc.pass();
        EXPECT_EQ(header->myTitleEditor, nullptr);
        EXPECT_STREQ(layer(first).getTitle().c(), typed.c_str());
        EXPECT_FALSE(doc.selection.isSelectedTest(first));
        EXPECT_TRUE(doc.selection.isSelectedTest(second));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
