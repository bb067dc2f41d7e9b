#include "ObQtSelection.h"

ObQtSelection::ObQtSelection(ObDirty* dirt, QObject* parent, unsigned int selectionDirt)
    : QObject(parent), ObSelection(dirt, selectionDirt)
{
}

ObQtSelection::~ObQtSelection() = default;

void ObQtSelection::itemWasAddedHook(Obh& item)
{
    emit itemWasAddedToSelection(this, item);
}

void ObQtSelection::itemWasRemovedHook(Obh& item)
{
    emit itemWasRemovedFromSelection(this, item);
}

void ObQtSelection::selectionChangedHook()
{
    emit selectionChanged(this);
}
