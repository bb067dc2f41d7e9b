#include "wEditLayer.h"
#include "EditorDoc.h"
#include "PrintQt.h"
#include "aTs.h"
#include "uiStamp.h"

#include <QLineEdit>
#include <QTextEdit>

#include <map>
#include <string>
#include <utility>

namespace {

struct LayerEditor : EditorDoc
{
    wEditLayer* open(Obh layer)
    {
        ui.showEditLayer(layer, 100, 300, 50, 20, "Edit Layer");
        return ui.getLayerEditor();
    }
};

} // namespace

TEST_F(LayerEditor, OpensOnTheSpanOfItsEventsAndClosingWritesNothing)
{
    Obh longer = tlObj::ourType_mEvent->make();
    ev(longer).setTimeLength(500.0);
    timeline.addEvent(longer, 1200.0, 1.0, l, true);
    doc.dirt.clearAllDirt();
    auto const before = attrs(layer(l));

    wEditLayer* editor = open(l);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getStartStamp()->getTs(), aTs(1000.0));
    EXPECT_EQ(editor->getEndStamp()->getTs(), aTs(1700.0));
    EXPECT_EQ(picked(*editor->getColorPicker()), (std::array<int, 4> {100, 100, 100, 80}));
    editor->setColorType(wEditObj::ColorTypeText);
    ui.clearEditor();
    EXPECT_EQ(attrs(layer(l)), before);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
    EXPECT_FALSE(raised(tlObj::DirtLayerColorChanged));

    Obh empty = timeline.newLayer();
    editor = open(empty);
    EXPECT_EQ(editor->getStartStamp()->getTs(), aTs(0.0)) << "a layer without events";
    EXPECT_EQ(editor->getEndStamp()->getTs(), aTs(0.0));
}

TEST_F(LayerEditor, ColoursReachTheLayerAtOnceTextsWhenSaved)
{
    wEditLayer* editor = open(l);
    editor->setColorType(wEditObj::ColorTypeLine);
    editor->getColorPicker()->setColor(9, 8, 7, 6);
    mLayer& band = layer(l);
    EXPECT_EQ((std::array<int, 4> {band.getLineColorR(), band.getLineColorG(), band.getLineColorB(),
                                   band.getLineColorA()}),
              (std::array<int, 4> {9, 8, 7, 6}));
    EXPECT_TRUE(raised(tlObj::DirtLayerColorChanged));
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs));

    doc.dirt.clearAllDirt();
    editor->getTitleEdit()->setText(QString::fromUtf8("Überblick"));
    editor->getKeywordsEdit()->setText("k");
    editor->getNotesEdit()->setPlainText("n");
    ui.clearEditor();
    EXPECT_STREQ(band.getTitle().c(), "Überblick");
    EXPECT_STREQ(band.getKeywords().c(), "k");
    EXPECT_STREQ(band.getNotes().c(), "n");
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs));
}

TEST_F(LayerEditor, ClosesUnsavedWhenItsLayerGoes)
{
    wEditLayer* editor = open(l);
    editor->getTitleEdit()->setText("typed");
    timeline.deleteLayer(l);
    EXPECT_EQ(ui.getLayerEditor(), nullptr);
    EXPECT_EQ(tlUi::ourEditor, nullptr);
}

// The rows of the event editor without amount, units and colour style: keywords come up to the
// amount's row, the picker to 134, and the notes, from 208, take what is left.
TEST_F(LayerEditor, EveryFieldAndLabelHasItsPlaceBesideALeftPoint)
{
    wEditLayer* editor = open(l);
    ASSERT_EQ(editor->getInset(), QRect(15, 0, 275, 400)) << "a left point";
    std::pair<char const*, QRect> const fields[] = {
        {"heading", {90, 14, 190, 20}},   {"title", {90, 38, 190, 20}},
        {"start", {90, 62, 190, 20}},     {"end", {90, 86, 190, 20}},
        {"keywords", {90, 110, 190, 20}}, {"picker", {90, 134, 190, 70}},
        {"notes", {25, 208, 255, 182}},   {"Title", {25, 43, 57, 20}},
        {"Start", {25, 67, 57, 20}},      {"End", {25, 91, 57, 20}},
        {"Keywords", {25, 115, 57, 20}},  {"Fill", {25, 143, 57, 20}},
        {"Line", {25, 165, 57, 20}},      {"Text", {25, 187, 57, 20}},
    };
    expectPlaces(*editor, fields, sharedFields(*editor, "Edit Layer"));
}
