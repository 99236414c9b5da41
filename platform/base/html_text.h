// Text put into an HTML page as text: the characters that would start
// markup, an entity or end an attribute are written as entities.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/export.h"

// & < > " and ' as &amp; &lt; &gt; &quot; &#39;; every other byte as it is.
QAP_EXPORT std::string HtmlEscape(std::string_view text);
