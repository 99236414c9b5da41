// The web view's template path and token replacement.
#include "shellfolder/page_template.h"

#include "platform/base/codepage.h"
#include "platform/base/html_text.h"
#include "platform/base/paths.h"

namespace {

constexpr std::u16string_view kCommentStart = u"<!--";
constexpr std::u16string_view kCommentEnd = u"-->";

}  // namespace

std::string TemplatePathOf(std::string_view modulePath) {
  return SplitPath(modulePath).folder + "Mp3Db.HTT";
}

std::string PageFolderText(std::string_view currentPath) {
  const size_t slash = currentPath.rfind('/');
  return std::string(slash == std::string_view::npos ? currentPath : currentPath.substr(slash + 1));
}

bool ReplacePathToken(std::u16string* html, std::string_view folderText) {
  const std::u16string_view token(kPathToken);
  const std::u16string escaped = AnsiToWide(HtmlEscape(folderText));
  std::u16string out;
  bool replaced = false;
  size_t from = 0;
  while (from < html->size()) {
    const size_t comment = html->find(kCommentStart, from);
    const size_t end = comment == std::u16string::npos ? html->size() : comment;
    // The text before the next comment, tokens replaced.
    for (size_t at = html->find(token, from); at != std::u16string::npos && at < end;
         at = html->find(token, from)) {
      if (at + token.size() > end) break;
      out.append(*html, from, at - from);
      out += escaped;
      from = at + token.size();
      replaced = true;
    }
    out.append(*html, from, end - from);
    if (comment == std::u16string::npos) break;
    // The comment as it is.
    const size_t close = html->find(kCommentEnd, comment + kCommentStart.size());
    const size_t after = close == std::u16string::npos ? html->size() : close + kCommentEnd.size();
    out.append(*html, comment, after - comment);
    from = after;
  }
  if (replaced) *html = std::move(out);
  return replaced;
}
