// A link dropped on the agent: an http or https address that the locker
// service fetches into the user's locker itself. The request posts the link,
// with the browser cookies the user holds for its site, to the configured
// XferURL. Its outcome is only logged: its flags never change.
#pragma once

#include "agent/upload_request.h"

class CLinkRequest : public CUploadRequest {
 public:
  // link is kept as the request's path; it has no size to send.
  explicit CLinkRequest(const CString& link);

  void Start(CConnectionManager& manager) override;
};

// A form value with the characters "?=<>& " written as '%' and two
// lower-case hexadecimal digits; every other byte, '%' and '+' among them,
// as it is.
CString EscapeFormValue(const CString& text);
