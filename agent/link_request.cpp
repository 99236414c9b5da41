// The link request's start and the escaping of its form values.
#include "agent/link_request.h"

#include <cstdio>
#include <cstring>

#include "agent/connection_manager.h"

CLinkRequest::CLinkRequest(const CString& link) : CUploadRequest(link) {
  // The link is no local file, whatever the file system says of its name.
  m_totalBytes = 0;
}

void CLinkRequest::Start(CConnectionManager& manager) { manager.TransferLink(*this); }

CString EscapeFormValue(const CString& text) {
  std::string out;
  for (char c : text.str()) {
    if (c != '\0' && std::strchr("?=<>& ", c) != nullptr) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%.2x", static_cast<unsigned char>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return CString(out);
}
