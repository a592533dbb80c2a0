// Web searches for the album being edited: the query of the chosen fields
// placed between a site's address head and tail.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::websearch {

inline constexpr int kItemCount = 6;

// The chosen fields (CP932), each followed by one space. A field that is
// not available (no song row selected) adds nothing, not even its space.
std::string searchQuery(const std::array<bool, kItemCount>& flags,
                        const std::array<std::optional<std::string>, kItemCount>& fields);

// The address to open (UTF-8): head + query + tail. Head and tail are the
// site's own text; the query is percent-encoded as UTF-8, so spaces, "&"
// and line breaks in catalogue text cannot break the address.
std::string searchAddress(std::string_view head, std::string_view query, std::string_view tail);

// Percent-encoding of UTF-8 text: everything but letters, digits and
// "-_.~" becomes %XX.
std::string percentEncode(std::string_view utf8);

}  // namespace velmora::websearch
