#include "ObQtMbar.h"

#include "ObQtMenu.h"
#include "ObQtMitem.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// Qt offers every key to the focus widget as a shortcut override before it matches the key
// against the shortcuts; an application-wide filter sees that offer first. (The bar itself
// cannot be the filter: QMenuBar adds and removes itself as an application filter for its Alt
// key navigation.)
class ShortcutWatch : public QObject
{
    Q_OBJECT
public:
    explicit ShortcutWatch(ObQtMbar* bar) : QObject(bar), myBar(bar)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride)
            myBar->prepShortcut(static_cast<QKeyEvent*>(event));
        return false;
    }

private:
    ObQtMbar* myBar;
};

} // namespace

ObQtMbar::ObQtMbar() : QMenuBar(nullptr)
{
    if (QCoreApplication::instance())
        new ShortcutWatch(this);
}

ObQtMbar::~ObQtMbar() = default;

ObQtMenu* ObQtMbar::addMenu(char const* title)
{
    ObQtMenu* menu = new ObQtMenu(title, this);
    QMenuBar::addMenu(menu);
    return menu;
}

void ObQtMbar::prepShortcut(QKeyEvent* key)
{
    QKeySequence const pressed(key->keyCombination().toCombined() & ~Qt::KeypadModifier);
    for (ObQtMenu* menu : findChildren<ObQtMenu*>(Qt::FindDirectChildrenOnly))
        for (ObQtMitem* item : menu->myMitems) {
            QKeySequence const keys = item->getQAction()->shortcut();
            if (!keys.isEmpty() && keys == pressed)
                item->prepShow(menu);
        }
}

#include "ObQtMbar.moc"
