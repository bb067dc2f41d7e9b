#include "pCtrls.h"

#include "tlCmp.h"
#include "tlUi.h"

pCtrls::pCtrls(QWidget* parent, tlCmp* cmp, tlUi* ui)
    : uiWin(parent), myTlCmp(cmp), myTlUi(ui ? ui : (cmp ? cmp->getUi() : nullptr))
{
}

pCtrls::~pCtrls() = default;

void pCtrls::closeEvent(QEvent*)
{
    if (!testAttribute(Qt::WA_DeleteOnClose) || !myTlUi)
        return;
    myTlUi->forgetCtrls(this);
    myTlUi = nullptr;
}
