// Catalogue bytes (CP932) <-> Qt text, at the window boundary only.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::ui {

QString fromCp932(std::string_view bytes);

// Nothing when a character has no CP932 form; `problem` then gets a
// Japanese message that names it.
std::optional<std::string> toCp932(const QString& text, QString* problem = nullptr);

// An edit of `original`: unchanged characters keep their bytes.
std::optional<std::string> toCp932Preserving(std::string_view original, const QString& text,
                                             QString* problem = nullptr);

// UTF-8 text of the core (messages, paths) as Qt text.
// A file name from a dialog as a path in the file system's encoding.
inline std::filesystem::path fileSystemPath(const QString& name)
{
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace velmora::ui
