// The mini-browser group (key "MiniBrowser"): the three pages of the
// player's small web view and which of them shows first.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class MiniBrowserOption final : public OptionGroup<IMiniBrowserOption> {
 public:
  MiniBrowserOption();

  bool GetDownloadParam() override { return m_values.Flag(kDownloadParam); }
  void SetDownloadParam(bool value) override { m_values.SetFlag(kDownloadParam, value); }
  DWORD GetDefaultIndex() override { return m_values.Number(kDefaultIndex); }
  void SetDefaultIndex(DWORD value) override { m_values.SetNumber(kDefaultIndex, value); }
  DWORD GetURLCount() override { return kUrlCount; }
  const CString& GetURL(int index) override;
  void SetURL(int index, const CString& url) override;

  bool Load();
  bool Save();

 private:
  enum : DWORD { kDownloadParam = 0, kDefaultIndex = 1, kFirstUrlId = 1000 };
  static constexpr int kUrlCount = 3;

  CString m_urls[kUrlCount];
  CString m_urlBuffer;  // what GetURL hands out
};

}  // namespace qap::options
