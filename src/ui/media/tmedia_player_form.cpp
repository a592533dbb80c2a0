#include "media/tmedia_player_form.h"

#include <QToolButton>

#include "mainwindow/tform1.h"

namespace velmora::ui {

TMediaPlayerForm::TMediaPlayerForm(TForm1& main, Prompter& prompter, QWidget* parent)
    : QWidget(parent), main_(main), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("メディアプレイヤー"));
    PauseButton = new QToolButton(this);
    PauseButton->setCheckable(true);
}

void TMediaPlayerForm::PauseButtonClick() {}

void TMediaPlayerForm::applyLook() {}

void TMediaPlayerForm::collectSettings(store::AppSettings&) const {}

}  // namespace velmora::ui
