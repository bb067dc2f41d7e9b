#pragma once

#include "ObSelection.h"
#include "Obh.h"

#include <QObject>

class ObDirty;

// The selection engine as a Qt object: every change is also announced as a Qt signal, emitted
// after the change has been made (clearing announces each item while it is still selected, then
// the cleared selection).
class ObQtSelection : public QObject, public ObSelection
{
    Q_OBJECT

public:
    ObQtSelection(ObDirty* dirt, QObject* parent, unsigned int selectionDirt);
    ~ObQtSelection() override;

    void itemWasAddedHook(Obh& item) override;
    void itemWasRemovedHook(Obh& item) override;
    void selectionChangedHook() override;

Q_SIGNALS:
    void itemWasAddedToSelection(ObSelection* sel, Obh& item);
    void itemWasRemovedFromSelection(ObSelection* sel, Obh& item);
    void selectionChanged(ObSelection* sel);
};
