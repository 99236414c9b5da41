// CPathPickerCtrl: a tree of the local drives, their folders and the
// network ("Look around"), filled as branches are expanded, that knows the
// path of its selection.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/base/network_enum.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/framework/cwnd.h"

class CPathPickerCtrl : public CWnd {
 public:
  CPathPickerCtrl() = default;
  ~CPathPickerCtrl() override;
  CPathPickerCtrl(const CPathPickerCtrl&) = delete;
  CPathPickerCtrl& operator=(const CPathPickerCtrl&) = delete;

  // Takes the dialog's tree control and gives it the picker's images.
  bool Attach(HWND tree);
  // The roots afresh: every drive of a known kind, then "Look around".
  void PopulateTree();
  // The tree's notifications, handed on by its parent; true when handled.
  bool OnNotify(const NMHDR* header, LRESULT* result);

  // Drive C, folder Music, subfolder Rock give C:\Music\Rock\ ; folder F of
  // share S on server V gives \\V\S\F\ .
  std::string ItemPath(HTREEITEM item) const;
  const std::string& CurrentPath() const { return m_currentPath; }

 private:
  // A network resource record with texts of its own.
  struct NetworkRecord {
    explicit NetworkRecord(const NETRESOURCEA& from);
    NETRESOURCEA record{};
    std::string localName, remoteName, comment, provider;
  };

  HTREEITEM InsertPathItem(HTREEITEM parent, const NETRESOURCEA* record, const std::string& text,
                           int image, int selectedImage = -1);
  void PopulateItem(HTREEITEM item, const std::string& path);
  bool ListFolder(HTREEITEM item, const std::string& path);
  bool EnumerateNetwork(HTREEITEM item, const NETRESOURCEA* below);
  const NETRESOURCEA* RecordOf(HTREEITEM item) const;
  void OnExpanding(HTREEITEM item);

  HIMAGELIST m_images = nullptr;
  HTREEITEM m_lookAround = nullptr;
  std::string m_currentPath;
  std::map<HTREEITEM, std::unique_ptr<NetworkRecord>> m_records;
};
