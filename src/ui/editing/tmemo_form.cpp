#include "editing/tmemo_form.h"

#include "mainwindow/tform1.h"
#include "media/device_ops.h"

namespace velmora::ui {

TMemoForm::TMemoForm(TForm1& main, Prompter& prompter, QWidget* parent)
    : QWidget(parent), main_(main), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("メモ帳入力"));
}

void TMemoForm::MediaEjectButtonClick() { releaseDevice(main_.MediaPlayer1()); }

void TMemoForm::applyLook() {}

void TMemoForm::collectSettings(store::AppSettings&) const {}

}  // namespace velmora::ui
