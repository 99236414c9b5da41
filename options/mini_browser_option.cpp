// The mini-browser group: two single values and the fixed list of three
// page addresses, "URL_00" to "URL_02".
#include "options/mini_browser_option.h"

#include <cstdio>

#include "options/version_stamp.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Number("DefaultIndex", 1, 0).Before(0xFFFFFFFF).Required(),
    Flag("DownloadParam", 0, false).Required(),
};

constexpr DWORD kUrlBuffer = 259;
const char* const kDefaultUrls[] = {
    "http://www.zelvar.com/zelvar_backoffice",
    "C:/Program Files/Zelvar/QAP/WebPages/home/home.html",
    "",
};

std::string UrlName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "URL_%02u", static_cast<unsigned>(index));
  return name;
}

}  // namespace

MiniBrowserOption::MiniBrowserOption() : OptionGroup("MiniBrowser", kValues) {
  for (int i = 0; i < kUrlCount; ++i) m_urls[i] = kDefaultUrls[i];
}

const CString& MiniBrowserOption::GetURL(int index) {
  GroupLock lock(m_notifier.Lock());
  m_urlBuffer = index >= 0 && index < kUrlCount ? m_urls[index] : CString();
  return m_urlBuffer;
}

void MiniBrowserOption::SetURL(int index, const CString& url) {
  if (index < 0 || index >= kUrlCount) return;
  try {
    GroupLock lock(m_notifier.Lock());
    const bool differs = m_urls[index].Compare(url) != 0;
    m_urls[index] = url;
    if (differs) m_notifier.Changed(Object(), kFirstUrlId + index, lock);
  } catch (...) {
    // Out of memory: the old address stays.
  }
}

bool MiniBrowserOption::Load() {
  return LoadGroup(m_notifier, m_keyName, [this](HKEY key) {
    // Versions 1 and 2 kept the first page under a name no longer read.
    if (const auto major = StoredMajorVersion(); major && (*major == 1 || *major == 2)) {
      RegDeleteValueA(key, "DefaultPage");
    }
    m_values.Load(key);
    for (int i = 0; i < kUrlCount; ++i) {
      const std::string name = UrlName(i);
      CString url;
      if (!ReadText(key, name.c_str(), kUrlBuffer, &url)) {
        url = kDefaultUrls[i];
        WriteText(key, name.c_str(), url);
      }
      m_urls[i] = url;
    }
  });
}

bool MiniBrowserOption::Save() {
  return SaveGroup(m_notifier, m_keyName, [this](HKEY key) {
    if (!m_values.Save(key)) return false;
    for (int i = 0; i < kUrlCount; ++i) WriteText(key, UrlName(i).c_str(), m_urls[i]);
    return true;
  });
}

}  // namespace qap::options
