#pragma once

#include "str.h"

#include <QString>

class QEvent;
class QWidget;

// Text between the widgets and the model, UTF-8 both ways. What goes into the model loses the
// characters a document cannot store (control characters other than tab, line feed and carriage
// return, and the two non-characters U+FFFE and U+FFFF): one such character typed or pasted into
// a field would otherwise make every later save of the document fail.
class uiText
{
public:
    static QString fromModel(rtl::str const& text);
    static rtl::str toModel(QString const& text);

    // A text field keeps the keys it edits with (select all, copy, cut, paste, undo, redo),
    // though a command of the window has the same key: true, with the event accepted, for the
    // shortcut check of such a key while such a field has the keyboard.
    static bool keepEditingKey(QWidget const* focus, QEvent* event);
};
