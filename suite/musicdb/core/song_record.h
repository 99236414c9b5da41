// The song record behind IQAPSongInfo: made empty or from a file by Ansimo,
// and held in bulk by Korvel's containers.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/export.h"
#include "shellfolder/music_db.h"

namespace qap::musicdb {

class QAP_EXPORT SongRecord final : public IQAPSongInfo {
 public:
  void SetPath(const CString& path) override { m_path = path; }
  const CString& GetPath() const override { return m_path; }
  void SetTitle(const CString& title) override { m_title = title; }
  const CString& GetTitle() const override { return m_title; }
  void SetTrackNumber(int track) override { m_track = track; }
  int GetTrackNumber() const override { return m_track; }
  void SetArtist(const CString& artist) override { m_artist = artist; }
  const CString& GetArtist() const override { return m_artist; }
  void SetAlbum(const CString& album) override { m_album = album; }
  const CString& GetAlbum() const override { return m_album; }
  void SetYear(int year) override { m_year = year; }
  int GetYear() const override { return m_year; }
  void SetGenre(const CString& genre) override { m_genre = genre; }
  const CString& GetGenre() const override { return m_genre; }
  void SetDuration(int seconds) override { m_duration = seconds; }
  int GetDuration() const override { return m_duration; }
  void SetId(int id) override { m_id = id; }
  int GetId() const override { return m_id; }
  int Bind(IQAPStorage* storage, int add) override;

  // Every field of another record, whoever made it.
  void Assign(const IQAPSongInfo& other);
  // Every field of this record into another one.
  void CopyTo(IQAPSongInfo* other) const;

 private:
  CString m_path;
  CString m_title;
  CString m_artist;
  CString m_album;
  CString m_genre;
  int m_track = 0;
  int m_year = 0;
  int m_duration = 0;
  int m_id = 0;
};

}  // namespace qap::musicdb
