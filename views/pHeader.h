#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "uiWin.h"

#include <memory>

class QFont;
class QLineEdit;
class QMouseEvent;
class QPaintEvent;
class mLayer;
class uiButton;
class uiToggle;

// The header of one layer, beside its band in the graphics view: the layer draws it (title,
// colours, selection outline); the header adds the hide toggle "H" ("on" hides the layer) and the
// buttons "+" (one more row) and "-" (drop the empty rows) at its right, and selects its layer on
// a click (Shift extends, Command toggles). The timeline pane makes one per layer, places it at
// the layer's height and replaces all of them when the stack changes.
class pHeader : public uiWin, public aRefreshable
{
    Q_OBJECT

public:
    pHeader(QWidget* parent, Obh layer);
    ~pHeader() override;

    // The layer, or null when the handle names none any more.
    mLayer* getLayer();
    Obh getLayerHdl() const { return myLayerHdl; }
    // Without layer controls nothing shows; with them "+" and "-", and "H" unless layer hiding
    // is on.
    void syncLayerControls();
    // Where the title must end: short of the leftmost control shown, else of the right edge.
    float titleEnd() const;
    // The title font again from the layer's label font.
    void reskin();

    void describeRefreshable(rtl::str& text) const override;
    void refresh(aRefreshContext* ctx) override;
    // Opens the title editor over the title, with the keyboard; nothing when one is open.
    virtual void showEditTitle();
    // Selects the layer alone and opens its editor beside the header; asked again while that
    // editor is open, closes it.
    virtual void showEditLayer();
    // Closes the open title editor and forgets it.
    virtual void hideEditor();
    // The title typed so far reaches the layer, the editor staying open: whatever is saved or
    // asked about next sees what the header shows.
    void commitTitle();

    void doLayout() override;

    // The room the title leaves before the controls and before the header's right edge.
    static constexpr int TitleControlGap = 4;
    static constexpr int TitleEdgeGap = 2;

    Obh myLayerHdl;
    uiToggle* myHideToggle = nullptr;
    uiButton* myExpandBtn = nullptr;
    uiButton* myContractBtn = nullptr;
    std::unique_ptr<QFont> myTitleFont;
    QLineEdit* myTitleEditor = nullptr;
    // The release that completes the double click that opened the title editor is not a click.
    bool myIgnoreRelease = false;

public Q_SLOTS:
    void toggleChangedCb(uiToggle* toggle, bool value);
    void btnExpandCb(uiButton* button);
    void btnContractCb(uiButton* button);
    // Commits the open title editor: the title when it changed, then the editor closes.
    void labelEditorReturnPressed();

protected:
    using uiWin::refresh;
    // The title editor keeps its editing keys (Ctrl+A selects its text, not every event).
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // On the title: edits it in place; elsewhere: opens the layer's editor.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The layer of a callback that cannot go on without it.
    mLayer& layer();
    // Closes the layer editor of the registry when one is open.
    void closeLayerEditor();
};
