// The window system's clipboard on the desktop's: the suite's registered
// formats travel under a MIME type of their own ("application/x-qap-" and
// the format's name), so that a copy in one program pastes in another; text
// and file lists under the desktop's own types, so that the desktop's
// programs can read them and drop theirs.
#include "platform/ui/qt/desktop_clipboard.h"

#include <algorithm>
#include <cstring>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/ole/global_memory.h"

namespace ui::qt {

namespace {

constexpr const char* kPrefix = "application/x-qap-";

QString MimeOf(UINT format) {
  if (format == CF_TEXT) return "text/plain";
  if (format == CF_HDROP) return "text/uri-list";
  char name[256];
  int length = GetClipboardFormatNameA(format, name, sizeof name);
  return length > 0 ? kPrefix + QString::fromUtf8(name, length) : QString();
}

UINT FormatOf(const QString& mime) {
  if (mime == "text/plain") return CF_TEXT;
  if (mime == "text/uri-list") return CF_HDROP;
  if (mime.startsWith(kPrefix)) return RegisterClipboardFormatA(mime.mid(int(std::strlen(kPrefix))).toUtf8().constData());
  return 0;
}

// The files of a CF_HDROP block, each as a file URL.
QList<QUrl> UrlsOf(const std::vector<BYTE>& block) {
  QList<QUrl> urls;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  if (memory == nullptr) return urls;
  if (void* bytes = GlobalLock(memory)) {
    std::memcpy(bytes, block.data(), block.size());
    GlobalUnlock(memory);
    auto drop = static_cast<HDROP>(memory);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
      char name[4096];
      if (DragQueryFileA(drop, index, name, sizeof name) > 0) urls.push_back(QUrl::fromLocalFile(name));
    }
  }
  GlobalFree(memory);
  return urls;
}

std::vector<BYTE> BlockOf(const QList<QUrl>& urls) {
  std::vector<std::string> files;
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  }
  std::vector<BYTE> block;
  HDROP drop = ui::ole::CreateHDrop(files, POINT{0, 0}, false);
  if (drop == nullptr) return block;
  if (const auto* bytes = static_cast<const BYTE*>(GlobalLock(drop))) {
    block.assign(bytes, bytes + GlobalSize(drop));
    GlobalUnlock(drop);
  }
  GlobalFree(drop);
  return block;
}

}  // namespace

DesktopClipboard::DesktopClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QObject::connect(clipboard, &QClipboard::dataChanged, [this] {
    // The desktop's own echo of what was just put there changes nothing.
    if (m_settingDesktop) return;
    ui::ole::ClipboardTakenOutside();
  });
  ui::ole::SetClipboardBridge(this);
}

DesktopClipboard::~DesktopClipboard() { ui::ole::SetClipboardBridge(nullptr); }

void DesktopClipboard::OnLocalChange(const std::vector<UINT>& formats) {
  auto* mime = new QMimeData;
  for (UINT format : formats) {
    QString type = MimeOf(format);
    std::vector<BYTE> bytes;
    if (type.isEmpty() || !ui::ole::ReadLocalClipboard(format, &bytes)) continue;
    if (format == CF_HDROP) {
      mime->setUrls(UrlsOf(bytes));
    } else if (format == CF_TEXT) {
      mime->setText(QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<int>(strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()))));
    } else {
      mime->setData(type, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size())));
    }
  }
  m_settingDesktop = true;
  QGuiApplication::clipboard()->setMimeData(mime);
  m_settingDesktop = false;
}

std::vector<UINT> DesktopClipboard::OutsideFormats() {
  std::vector<UINT> formats;
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (mime == nullptr) return formats;
  for (const QString& type : mime->formats()) {
    UINT format = FormatOf(type);
    if (format != 0 && std::find(formats.begin(), formats.end(), format) == formats.end()) {
      formats.push_back(format);
    }
  }
  return formats;
}

bool DesktopClipboard::ReadOutside(UINT format, std::vector<BYTE>* bytes) {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (mime == nullptr) return false;
  if (format == CF_HDROP) {
    if (!mime->hasUrls()) return false;
    *bytes = BlockOf(mime->urls());
    return !bytes->empty();
  }
  if (format == CF_TEXT) {
    if (!mime->hasText()) return false;
    QByteArray text = mime->text().toUtf8();
    bytes->assign(text.begin(), text.end());
    bytes->push_back(0);
    return true;
  }
  QString type = MimeOf(format);
  if (type.isEmpty() || !mime->hasFormat(type)) return false;
  QByteArray data = mime->data(type);
  bytes->assign(data.begin(), data.end());
  return true;
}

}  // namespace ui::qt
