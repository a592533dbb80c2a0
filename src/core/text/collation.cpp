#include "core/text/collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <stdexcept>

#include "core/text/cp932.h"

namespace velmora::text {

struct JapaneseCollator::Impl {
    UCollator* collator = nullptr;
};

JapaneseCollator::JapaneseCollator() : impl_(new Impl)
{
    UErrorCode status = U_ZERO_ERROR;
    impl_->collator = ucol_open("ja", &status);
    if (U_FAILURE(status)) {
        delete impl_;
        throw std::runtime_error("cannot open the Japanese collator");
    }
    ucol_setStrength(impl_->collator, UCOL_TERTIARY);
}

JapaneseCollator::~JapaneseCollator()
{
    ucol_close(impl_->collator);
    delete impl_;
}

std::string JapaneseCollator::sortKey(std::string_view cp932) const
{
    std::u16string text = toUnicode(cp932);
    const auto* chars = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::string key(64, '\0');
    int32_t needed = ucol_getSortKey(impl_->collator, chars, length, reinterpret_cast<uint8_t*>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(needed));
        needed = ucol_getSortKey(impl_->collator, chars, length, reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
    }
    // The key ends with a zero byte that takes no part in the order.
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
}

int JapaneseCollator::compare(std::string_view a, std::string_view b) const
{
    std::u16string ua = toUnicode(a);
    std::u16string ub = toUnicode(b);
    return ucol_strcoll(impl_->collator, reinterpret_cast<const UChar*>(ua.data()),
                        static_cast<int32_t>(ua.size()), reinterpret_cast<const UChar*>(ub.data()),
                        static_cast<int32_t>(ub.size()));
}

std::u16string foldCase(std::string_view cp932)
{
    std::u16string text = toUnicode(cp932);
    std::u16string folded(text.size(), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length =
        u_strFoldCase(reinterpret_cast<UChar*>(folded.data()), static_cast<int32_t>(folded.size()),
                      reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                      U_FOLD_CASE_DEFAULT, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        folded.resize(static_cast<std::size_t>(length));
        status = U_ZERO_ERROR;
        length = u_strFoldCase(reinterpret_cast<UChar*>(folded.data()), length,
                               reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                               U_FOLD_CASE_DEFAULT, &status);
    }
    folded.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return U_SUCCESS(status) ? folded : text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a == b || foldCase(a) == foldCase(b);
}

}  // namespace velmora::text
