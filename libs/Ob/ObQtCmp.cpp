#include "ObQtCmp.h"

ObQtCmp::ObQtCmp() = default;

ObQtCmp::~ObQtCmp() = default;

void ObQtCmp::cmpGetPanelTypeNames(std::list<rtl::str>&) const
{
}

int ObQtCmp::cmpNewPanel(QWidget*, char const*)
{
    return -1;
}
