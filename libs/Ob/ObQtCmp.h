#pragma once

#include "ObQtCmpData.h"

#include <list>

class QWidget;

// Base of a document component: it names the panel types it offers and builds a panel of a
// named type inside a parent widget.
class ObQtCmp : public ObQtCmpData
{
public:
    ObQtCmp();
    ~ObQtCmp() override;

    virtual void cmpGetPanelTypeNames(std::list<rtl::str>& names) const;
    // The id of the new panel (0 or more), or -1 when no panel of that type can be built.
    virtual int cmpNewPanel(QWidget* parent, char const* typeName);
};
