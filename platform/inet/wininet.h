// HTTP client stand-in shaped like WinINet: an internet session, a server
// connection per host, requests with raw extra headers, sending with a body or
// with a known total size followed by pushed writes, status and raw response
// headers, body reads, URL opening, the URL cracker and the shared cookie
// store. Backed by libcurl; cookies persist in the Netscape cookies.txt format
// at $QAP_COOKIE_JAR (else $XDG_DATA_HOME/qap/cookies.txt).
//
// Results follow WinINet: BOOL or a handle, with the reason in GetLastError().
// QAP_CONNECT_TO (curl's "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT" entries,
// comma-separated) sends a connection for HOST:PORT to another address; the
// request itself still names HOST, so tests and odd deployments can reach a
// service elsewhere while the program speaks to port 80.
#pragma once

#include <cstdint>

#include "platform/base/export.h"
#include "platform/base/last_error.h"
#include "platform/base/win_types.h"

using HINTERNET = void*;
using DWORD_PTR = std::uintptr_t;
using INTERNET_PORT = WORD;

constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;  // proxy from the environment
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

constexpr DWORD INTERNET_SERVICE_HTTP = 3;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;

// Request and connection flags. Connections are always kept alive and reused
// and nothing is cached, so KEEP_CONNECTION, EXISTING_CONNECT and
// NO_CACHE_WRITE are accepted for their shape and change nothing.
constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
constexpr DWORD INTERNET_FLAG_KEEP_CONNECTION = 0x00400000;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;

// Options (DWORD values, milliseconds for the time-outs). A handle takes its
// parent's options when it is created; setting an option changes that handle
// and the handles created from it later. Set on no handle (null), an option
// becomes the default of the sessions opened from then on.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_CONNECT_RETRIES = 3;
constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;

constexpr DWORD HTTP_ADDREQ_FLAG_ADD = 0x20000000;
constexpr DWORD HTTP_ADDREQ_FLAG_REPLACE = 0x80000000;

constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
constexpr DWORD HTTP_QUERY_RAW_HEADERS = 21;
constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;

// Error codes (GetLastError) besides the Win32 ones.
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_INVALID_HEADER = 12153;

enum INTERNET_SCHEME : int {
  INTERNET_SCHEME_UNKNOWN = -1,
  INTERNET_SCHEME_DEFAULT = 0,
  INTERNET_SCHEME_FTP = 1,
  INTERNET_SCHEME_GOPHER = 2,
  INTERNET_SCHEME_HTTP = 3,
  INTERNET_SCHEME_HTTPS = 4,
  INTERNET_SCHEME_FILE = 5,
};

// InternetCrackUrlA flag: decode %XX escapes in the copied components.
constexpr DWORD ICU_DECODE = 0x10000000;

// For each component: length 0 means "not wanted"; a null pointer with a
// non-zero length asks for a pointer into the URL and the component's length;
// a buffer with its size asks for a NUL-terminated copy (too small:
// ERROR_INSUFFICIENT_BUFFER, the length set to the size needed). When the
// extra information (query and fragment) is not wanted, the path keeps it.
struct URL_COMPONENTSA {
  DWORD dwStructSize;
  LPSTR lpszScheme;
  DWORD dwSchemeLength;
  INTERNET_SCHEME nScheme;
  LPSTR lpszHostName;
  DWORD dwHostNameLength;
  INTERNET_PORT nPort;
  LPSTR lpszUserName;
  DWORD dwUserNameLength;
  LPSTR lpszPassword;
  DWORD dwPasswordLength;
  LPSTR lpszUrlPath;
  DWORD dwUrlPathLength;
  LPSTR lpszExtraInfo;
  DWORD dwExtraInfoLength;
};

struct INTERNET_BUFFERSA {
  DWORD dwStructSize;
  INTERNET_BUFFERSA* Next;
  LPCSTR lpcszHeader;
  DWORD dwHeadersLength;
  DWORD dwHeadersTotal;
  LPVOID lpvBuffer;
  DWORD dwBufferLength;
  DWORD dwBufferTotal;
  DWORD dwOffsetLow;
  DWORD dwOffsetHigh;
};

// Status callbacks: called on the thread of the call during which the status
// arises, with the handle, the context value it was opened with and the
// status. A handle opened with context 0 reports nothing. A handle takes its
// parent's callback when it is created, as it takes its options.
using INTERNET_STATUS_CALLBACK = void (*)(HINTERNET handle, DWORD_PTR context, DWORD status,
                                          LPVOID information, DWORD informationLength);
inline const INTERNET_STATUS_CALLBACK INTERNET_INVALID_STATUS_CALLBACK =
    reinterpret_cast<INTERNET_STATUS_CALLBACK>(static_cast<std::intptr_t>(-1));
// Bytes of the request's body went out to the network: information points to
// a DWORD with how many since the last report. Bytes a write only gathered
// are reported when they leave.
constexpr DWORD INTERNET_STATUS_REQUEST_SENT = 31;

