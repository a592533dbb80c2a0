#include "mainwindow/about_box.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/shell.h"

namespace velmora::ui {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("作者のページへ"));
    setAttribute(Qt::WA_Hover);
}

QSize LinkLabel::sizeHint() const
{
    QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 4, metrics.height() + 2};
}

void LinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont f = font();
    f.setUnderline(hot_);
    painter.setFont(f);
    painter.setPen(hot_ ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

void LinkLabel::enterEvent(QEnterEvent*)
{
    hot_ = true;
    update();
}

void LinkLabel::leaveEvent(QEvent*)
{
    hot_ = false;
    update();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

TAboutBox::TAboutBox(Shell* shell, QString linkTarget, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    // Small, fixed, without title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    icon->setFixedSize(64, 64);

    auto* product = new QLabel(QStringLiteral("Velmora"), this);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(QStringLiteral("Ver.2.20β13"), this);

    Link = new LinkLabel(QStringLiteral("Velmora ホームページ"), this);
    connect(Link, &LinkLabel::clicked, this, [shell, linkTarget] {
        if (shell) {
            shell->open(QUrl::fromUserInput(linkTarget));
        }
    });

    Comments = new QLabel(this);
    Comments->setMinimumWidth(260);
    DataFolderLabel = new QLabel(this);
    DataFolderLabel->setWordWrap(true);
    DataFolderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DataFolderLabel->hide();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(14);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(product);
    names->addWidget(version);
    names->addWidget(Link);
    names->addStretch();
    top->addLayout(names, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(Comments);
    layout->addWidget(DataFolderLabel);
    layout->addWidget(ProgressBar1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    setFixedSize(340, 230);
}

void TAboutBox::showAsSplash()
{
    Comments->setText(QStringLiteral("iniファイルの読み込み..."));
    ProgressBar1->setMaximum(310);
    ProgressBar1->setValue(0);
    OKButton->hide();
    show();
    repaintNow();
}

void TAboutBox::setComment(const QString& text)
{
    Comments->setText(text);
}

void TAboutBox::setDataFolder(const QString& folder)
{
    // A long path wraps at its separators; the box grows to hold it.
    QString shown = folder;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
    DataFolderLabel->setText(QStringLiteral("データの保存先:\n") + shown);
    DataFolderLabel->setToolTip(folder);
    DataFolderLabel->show();
    const int width = 340 - 32;
    setFixedSize(340, 230 + DataFolderLabel->heightForWidth(width) + 6);
}

void TAboutBox::stepProgress()
{
    ProgressBar1->setValue(ProgressBar1->value() + 1);
}

void TAboutBox::repaintNow()
{
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace velmora::ui
