#include "ui/readings/readings_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/store/columns.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

ReadingsDialog::ReadingsDialog(catalogue::Catalogue& catalogue, const readings::ReadingDictionary* dictionary,
                               QWidget* parent)
    : QDialog(parent), catalogue_(catalogue)
{
    setObjectName(QStringLiteral("readingsDialog"));
    setWindowTitle(QStringLiteral("読みを自動設定"));
    resize(640, 440);
    auto* layout = new QVBoxLayout(this);

    proposals_ = readings::proposeReadings(catalogue_.albums(), dictionary);
    QString note;
    if (dictionary == nullptr || !dictionary->available()) {
        note = dictionary != nullptr ? fromUtf8(dictionary->unavailableMessage())
                                     : QStringLiteral("読みの辞書がないため、読みを自動で求められません。");
        note += QStringLiteral("\n同じアーティストに設定済みの読みだけを提案します。");
    } else {
        note =
            QStringLiteral(
                "フリガナが空かアーティスト名と同じアルバム: %1件。チェックしたアルバムに読みを設定します。")
                .arg(proposals_.size());
    }
    note_ = new QLabel(note, this);
    note_->setObjectName(QStringLiteral("readingsNote"));
    note_->setWordWrap(true);
    layout->addWidget(note_);

    table_ = new QTableWidget(static_cast<int>(proposals_.size()), ColumnCount, this);
    table_->setObjectName(QStringLiteral("readingsTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("設定"), QStringLiteral("番号"),
                                       QStringLiteral("アーティスト"), QStringLiteral("アルバム"),
                                       QStringLiteral("読み (編集できます)")});
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(proposals_.size()); ++row) {
        const readings::ReadingProposal& proposal = proposals_[static_cast<std::size_t>(row)];
        auto* tick = new QTableWidgetItem();
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        tick->setCheckState(Qt::Checked);
        table_->setItem(row, TickColumn, tick);
        auto fixed = [&](int column, const QString& text) {
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(row, column, item);
        };
        fixed(NumberColumn, QString::number(proposal.album));
        fixed(ArtistColumn, fromCp932(proposal.artist));
        fixed(AlbumColumn, fromCp932(catalogue_.albums().cell(store::AlbumColumn, proposal.album)));
        table_->setItem(row, ReadingColumn, new QTableWidgetItem(fromCp932(proposal.reading)));
    }
    table_->resizeColumnsToContents();
    layout->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(this);
    setButton_ = buttons->addButton(QStringLiteral("設定"), QDialogButtonBox::AcceptRole);
    setButton_->setObjectName(QStringLiteral("setReadings"));
    setButton_->setEnabled(!proposals_.empty());
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool ReadingsDialog::apply()
{
    std::vector<std::pair<int, std::string>> readings;
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (table_->item(row, TickColumn)->checkState() != Qt::Checked) {
            continue;
        }
        const QString typed = table_->item(row, ReadingColumn)->text();
        QString problem;
        std::optional<std::string> bytes = toCp932(typed, &problem);
        if (bytes) {
            const catalogue::Problem refused = catalogue::checkCellText(store::FuriganaColumn, *bytes);
            if (refused != catalogue::Problem::None) {
                problem = fromUtf8(catalogue::problemMessage(refused));
                bytes.reset();
            }
        }
        if (!bytes) {
            QMessageBox::information(this, windowTitle(),
                                     QStringLiteral("%1 行目の読み: %2").arg(row + 1).arg(problem));
            table_->setCurrentCell(row, ReadingColumn);
            return false;
        }
        readings.emplace_back(proposals_[static_cast<std::size_t>(row)].album, std::move(*bytes));
    }
    applied_ = catalogue_.setReadings(readings);
    return true;
}

}  // namespace velmora::ui
