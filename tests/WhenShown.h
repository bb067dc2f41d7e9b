#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

// Acts on the next modal dialog of the given kind as a person would: waits for it to come up
// (the caller is about to run it), then acts on it.
template <typename Dialog> void whenShown(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer;
    QDeadlineTimer const deadline(20000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, act] {
        Dialog* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog)
            ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " came up";
        else
            act(dialog);
    });
    poll->start(10);
}
