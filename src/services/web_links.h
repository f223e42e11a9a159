#pragma once
// The maker's web addresses, one operation per role. Every address of the program is
// written here and nowhere else.

#include <string_view>

namespace vellix {

std::u16string_view HomePageAddress();
std::u16string_view ForumAddress();
std::u16string_view SupportAddress();
std::u16string_view NewsFeedAddress(bool russian);
std::u16string_view SocialPageAddress();
// The pages of the maker's three other products, index 0 to 2; the home page otherwise.
inline constexpr int kOtherProductCount = 3;
inline constexpr int kNotesProductPage = 0;
inline constexpr int kClipProductPage = 1;
inline constexpr int kTimerProductPage = 2;
std::u16string_view ProductPageAddress(int index);
// The encyclopedia article of the typed-characters row, Russian edition or English.
std::u16string_view EncyclopediaAddress(bool russian);

}  // namespace vellix
