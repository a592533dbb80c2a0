// Handing files, folders and web addresses to the desktop ("open").
#pragma once

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace velmora::ui {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens an address or a local file with the desktop's default program.
    // Never goes through a command shell.
    virtual bool open(const QUrl& url) = 0;
};

class QtShell : public Shell {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

}  // namespace velmora::ui
