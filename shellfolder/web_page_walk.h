// Walking the web view's page: every element from the root down through
// its children (comments passed over), to find the page's list control and
// to put the folder's name in place of the template's token.
#pragma once

#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/shell/web_browser_interfaces.h"
#include "shellfolder/view_interfaces.h"

// The control of the first OBJECT element whose class identifier is the
// classic view's; null when the page has none (or it is not made yet).
ComPtr<IMp3DbClassicView> FindListControl(IHTMLDocument2* document);
// Puts folderText in place of the token in every element whose inner HTML
// holds it outside a comment. Children go before their parent, so each
// token is replaced in the innermost element holding it and a parent is
// rewritten only for a token of its own. Answers how many elements were
// rewritten.
int ReplaceTokenInPage(IHTMLDocument2* document, std::string_view folderText);
