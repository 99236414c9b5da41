// The genre-preference group (key "Jukemind"): the genres with their ids,
// names and preference values, and the tend-to-prefer number that the
// player's automatic track selection uses.
#pragma once

#include <vector>

#include "options/option_group.h"

namespace qap::options {

class JukemindOption final : public OptionGroup<IJukemindOption> {
 public:
  JukemindOption();

  DWORD GetGenresCount() override { return m_count.load(std::memory_order_relaxed); }
  DWORD GetGenreID(int index) override;
  void SetGenreID(int index, DWORD id) override;
  const CString& GetGenreName(int index) override;
  void SetGenreName(int index, const CString& name) override;
  DWORD GetGenreValue(int index) override;
  void SetGenreValue(int index, DWORD value) override;
  DWORD GetTENDtoPREFER() override { return m_values.Number(kTendToPrefer); }
  void SetTENDtoPREFER(DWORD value) override { m_values.SetNumber(kTendToPrefer, value); }
  bool StampVersion() override;

  bool Load();
  bool Save();

 private:
  enum : DWORD { kTendToPrefer = 0, kIdBase = 1000, kValueBase = 2000, kNameBase = 3000 };

  struct Genre {
    DWORD id = 0;
    CString name;
    DWORD value = 0;
  };

  bool InList(int index) const { return index >= 0 && static_cast<size_t>(index) < m_genres.size(); }
  void SetNumber(int index, DWORD Genre::*member, DWORD value, DWORD valueIdBase);
  void LoadGenres(HKEY key);

  std::atomic<DWORD> m_count;
  std::vector<Genre> m_genres;
  CString m_nameBuffer;  // what GetGenreName hands out
};

}  // namespace qap::options
