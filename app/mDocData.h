#pragma once

#include "ObDoc.h"
#include "ObRecord.h"

// The document's window geometry (the window's own geometry, not its frame), kept in the document
// so that its next window opens where this one was.
#define M_DOC_ATTRS(A)                                                                             \
    A(int, winX, WinX, 0)                                                                          \
    A(int, winY, WinY, 0)                                                                          \
    A(int, winW, WinW, 800)                                                                        \
    A(int, winH, WinH, 600)

class mDocData : public ObDoc
{
    OB_RECORD(mDocData, ObDoc, M_DOC_ATTRS)
};
