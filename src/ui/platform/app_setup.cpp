#include "ui/platform/app_setup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

// The icons are compiled into the static UI library; they must be
// registered by name before first use.
static void initResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora::ui {

namespace {

// Installed Japanese fonts, best first.
QStringList japaneseFamilies(bool monospace)
{
    const QStringList proportional = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                                      QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic"),
                                      QStringLiteral("TakaoPGothic")};
    const QStringList fixed = {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                               QStringLiteral("VL Gothic"), QStringLiteral("Noto Sans CJK JP")};
    QStringList installed;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : monospace ? fixed : proportional) {
        if (families.contains(family, Qt::CaseInsensitive)) {
            installed << family;
        }
    }
    return installed;
}

}  // namespace

void prepareEnvironment()
{
    if (!qEnvironmentVariableIsEmpty("LC_ALL")) {
        return;
    }
    const QString time = qEnvironmentVariable("LC_TIME", qEnvironmentVariable("LANG"));
    if (!time.startsWith(QStringLiteral("ja"))) {
        qputenv("LC_TIME", "ja_JP.UTF-8");
    }
}

void setUpApplication(QApplication& app)
{
    initResources();
    // No display name is set: Qt would append it to every window title,
    // and the windows carry their own captions.
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora.svg")));

    // Qt's own dialogs and buttons in Japanese, whatever the system locale:
    // dates and file types in the file dialogs follow the default locale,
    // Qt's texts its Japanese catalogue, and our own catalogue fills the
    // texts Qt's lacks (installed first, so Qt's is asked first).
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/translations/velmora_qt_ja.qm"))) {
        QApplication::installTranslator(own);
    }
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }

    // Windows font names stay as stored but are drawn with an installed
    // Japanese font; without this, fontconfig picks a Latin font.
    const QStringList gothic = japaneseFamilies(false);
    const QStringList mono = japaneseFamilies(true);
    for (const char* name :
         {"ＭＳ Ｐゴシック", "MS PGothic", "ＭＳ ゴシック", "MS Gothic", "ＭＳ Ｐ明朝", "ＭＳ 明朝",
          "MS UI Gothic", "メイリオ", "Meiryo", "Meiryo UI", "ＭＳ ＵＩ ゴシック"}) {
        QString family = QString::fromUtf8(name);
        QFont::insertSubstitutions(
            family, family.contains(QStringLiteral("Ｐ")) || !family.contains(QStringLiteral("ゴシック"))
                        ? gothic
                        : mono);
    }
    if (!gothic.isEmpty()) {
        QFont font(gothic.first(), 9);
        QApplication::setFont(font);
    }
}

}  // namespace velmora::ui
