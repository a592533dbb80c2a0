// Settings and lists given to a main window through its catalogue, as the
// options dialog's OK gives them.
#pragma once

#include <utility>

#include "core/store/app_settings.h"
#include "ui/main/main_window.h"

namespace velmora::test {

template <typename Change>
void changeSettings(ui::MainWindow& window, Change change)
{
    store::AppSettings settings = window.catalogue().settings();
    change(settings);
    window.catalogue().setSettings(std::move(settings));
}

template <typename Change>
void changeLists(ui::MainWindow& window, Change change)
{
    store::ListFiles lists = window.catalogue().lists();
    change(lists);
    window.catalogue().setLists(std::move(lists));
}

}  // namespace velmora::test
