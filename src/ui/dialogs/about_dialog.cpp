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
    painter.setPen(palette().color(hot_ ? QPalette::Link : QPalette::WindowText));
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
    auto* version = new QLabel(QStringLiteral("バージョン " VELMORA_VERSION), this);
    version->setObjectName(QStringLiteral("versionLabel"));

    linkLabel_ = new LinkLabel(QStringLiteral("Velmora ホームページ"), this);
    linkLabel_->setObjectName(QStringLiteral("linkLabel"));
    // The hint names the page the link opens.
    linkLabel_->setToolTip(linkTarget);
    connect(linkLabel_, &LinkLabel::clicked, this, [shell, linkTarget] {
        if (shell) {
            shell->open(QUrl::fromUserInput(linkTarget));
        }
    });

    commentLabel_ = new QLabel(this);
    commentLabel_->setObjectName(QStringLiteral("commentLabel"));
    commentLabel_->setMinimumWidth(260);
    dataFolderLabel_ = new QLabel(this);
    dataFolderLabel_->setObjectName(QStringLiteral("dataFolderLabel"));
    dataFolderLabel_->setWordWrap(true);
    dataFolderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dataFolderLabel_->hide();
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(14);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(product);
    names->addWidget(version);
    names->addWidget(linkLabel_);
    names->addStretch();
    top->addLayout(names, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(commentLabel_);
    layout->addWidget(dataFolderLabel_);
    layout->addWidget(progressBar_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addStretch();
    layout->addLayout(buttons);
    setFixedSize(340, 230);
}

void AboutDialog::showAsSplash()
{
    commentLabel_->setText(QStringLiteral("iniファイルの読み込み..."));
    progressBar_->setMaximum(310);
    progressBar_->setValue(0);
    okButton_->hide();
    show();
    repaintNow();
}

void AboutDialog::hideProgress()
{
    progressBar_->hide();
}

void AboutDialog::setComment(const QString& text)
{
    commentLabel_->setText(text);
}

void AboutDialog::setDataFolder(const QString& folder)
{
    // A long path wraps at its separators; the box grows to hold it.
    QString shown = folder;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
    dataFolderLabel_->setText(QStringLiteral("データの保存先:\n") + shown);
    dataFolderLabel_->setToolTip(folder);
    dataFolderLabel_->show();
    const int width = 340 - 32;
    setFixedSize(340, 230 + dataFolderLabel_->heightForWidth(width) + 6);
}

void AboutDialog::stepProgress()
{
    progressBar_->setValue(progressBar_->value() + 1);
}

void AboutDialog::repaintNow()
{
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace velmora::ui
