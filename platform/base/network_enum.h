// Windows networking's enumeration of network resources (mpr's WNetOpenEnum,
// WNetEnumResource, WNetCloseEnum), over what this machine can reach: the
// servers of the share table and of the mounted network file systems, as
// containers, with their shares below. One provider, no domains.
//
// Scopes: RESOURCE_CONTEXT lists the servers; RESOURCE_GLOBALNET lists the
// network itself (one container) without a resource, the servers below the
// network, and a server's shares below a server ("\\server"). Entries are
// taken when the enumeration opens; each WNetEnumResourceA call copies as
// many as fit (records first, their texts packed at the end of the buffer),
// ERROR_MORE_DATA with the size needed when not even one fits, and
// ERROR_NO_MORE_ITEMS once all were given. A server that is not there is
// ERROR_BAD_NET_NAME, a resource that holds nothing ERROR_NOT_CONTAINER.
#pragma once

#include "platform/base/export.h"
#include "platform/base/last_error.h"
#include "platform/base/win_types.h"

constexpr DWORD RESOURCE_CONNECTED = 0x00000001;
constexpr DWORD RESOURCE_GLOBALNET = 0x00000002;
constexpr DWORD RESOURCE_REMEMBERED = 0x00000003;
constexpr DWORD RESOURCE_CONTEXT = 0x00000005;

constexpr DWORD RESOURCETYPE_ANY = 0x00000000;
constexpr DWORD RESOURCETYPE_DISK = 0x00000001;
constexpr DWORD RESOURCETYPE_PRINT = 0x00000002;

constexpr DWORD RESOURCEUSAGE_CONNECTABLE = 0x00000001;
constexpr DWORD RESOURCEUSAGE_CONTAINER = 0x00000002;
constexpr DWORD RESOURCEUSAGE_ALL = 0x00000013;

constexpr DWORD RESOURCEDISPLAYTYPE_GENERIC = 0;
constexpr DWORD RESOURCEDISPLAYTYPE_DOMAIN = 1;
constexpr DWORD RESOURCEDISPLAYTYPE_SERVER = 2;
constexpr DWORD RESOURCEDISPLAYTYPE_SHARE = 3;
constexpr DWORD RESOURCEDISPLAYTYPE_NETWORK = 6;

constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_BAD_NET_NAME = 67;
constexpr DWORD ERROR_NOT_CONTAINER = 1207;

struct NETRESOURCEA {
  DWORD dwScope;
  DWORD dwType;
  DWORD dwDisplayType;
  DWORD dwUsage;
  LPSTR lpLocalName;
  LPSTR lpRemoteName;
  LPSTR lpComment;
  LPSTR lpProvider;
};
using LPNETRESOURCEA = NETRESOURCEA*;

// The provider's name, as entries carry it.
inline constexpr const char* kNetworkProviderName = "QAP Network";

QAP_EXPORT DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEA resource,
                               HANDLE* enumeration);
// *count: how many entries are wanted (0xFFFFFFFF: as many as fit); on
// return how many were copied.
QAP_EXPORT DWORD WNetEnumResourceA(HANDLE enumeration, DWORD* count, void* buffer,
                                   DWORD* bufferSize);
QAP_EXPORT DWORD WNetCloseEnum(HANDLE enumeration);
