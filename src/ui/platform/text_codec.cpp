#include "ui/platform/text_codec.h"

#include "core/text/cp932.h"

namespace velmora::ui {

namespace {

std::optional<std::string> finish(const text::EncodeResult& result, QString* problem)
{
    if (result.ok) {
        return result.bytes;
    }
    if (problem) {
        char32_t c = result.badChar;
        QString hex = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        *problem = QStringLiteral("「%1」(U+%2) は保存できない文字です。").arg(QString::fromUcs4(&c, 1), hex);
    }
    return std::nullopt;
}

std::u16string_view view(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

QString fromCp932(std::string_view bytes)
{
    std::u16string decoded = text::toUnicode(bytes);
    return QString::fromUtf16(decoded.data(), static_cast<qsizetype>(decoded.size()));
}

std::optional<std::string> toCp932(const QString& text, QString* problem)
{
    return finish(text::fromUnicode(view(text)), problem);
}

std::optional<std::string> toCp932Preserving(std::string_view original, const QString& text, QString* problem)
{
    return finish(text::fromUnicodePreserving(original, view(text)), problem);
}

}  // namespace velmora::ui
