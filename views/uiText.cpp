#include "uiText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QTextEdit>

namespace {

bool storable(char32_t c)
{
    if (c < 0x20)
        return c == '\t' || c == '\n' || c == '\r';
    return c != 0xfffe && c != 0xffff && (c < 0xd800 || c > 0xdfff);
}

} // namespace

QString uiText::fromModel(rtl::str const& text)
{
    return QString::fromUtf8(text.c());
}

rtl::str uiText::toModel(QString const& text)
{
    QString kept;
    kept.reserve(text.size());
    // Pairs of surrogates make one character; a lone half of one is dropped.
    for (uint code : text.toUcs4()) {
        char32_t const c = code;
        if (storable(c))
            kept.append(QString::fromUcs4(&c, 1));
    }
    QByteArray const bytes = kept.toUtf8();
    return rtl::str(bytes.constData(), int(bytes.size()));
}

bool uiText::keepEditingKey(QWidget const* focus, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride ||
        !(qobject_cast<QLineEdit const*>(focus) || qobject_cast<QTextEdit const*>(focus)))
        return false;
    auto const* key = static_cast<QKeyEvent const*>(event);
    for (QKeySequence::StandardKey k :
         {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
          QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(k)) {
            event->accept();
            return true;
        }
    return false;
}
