// The web view's page template: where it lies beside the module, and the
// folder's name put in place of the template's token. Folder names come
// from song tags, so they go into the page as text, escaped for HTML, never
// as markup.
#pragma once

#include <string>
#include <string_view>

inline constexpr char16_t kPathToken[] = u"%THISMP3DBPATH%";
// What stands for the folder until the page's list control tells its path.
inline constexpr char kDefaultPageFolder[] = "Mp3Db Path";

// The module's folder (up to and including its last separator) and
// "Mp3Db.HTT".
std::string TemplatePathOf(std::string_view modulePath);
// The list control's current path as the page shows it: the part after
// its last "/" when it holds one.
std::string PageFolderText(std::string_view currentPath);
// Replaces every token in html outside its comments with the folder's
// name (system code page), escaped; false, leaving html as it was, when no
// such token is there.
bool ReplacePathToken(std::u16string* html, std::string_view folderText);
