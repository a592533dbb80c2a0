// Reaching a window's parts the way a user does: its named widgets and
// actions, and waiting for what it shows.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QObject>
#include <QString>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <string>

namespace velmora::test {

// The descendant of `parent` called `objectName`; fails the test (and gives
// nullptr) when there is none of that type.
template <class T>
T* child(QObject* parent, const char* objectName)
{
    T* found = parent ? parent->findChild<T*>(QString::fromUtf8(objectName)) : nullptr;
    if (found == nullptr) {
        ADD_FAILURE() << "no child named \"" << objectName << "\" of the type asked for";
    }
    return found;
}

// Triggers the named action of `window` as a menu item or a tool button
// would: only when it exists and is enabled. Gives whether it ran.
inline bool trigger(QObject* window, const char* actionName)
{
    auto* action = child<QAction>(window, actionName);
    if (action == nullptr) {
        return false;
    }
    if (!action->isEnabled()) {
        ADD_FAILURE() << "the action \"" << actionName << "\" is disabled";
        return false;
    }
    action->trigger();
    return true;
}

// Lets events run until `condition` holds or `deadline` passes; gives
// whether it held. Generous deadlines keep tests stable on a busy machine.
template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(10))
{
    return QTest::qWaitFor(condition, static_cast<int>(deadline.count()));
}

// The name of the widget that has the keyboard focus, or of its nearest
// named ancestor (Qt's own inner widgets, "qt_...", do not count).
inline QString focusName()
{
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
            return w->objectName();
        }
    }
    return {};
}

// A key press where the keyboard focus is, as the user types it.
inline void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

}  // namespace velmora::test
