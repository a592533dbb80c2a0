#include "ui/dialogs/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/platform/screen_fit.h"
#include "ui/platform/shell.h"

namespace velmora::ui {

HelpWindow::HelpWindow(Shell& shell, QWidget* parent) : QWidget(parent, Qt::Window), shell_(shell)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Velmora ヘルプ"));

    auto* searchLabel = new QLabel(QStringLiteral("ページ内検索(&F):"), this);
    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName(QStringLiteral("helpSearchEdit"));
    searchEdit_->setClearButtonEnabled(true);
    searchEdit_->setPlaceholderText(QStringLiteral("探す言葉"));
    searchLabel->setBuddy(searchEdit_);
    auto* nextButton = new QPushButton(QStringLiteral("次を検索(&N)"), this);
    nextButton->setObjectName(QStringLiteral("helpNextButton"));
    auto* previousButton = new QPushButton(QStringLiteral("前を検索(&P)"), this);
    previousButton->setObjectName(QStringLiteral("helpPreviousButton"));
    auto* topButton = new QPushButton(QStringLiteral("目次(&T)"), this);
    topButton->setObjectName(QStringLiteral("helpTopButton"));
    searchState_ = new QLabel(this);
    searchState_->setObjectName(QStringLiteral("helpSearchState"));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    // Anchors within the page are followed here; other sites open in the
    // desktop's browser.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.isLocalFile() || url.isRelative() || url.scheme() == QLatin1String("qrc")) {
            browser_->setSource(url);
        } else {
            shell_.open(url);
        }
    });
    connect(searchEdit_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(searchEdit_, &QLineEdit::textChanged, this, [this] { searchState_->clear(); });
    connect(nextButton, &QPushButton::clicked, this, [this] { findNext(); });
    connect(previousButton, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(topButton, &QPushButton::clicked, this,
            [this] { browser_->scrollToAnchor(QStringLiteral("top")); });

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(topButton);
    searchRow->addSpacing(12);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(searchEdit_, 1);
    searchRow->addWidget(nextButton);
    searchRow->addWidget(previousButton);
    searchRow->addWidget(searchState_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(searchRow);
    layout->addWidget(browser_, 1);
    resize(760, 620);
    keepOnScreenWhenShown(*this);
}

bool HelpWindow::showPage(const QString& file)
{
    if (!QFileInfo(file).isReadable()) {
        return false;
    }
    browser_->setSource(QUrl::fromLocalFile(file));
    return !browser_->document()->isEmpty();
}

bool HelpWindow::findNext(bool backwards)
{
    const QString word = searchEdit_->text();
    if (word.isEmpty()) {
        return false;
    }
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(word, flags)) {
        searchState_->clear();
        return true;
    }
    // Start over from the other end of the page.
    QTextCursor cursor = browser_->textCursor();
    cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(cursor);
    const bool found = browser_->find(word, flags);
    searchState_->setText(found ? QString() : QStringLiteral("見つかりません"));
    return found;
}

}  // namespace velmora::ui
