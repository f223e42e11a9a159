#include "services/web_links.h"

namespace vellix {

std::u16string_view HomePageAddress() { return u"https://vellix.example.org/"; }

std::u16string_view ForumAddress() { return u"https://vellix.example.org/forum/"; }

std::u16string_view SupportAddress() { return u"https://vellix.example.org/support/"; }

std::u16string_view NewsFeedAddress(bool russian) {
  return russian ? u"https://vellix.example.org/ru/news/" : u"https://vellix.example.org/en/news/";
}

std::u16string_view SocialPageAddress() { return u"https://social.example.org/vellix"; }

std::u16string_view ProductPageAddress(int index) {
  switch (index) {
    case 0: return u"https://vellix.example.org/products/notes/";
    case 1: return u"https://vellix.example.org/products/clips/";
    case 2: return u"https://vellix.example.org/products/timer/";
    default: return HomePageAddress();
  }
}

std::u16string_view EncyclopediaAddress(bool russian) {
  return russian ? u"https://encyclopedia.example.org/ru/wiki/Encyclopedia"
                 : u"https://encyclopedia.example.org/en/wiki/Encyclopedia";
}

}  // namespace vellix
