#pragma once

#include "ObQtPanel.h"

class ObDoc;

// A panel that is a window and may belong to a document.
class ObQtWin : public ObQtPanel
{
    Q_OBJECT
public:
    explicit ObQtWin(QWidget* parent);
    ~ObQtWin() override;

    virtual ObDoc* getDoc() const;
};
