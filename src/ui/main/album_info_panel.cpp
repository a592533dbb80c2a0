#include "ui/main/album_info_panel.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

QLabel* bigNumber(QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    QFont f = label->font();
    f.setPointSize(16);
    f.setBold(true);
    label->setFont(f);
    return label;
}

// Fills a pick box; entries stand for every spelling that differs only in
// case.
void fillPicks(PickBox* box, const std::vector<std::string>& cp932Entries, bool keepChoice)
{
    const QString remembered = box->currentText();
    box->clear();
    for (const std::string& entry : cp932Entries) {
        box->addItem(fromCp932(entry));
    }
    box->setCurrentIndex(keepChoice ? box->findText(remembered, Qt::MatchFixedString) : -1);
}

}  // namespace

AlbumInfoPanel::AlbumInfoPanel(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("表示数/登録数"), this), 0, Qt::AlignBottom);
    albumCountLabel_ = bigNumber(this);
    albumCountLabel_->setObjectName(QStringLiteral("albumCountLabel"));
    albumCountLabel_->setText(QStringLiteral("0/0"));
    counts->addWidget(albumCountLabel_, 0, Qt::AlignBottom);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("曲数"), this), 0, Qt::AlignBottom);
    songCountLabel_ = bigNumber(this);
    songCountLabel_->setObjectName(QStringLiteral("songCountLabel"));
    counts->addWidget(songCountLabel_, 0, Qt::AlignBottom);
    counts->addStretch();
    // The counts take the whole width, so that six-digit catalogues show
    // whole; the picture sits beside the artist and album boxes.
    grid->addLayout(counts, 0, 0, 1, 3);

    auto* picture = new QWidget(this);
    picture->setFixedSize(64, 64);
    pictureLabel_ = new QLabel(picture);
    pictureLabel_->setObjectName(QStringLiteral("pictureLabel"));
    pictureLabel_->setGeometry(0, 0, 64, 64);
    pictureLabel_->setAlignment(Qt::AlignCenter);
    pictureLabel_->hide();
    noPictureLabel_ = new QLabel(QStringLiteral("NoImage"), picture);
    noPictureLabel_->setObjectName(QStringLiteral("noPictureLabel"));
    noPictureLabel_->setGeometry(0, 0, 64, 64);
    noPictureLabel_->setAlignment(Qt::AlignCenter);
    noPictureLabel_->setFrameShape(QFrame::Box);
    noPictureLabel_->setForegroundRole(QPalette::PlaceholderText);
    grid->addWidget(picture, 1, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);

    auto pickBox = [this] {
        auto* box = new PickBox(this);
        QFont f = box->font();
        f.setBold(true);
        box->setFont(f);
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        box->setPalette(pal);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
        return box;
    };
    artistBox_ = pickBox();
    artistBox_->setObjectName(QStringLiteral("artistBox"));
    titleBox_ = pickBox();
    titleBox_->setObjectName(QStringLiteral("titleBox"));
    artistBox_->onDropDown = [this] { emit artistListRequested(); };
    titleBox_->onDropDown = [this] { emit titleListRequested(); };
    connect(artistBox_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) {
            emit artistPicked(artistBox_->itemText(index));
        }
    });
    connect(titleBox_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) {
            emit titlePicked(titleBox_->itemText(index));
        }
    });

    categoryLabels_[0] = new QLabel(QStringLiteral("ジャンル"), this);
    categoryLabels_[0]->setObjectName(QStringLiteral("category1Label"));
    categoryLabels_[1] = new QLabel(QStringLiteral("メディア"), this);
    categoryLabels_[1]->setObjectName(QStringLiteral("category2Label"));
    categoryLabels_[2] = new QLabel(QStringLiteral("メモ"), this);
    categoryLabels_[2]->setObjectName(QStringLiteral("category3Label"));
    genreEdit_ = new QLineEdit(this);
    genreEdit_->setObjectName(QStringLiteral("genreEdit"));
    mediaEdit_ = new QLineEdit(this);
    mediaEdit_->setObjectName(QStringLiteral("mediaEdit"));
    for (QLineEdit* edit : {genreEdit_, mediaEdit_}) {
        edit->setReadOnly(true);
    }
    memoView_ = new QPlainTextEdit(this);
    memoView_->setObjectName(QStringLiteral("memoView"));
    memoView_->setReadOnly(true);
    memoView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoView_->setLineWrapMode(QPlainTextEdit::NoWrap);

    int row = 1;
    auto* artistLabel = new QLabel(QStringLiteral("アーティスト(&A)"), this);
    artistLabel->setBuddy(artistBox_);
    auto* titleLabel = new QLabel(QStringLiteral("アルバム(&L)"), this);
    titleLabel->setBuddy(titleBox_);
    // The category captions are the user's own words: named fields, no
    // mnemonic.
    categoryLabels_[0]->setBuddy(genreEdit_);
    categoryLabels_[1]->setBuddy(mediaEdit_);
    categoryLabels_[2]->setBuddy(memoView_);
    grid->addWidget(artistLabel, row, 0);
    grid->addWidget(artistBox_, row++, 1);
    grid->addWidget(titleLabel, row, 0);
    grid->addWidget(titleBox_, row++, 1);
    grid->addWidget(categoryLabels_[0], row, 0);
    grid->addWidget(genreEdit_, row++, 1, 1, 2);
    grid->addWidget(categoryLabels_[1], row, 0);
    grid->addWidget(mediaEdit_, row++, 1, 1, 2);
    grid->addWidget(categoryLabels_[2], row, 0, Qt::AlignTop);
    grid->addWidget(memoView_, row, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void AlbumInfoPanel::setCounts(int shown, int registered)
{
    albumCountLabel_->setText(QStringLiteral("%1/%2").arg(shown).arg(registered));
}

void AlbumInfoPanel::setRegisteredCount(int registered)
{
    albumCountLabel_->setText(QString::number(registered));
}

void AlbumInfoPanel::setSongCount(int songs)
{
    songCountLabel_->setText(QString::number(songs));
}

bool AlbumInfoPanel::showAlbum(const Album& album)
{
    artistBox_->clear();
    artistBox_->addItem(album.artist);
    artistBox_->setCurrentIndex(0);
    titleBox_->clear();
    titleBox_->addItem(album.title);
    titleBox_->setCurrentIndex(0);
    genreEdit_->setText(album.category1);
    mediaEdit_->setText(album.category2);
    memoView_->setPlainText(album.memoLines.join(QLatin1Char('\n')));
    return ui::showPicture(pictureLabel_, noPictureLabel_, album.picture, 64);
}

void AlbumInfoPanel::clear()
{
    artistBox_->setCurrentIndex(-1);
    titleBox_->setCurrentIndex(-1);
    genreEdit_->clear();
    mediaEdit_->clear();
    memoView_->clear();
    pictureLabel_->hide();
    pictureLabel_->setToolTip(QString());
    noPictureLabel_->show();
}

void AlbumInfoPanel::setCategoryCaptions(const QString captions[3])
{
    for (int i = 0; i < 3; ++i) {
        categoryLabels_[i]->setText(captions[i]);
    }
}

QString AlbumInfoPanel::artist() const
{
    return artistBox_->currentText();
}

QString AlbumInfoPanel::title() const
{
    return titleBox_->currentText();
}

void AlbumInfoPanel::setArtistPicks(const std::vector<std::string>& cp932Artists, bool keepChoice)
{
    fillPicks(artistBox_, cp932Artists, keepChoice);
}

void AlbumInfoPanel::setTitlePicks(const std::vector<std::string>& cp932Titles, bool keepChoice)
{
    fillPicks(titleBox_, cp932Titles, keepChoice);
}

}  // namespace velmora::ui
