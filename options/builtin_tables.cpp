// The built-in genre names and themes. The spellings ("meta;", "idealy",
// "hip-ho", the two blanks of theme 11) are the product's and stay.
#include "options/builtin_tables.h"

#include "platform/base/codepage.h"

namespace qap::options {
namespace {

const char* const kGenreNames[kBuiltInGenreCount] = {
    "Rock/Pop", "Soul/R&B", "Rap/Hip-hop", "Alternative", "Dance",    "Country",
    "Reggae/Ska", "Blues",  "Jazz",        "Classical",   "World",    "Soundtracks",
};

const char* const kThemeNames[kBuiltInThemeCount] = {
    "Angry Women:Assertive females with agendas",
    "Classic Rock: need we say more?",
    "Cool Job: high tech workplace wallpaper",
    "Dad's Choice: beautiful soothing sounds to relax by",
    "Doom & Gloom: indulge that morbid obsession",
    "Driving tunes: Take the neighbor for a ride",
    "Mondo, the bizarre: deranged and uncategorizable",
    "Motivate: get up and go tunes for the action-packed life",
    "Party On: Let the good times roll",
    "Pretty Boys: take them at face value",
    "Romantic: music for snogging",
    "Sexy Girls:  Nicely packaged and danceable",
    "Xtreme: fuel injected sonic aggression for high speed use",
};

// Theme 7's description has an en dash (U+2013) between these two parts.
constexpr DWORD kDashedTheme = 7;
const char* const kDashedBefore = "get up and go tunes for the action-packed life ";
const char* const kDashedAfter =
    " proactive themes from \"Whip It\" to \"That's Life\" to \"There's No Business Like Show "
    "Business\"";

const char* const kThemeDescriptions[kBuiltInThemeCount] = {
    "rock, R&B, pop, country selections",
    "the biggest hits of the '60 and '70s",
    "mostly instrumental! House, dub, trance, trip hop etc.",
    "jazz and classical as well as A/C, mood music, new age, muzak and kitsch",
    "goth, black meta;, horror-industrial",
    "idealy a place where rock, hip hop and electronica meet",
    "may incorporate experimental/avant-garde, punk, noise, spoken word, surreptitious phone "
    "recordings and albums made by politicians or actors",
    nullptr,
    "club music, upbeat electronic sounds, pop/dance hits",
    "boy bands, pop metal, alterna-poseurs",
    "barry White to Primal Scream",
    "pop, rock, R&B, hip-ho",
    "metal, thrash, punk, pain jazz",
};

}  // namespace

CString BuiltInGenreName(DWORD index) {
  return index < kBuiltInGenreCount ? kGenreNames[index] : "";
}

CString BuiltInThemeName(DWORD index) {
  return index < kBuiltInThemeCount ? kThemeNames[index] : "";
}

CString BuiltInThemeDescription(DWORD index) {
  if (index == kDashedTheme) {
    // The dash is whatever the system code page makes of it: the byte 0x96
    // under Windows-1252.
    return CString(kDashedBefore) + WideToAnsi(u"\u2013").c_str() + kDashedAfter;
  }
  return index < kBuiltInThemeCount ? kThemeDescriptions[index] : "";
}

}  // namespace qap::options
