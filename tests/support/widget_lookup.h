// Reaching a window's controls the way a user sees them: by object name.
#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QString>
#include <QTest>

namespace velmora::test {

// The child of `parent` named `name` (searched recursively); a test failure
// when there is none.
template <class T>
T* child(const QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        ADD_FAILURE() << "no child named " << name;
    }
    return found;
}

// Clicks the button named `name` with the left mouse button.
inline void clickButton(const QObject* parent, const char* name)
{
    if (auto* button = child<QAbstractButton>(parent, name)) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

// Triggers the action named `name`.
inline void triggerAction(const QObject* parent, const char* name)
{
    if (auto* action = child<QAction>(parent, name)) {
        action->trigger();
    }
}

}  // namespace velmora::test
