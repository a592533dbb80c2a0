#include "ui/dialogs/about_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/platform/shell.h"

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

AboutDialog::AboutDialog(Shell* shell, QString linkTarget, QWidget* parent) : QDialog(parent)
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

    linkLabel = new LinkLabel(QStringLiteral("Velmora ホームページ"), this);
    connect(linkLabel, &LinkLabel::clicked, this, [shell, linkTarget] {
        if (shell) {
            shell->open(QUrl::fromUserInput(linkTarget));
        }
    });

    commentLabel = new QLabel(this);
    commentLabel->setMinimumWidth(260);
    dataFolderLabel = new QLabel(this);
    dataFolderLabel->setWordWrap(true);
    dataFolderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dataFolderLabel->hide();
    progressBar = new QProgressBar(this);
    progressBar->setTextVisible(false);
    progressBar->setFixedHeight(14);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(product);
    names->addWidget(version);
    names->addWidget(linkLabel);
    names->addStretch();
    top->addLayout(names, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(commentLabel);
    layout->addWidget(dataFolderLabel);
    layout->addWidget(progressBar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    setFixedSize(340, 230);
}

void AboutDialog::showAsSplash()
{
    commentLabel->setText(QStringLiteral("iniファイルの読み込み..."));
    progressBar->setMaximum(310);
    progressBar->setValue(0);
    okButton->hide();
    show();
    repaintNow();
}

void AboutDialog::setComment(const QString& text)
{
    commentLabel->setText(text);
}

void AboutDialog::setDataFolder(const QString& folder)
{
    // A long path wraps at its separators; the box grows to hold it.
    QString shown = folder;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
    dataFolderLabel->setText(QStringLiteral("データの保存先:\n") + shown);
    dataFolderLabel->setToolTip(folder);
    dataFolderLabel->show();
    const int width = 340 - 32;
    setFixedSize(340, 230 + dataFolderLabel->heightForWidth(width) + 6);
}

void AboutDialog::stepProgress()
{
    progressBar->setValue(progressBar->value() + 1);
}

void AboutDialog::repaintNow()
{
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace velmora::ui