// proxy and proxyBypass are used with INTERNET_OPEN_TYPE_PROXY only.
QAP_EXPORT HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                                   DWORD flags);
QAP_EXPORT BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length);
// The previous callback, or INTERNET_INVALID_STATUS_CALLBACK (and
// GetLastError) for a handle that is not open.
QAP_EXPORT INTERNET_STATUS_CALLBACK InternetSetStatusCallbackA(HINTERNET handle,
                                                               INTERNET_STATUS_CALLBACK callback);
// Closing a request, or the session it was made from, cancels what it is
// doing: a call waiting in it on another thread returns at once with
// ERROR_INTERNET_OPERATION_CANCELLED, and so does every later call. Closing
// a connection leaves the requests made from it working until they are
// closed themselves.
QAP_EXPORT BOOL InternetCloseHandle(HINTERNET handle);

// Only INTERNET_SERVICE_HTTP. No network traffic happens here.
QAP_EXPORT HINTERNET InternetConnectA(HINTERNET session, LPCSTR serverName,
                                      INTERNET_PORT serverPort, LPCSTR userName, LPCSTR password,
                                      DWORD service, DWORD flags, DWORD_PTR context);

// acceptTypes: null-terminated list for an "Accept" header, or null for none.
QAP_EXPORT HINTERNET HttpOpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR objectName,
                                      LPCSTR version, LPCSTR referrer, LPCSTR* acceptTypes,
                                      DWORD flags, DWORD_PTR context);
// headers: one or more "Name: value" lines separated by CRLF; length -1 (as a
// DWORD) means NUL-terminated. The block is taken whole or not at all. A
// header the request makes itself (Host, User-Agent, Accept, Cookie,
// Content-Length, Content-Type) is replaced by the caller's; with
// HTTP_ADDREQ_FLAG_REPLACE an earlier added header of that name is replaced
// too.
QAP_EXPORT BOOL HttpAddRequestHeadersA(HINTERNET request, LPCSTR headers, DWORD length,
                                       DWORD modifiers);
// Sends the request with the whole body and returns once the response's
// headers have arrived. Headers given here replace added ones of their name.
QAP_EXPORT BOOL HttpSendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength,
                                 LPVOID optional, DWORD optionalLength);
// Starts a request whose body (buffersIn->dwBufferTotal bytes) follows through
// InternetWriteFile and ends with HttpEndRequestA. Writes are gathered (about
// 64 KiB) before they go out, so small writes cost no more than large ones;
// INTERNET_STATUS_REQUEST_SENT tells when they have gone. A failure of the
// transfer surfaces at the next write or at the end call, with the error
// that first stopped it.
QAP_EXPORT BOOL HttpSendRequestExA(HINTERNET request, INTERNET_BUFFERSA* buffersIn,
                                   INTERNET_BUFFERSA* buffersOut, DWORD flags, DWORD_PTR context);
QAP_EXPORT BOOL InternetWriteFile(HINTERNET request, LPCVOID buffer, DWORD count, LPDWORD written);
// Fails when fewer bytes were written than announced.
QAP_EXPORT BOOL HttpEndRequestA(HINTERNET request, INTERNET_BUFFERSA* buffersOut, DWORD flags,
                                DWORD_PTR context);
// HTTP_QUERY_STATUS_CODE (with HTTP_QUERY_FLAG_NUMBER: a DWORD, else decimal
// text) is 0 before the response arrived. HTTP_QUERY_RAW_HEADERS gives the
// status line and the header lines, each ended by a zero byte, then one more
// zero byte; *length receives the bytes written without that last one, or the
// size needed with ERROR_INSUFFICIENT_BUFFER. Before a response has arrived
// there are no raw headers (ERROR_HTTP_HEADER_NOT_FOUND).
QAP_EXPORT BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD length,
                               LPDWORD index);
// Reads until count bytes or the end of the body; *read 0 means the end.
QAP_EXPORT BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD count, LPDWORD read);
// GET of an http or https URL (its own port is used); returns after the
// response's headers have arrived, whatever its status.
QAP_EXPORT HINTERNET InternetOpenUrlA(HINTERNET session, LPCSTR url, LPCSTR headers,
                                      DWORD headersLength, DWORD flags, DWORD_PTR context);

// length 0: NUL-terminated. Fails with ERROR_INTERNET_UNRECOGNIZED_SCHEME
// without a "scheme:" prefix and ERROR_INTERNET_INVALID_URL for a malformed
// network URL (no host, bad port).
QAP_EXPORT BOOL InternetCrackUrlA(LPCSTR url, DWORD length, DWORD flags,
                                  URL_COMPONENTSA* components);

// The cookies the store holds for url, as "name=value" pairs joined by "; ",
// or with cookieName the value of that one cookie. *size: buffer size in,
// length written (without the NUL) out; too small: ERROR_INSUFFICIENT_BUFFER
// and the size needed with the NUL; none: ERROR_NO_MORE_ITEMS.
QAP_EXPORT BOOL InternetGetCookieA(LPCSTR url, LPCSTR cookieName, LPSTR data, LPDWORD size);
