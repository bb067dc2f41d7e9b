#include "ObQtSelection.h"

ObQtSelection::ObQtSelection(ObDirty* dirt, QObject* parent, unsigned int selectionDirt)
    : QObject(parent), ObSelection(dirt, selectionDirt)
{
}

ObQtSelection::~ObQtSelection() = default;

void ObQtSelection::itemWasAddedHook(Obh& item)
{
    Q_EMIT itemWasAddedToSelection(this, item);
}

void ObQtSelection::itemWasRemovedHook(Obh& item)
{
    Q_EMIT itemWasRemovedFromSelection(this, item);
}

void ObQtSelection::selectionChangedHook()
{
    Q_EMIT selectionChanged(this);
}
