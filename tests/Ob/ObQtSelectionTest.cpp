#include "ObQtSelection.h"
#include "ObDirty.h"
#include "ObTestSupport.h"

#include <QObject>
#include <gtest/gtest.h>

#include <string>

// Every change of the selection is announced as a Qt signal once it is made: a receiver sees the
// selection as it now is. Clearing announces each item while it is still selected, then the
// cleared selection.
TEST(ObQtSelection, AnnouncesEveryChangeAfterMakingIt)
{
    TStore store;
    ObDirty dirt(&store.engine, nullptr);
    unsigned int const id = dirt.newDirtId("DirtSelection");
    QObject parent;
    auto* sel = new ObQtSelection(&dirt, &parent, id);
    EXPECT_EQ(sel->parent(), &parent);
    EXPECT_EQ(sel->getSelectionDirt(), id);

    std::string seen;
    auto mark = [&](char what, ObSelection* from, Obh const& h) {
        EXPECT_EQ(from, sel);
        bool const inside = sel->isSelectedTest(h);
        seen += what + std::to_string(h.getAddr()) + (inside ? "in " : "out ");
    };
    QObject::connect(sel, &ObQtSelection::itemWasAddedToSelection,
                     [&](ObSelection* s, Obh& h) { mark('+', s, h); });
    QObject::connect(sel, &ObQtSelection::itemWasRemovedFromSelection,
                     [&](ObSelection* s, Obh& h) { mark('-', s, h); });
    QObject::connect(sel, &ObQtSelection::selectionChanged, [&](ObSelection* s) {
        EXPECT_EQ(s, sel);
        seen += "*" + std::to_string(sel->getSelection().size()) + " ";
    });

    Obh a = store.items.make(), b = store.items.make();
    sel->addToSelection(a);
    EXPECT_EQ(seen, "+0in *1 ");
    seen.clear();
    sel->addToSelection(a);
    EXPECT_EQ(seen, "") << "no change, no signal";
    sel->addToSelection(b);
    sel->removeFromSelection(a);
    EXPECT_EQ(seen, "+1in *2 -0out *1 ");
    seen.clear();
    sel->clearSelection();
    EXPECT_EQ(seen, "-1in *0 ");
    EXPECT_TRUE(dirt.isDirty(id)) << "raised by the additions and the removal before";
}
