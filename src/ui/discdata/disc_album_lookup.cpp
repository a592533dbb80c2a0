#include "ui/discdata/disc_album_lookup.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QUrl>

#include "core/discdata/disc_id.h"
#include "core/discdata/disc_reader.h"
#include "core/store/columns.h"
#include "net/cover_file.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

DiscAlbumLookup::DiscAlbumLookup(QWidget* parent, Prompter& prompter, Shell& shell,
                                 const store::AppSettings& settings, std::filesystem::path dataDir)
    : parent_(parent),
      prompter_(prompter),
      shell_(shell),
      server_(settings.musicBrainzServer),
      dataDir_(std::move(dataDir)),
      client_(
          {QString::fromStdString(settings.musicBrainzServer), QString::fromStdString(settings.coverServer)})
{
}

template <typename Result, typename Start>
Result DiscAlbumLookup::waitWithProgress(const QString& label, Start start)
{
    QProgressDialog progress(label, QStringLiteral("キャンセル"), 0, 0, parent_);
    progress.setObjectName(QString::fromLatin1(kProgressName));
    progress.setWindowTitle(QStringLiteral("MusicBrainz"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    Result result;
    QEventLoop loop;
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [this] { client_.cancel(); });
    start([&result, &loop](Result answer) {
        result = std::move(answer);
        loop.quit();
    });
    progress.show();
    // The box is modal to the window: while the answer is awaited the window
    // paints, but a click in it cannot start a second command.
    loop.exec();
    progress.hide();
    return result;
}

net::LookupResult DiscAlbumLookup::lookup(const QString& discId, const QString& toc)
{
    return waitWithProgress<net::LookupResult>(
        QStringLiteral("MusicBrainzでディスクを調べています…"),
        [&](auto done) { client_.lookupDisc(discId, toc, std::move(done)); });
}

net::CoverResult DiscAlbumLookup::cover(const QString& releaseId)
{
    return waitWithProgress<net::CoverResult>(QStringLiteral("カバー画像を取得しています…"), [&](auto done) {
        client_.fetchCover(releaseId, std::move(done));
    });
}

std::optional<discdata::AlbumFill> DiscAlbumLookup::run(const std::string& element,
                                                        const std::vector<std::int64_t>& trackFrames,
                                                        const store::AlbumRecord& base,
                                                        const readings::ChosenReadings* chosenReadings)
{
    // The real track addresses (a hidden track before track 1, an Enhanced
    // CD's data session) as the drive layer reads them.
    const discdata::DiscReading reading = discdata::readDiscForIds(element);
    if (reading.available && !reading.problem.empty()) {
        prompter_.information(fromUtf8(reading.problem));
        return std::nullopt;
    }
    const discdata::DiscTable table =
        reading.available ? reading.layout.table : discdata::discTableFromLengths(trackFrames);
    const std::optional<discdata::DiscIds> ids = discdata::computeDiscIds(table);
    const std::vector<std::string> references = discdata::referencesFromLengths(trackFrames);
    if (!ids || references.empty()) {
        prompter_.information(QStringLiteral("読み取れません"));
        return std::nullopt;
    }
    const net::LookupResult answer =
        lookup(QString::fromStdString(ids->musicBrainz), QString::fromStdString(discdata::tocString(table)));
    switch (answer.outcome) {
        case net::Outcome::Cancelled:
            return std::nullopt;
        case net::Outcome::Failed:
            prompter_.error(answer.message);
            return std::nullopt;
        case net::Outcome::NotFound:
            if (prompter_.informationWithAction(QStringLiteral("MusicBrainzに登録されていません"),
                                                QStringLiteral("登録ページを開く"))) {
                openAddress(
                    shell_, prompter_,
                    QUrl(QString::fromStdString(discdata::submissionUrlOn(server_, ids->submissionUrl))));
            }
            return std::nullopt;
        case net::Outcome::Found:
            break;
    }
    std::size_t chosen = 0;
    if (answer.releases.size() > 1) {
        std::vector<QStringList> rows;
        for (const discdata::ReleaseInfo& release : answer.releases) {
            QStringList labels;
            for (const std::string& label : release.labels) {
                labels << fromUtf8(label);
            }
            rows.push_back({fromUtf8(release.artist), fromUtf8(release.title), fromUtf8(release.date),
                            fromUtf8(discdata::countryName(release.country)),
                            fromUtf8(discdata::formatSummary(release)), QString::number(release.media.size()),
                            labels.join(QStringLiteral(", ")), fromUtf8(release.barcode),
                            QString::number(discdata::matchingTrackCount(
                                release, ids->musicBrainz, table.offsets.size(), table.leadout))});
        }
        const std::optional<int> row = prompter_.chooseRow(
            QStringLiteral("このディスクのリリースが%1件あります。使うものを選んでください。")
                .arg(answer.releases.size()),
            {QStringLiteral("アーティスト"), QStringLiteral("タイトル"), QStringLiteral("日付"),
             QStringLiteral("国"), QStringLiteral("フォーマット"), QStringLiteral("枚数"),
             QStringLiteral("レーベル / カタログ番号"), QStringLiteral("バーコード"), QStringLiteral("曲数")},
            rows);
        if (!row || *row < 0 || static_cast<std::size_t>(*row) >= answer.releases.size()) {
            return std::nullopt;
        }
        chosen = static_cast<std::size_t>(*row);
    }
    const discdata::ReleaseInfo& release = answer.releases[chosen];
    const discdata::MediumInfo* medium =
        discdata::matchingMedium(release, ids->musicBrainz, table.offsets.size(), table.leadout);
    if (medium == nullptr) {
        prompter_.information(QStringLiteral("このリリースには曲目が登録されていません"));
        return std::nullopt;
    }
    discdata::AlbumFill fill = discdata::fillAlbum(base, release, *medium, references, chosenReadings);
    attachCover(fill, release.id);
    if (const QString notes = fillNotes(fill); !notes.isEmpty()) {
        prompter_.information(notes);
    }
    return fill;
}

void DiscAlbumLookup::attachCover(discdata::AlbumFill& fill, const std::string& releaseId)
{
    if (!discdata::isReleaseId(releaseId)) {
        return;
    }
    const net::CoverResult image = cover(QString::fromStdString(releaseId));
    if (image.outcome == net::Outcome::NotFound || image.outcome == net::Outcome::Cancelled) {
        return;
    }
    const QString keep = QStringLiteral("\nアルバムの情報はカバー画像なしで使えます。");
    if (image.outcome == net::Outcome::Failed) {
        prompter_.error(QStringLiteral("カバー画像を取得できませんでした。") + image.message + keep);
        return;
    }
    const net::StoredCover stored = net::storeCover(dataDir_, releaseId, image.image);
    if (!stored.ok) {
        prompter_.error(stored.message + keep);
        return;
    }
    const std::string path = stored.file.string();
    if (std::optional<std::string> cell = discdata::pathCell(path)) {
        fill.record[store::ImagePathColumn] = *cell;
    } else {
        net::discardStoredCover(stored);
        prompter_.error(QStringLiteral("カバー画像のパスに保存できない文字があります: ") + fromUtf8(path) +
                        keep);
    }
}

QString fillNotes(const discdata::AlbumFill& fill)
{
    QStringList notes;
    if (fill.truncated) {
        notes << QStringLiteral("このディスクは%1曲あります。最初の99曲だけを入れました。")
                     .arg(fill.mediumTracks);
    }
    if (!fill.replacedFields.empty()) {
        QStringList fields;
        for (const std::string& field : fill.replacedFields) {
            fields << fromUtf8(field);
        }
        notes << QStringLiteral("Shift-JISにない文字を「〓」にしました: ") +
                     fields.join(QStringLiteral("、"));
    }
    return notes.join(QStringLiteral("\n"));
}

QString unreadableDiscText(const std::string& element, const QString& otherwise)
{
    const discdata::DiscReading reading = discdata::readDiscForIds(element);
    return reading.refused ? fromUtf8(reading.problem) : otherwise;
}

void openAddress(Shell& shell, Prompter& prompter, const QUrl& address)
{
    if (shell.open(address)) {
        return;
    }
    // No browser, or none the desktop knows: the address is shown selected
    // in an entry the user can copy from.
    prompter.inputText(
        QStringLiteral("アドレス"),
        QStringLiteral("ブラウザを開けませんでした。このアドレスをコピーしてブラウザで開いてください。"),
        address.toString());
}

QString overwriteQuestion(const std::vector<std::string>& fields)
{
    QStringList names;
    for (const std::string& field : fields) {
        names << fromUtf8(field);
    }
    // A long album names its first fields and counts the rest.
    constexpr int kNamed = 8;
    QString listed = QStringList(names.mid(0, kNamed)).join(QStringLiteral("、"));
    if (names.size() > kNamed) {
        listed += QStringLiteral(" ほか%1か所").arg(names.size() - kNamed);
    }
    return QStringLiteral(
               "入力済みの%1か所がMusicBrainzの内容と異なります:\n%2\n\n"
               "OKで入力済みの内容を残します。")
        .arg(names.size())
        .arg(listed);
}

store::AlbumRecord mergeIntoEditedAlbum(Prompter& prompter, const store::AlbumRecord& shown,
                                        const store::AlbumRecord& fetched)
{
    const std::vector<std::string> conflicts = discdata::conflictingFields(shown, fetched);
    const bool overwrite =
        !conflicts.empty() && prompter.informationWithAction(overwriteQuestion(conflicts),
                                                             QStringLiteral("MusicBrainzの内容で置き換える"));
    // The dialog's later songs stay: only the command line's --overwrite
    // empties them.
    return discdata::mergeFetchedAlbum(shown, fetched, overwrite, store::kSongSlots).record;
}

}  // namespace velmora::ui
