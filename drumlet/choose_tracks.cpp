// The file-open dialog of the dialogs' "Add" button.
#include "drumlet/choose_tracks.h"

#include <cstring>

#include "platform/base/paths.h"
#include "platform/ui/commdlg.h"

namespace drumlet {
namespace {

constexpr DWORD kChosenFilesSize = 64 * 1024;

// The files of a multiple-selection answer: one full path, or the folder
// followed by the names, each ended by a zero, the list by two.
std::vector<std::string> ChosenFiles(const std::vector<char>& answer) {
  std::vector<std::string> files;
  const char* first = answer.data();
  const char* next = first + std::strlen(first) + 1;
  if (*next == '\0') {
    if (*first != '\0') files.emplace_back(first);
    return files;
  }
  const std::string folder = AppendSeparator(first);
  for (; *next != '\0'; next += std::strlen(next) + 1) files.push_back(folder + next);
  return files;
}

}  // namespace

std::vector<std::string> ChooseTrackFiles(HWND owner, const std::string& readerFilter) {
  std::vector<char> answer(kChosenFilesSize, '\0');
  const std::string filter = ui::FilterFromBars(readerFilter);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.data();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = answer.data();
  ofn.nMaxFile = kChosenFilesSize;
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&ofn)) return {};
  return ChosenFiles(answer);
}

}  // namespace drumlet
