// Type libraries: the description of an automation object's interfaces,
// kept as a D-Bus introspection document whose annotations carry what COM
// keeps in a type library (identifiers, version, dispatch identifiers, which
// interface is the event source), and their registration under
// HKEY_CLASSES_ROOT\TypeLib.
//
// Annotations (prefix org.qap.TypeLib.): on the node Id, Version ("1.0"),
// HelpString, BusName (the well-known name of the serving process) and
// CoClass (the class served at the node's path); on an interface Iid and
// Source ("true" for an event interface, whose members are signals); on a
// method or signal DispId and, for a method whose only out argument is a
// boolean, SuccessResult ("true": the boolean tells whether the call
// succeeded, rather than failing it).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/export.h"
#include "platform/com/dispatch.h"

namespace qap::automation {

struct TypeArgument {
  std::string name;
  char type;  // one D-Bus type code: s, i, n, u, q, y, b or v
  bool out;
};

struct QAP_EXPORT TypeMember {
  std::string name;
  DISPID dispId = DISPID_UNKNOWN;
  std::vector<TypeArgument> arguments;
  bool successResult = false;

  std::string InSignature() const;
  std::string OutSignature() const;
  UINT InCount() const;
  // The out argument, or null.
  const TypeArgument* Result() const;
};

struct QAP_EXPORT TypeInterface {
  std::string name;  // the D-Bus interface name
  IID iid{};
  bool source = false;
  std::vector<TypeMember> members;

  const TypeMember* FindDispId(DISPID dispId) const;
  // Case-insensitive, as automation names are.
  const TypeMember* FindName(std::string_view memberName) const;
  // IDispatch::GetIDsOfNames over this interface: names[0] is a member,
  // the others that member's in arguments (numbered from 0). Unknown names
  // get DISPID_UNKNOWN and make the result DISP_E_UNKNOWNNAME.
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* dispIds) const;
};

struct QAP_EXPORT TypeLibrary {
  std::string path;  // the file it was read from
  GUID libId{};
  WORD major = 0;
  WORD minor = 0;
  std::string helpString;
  std::string busName;
  std::string objectPath;
  CLSID coClass{};
  std::vector<TypeInterface> interfaces;

  const TypeInterface* Find(REFIID iid) const;
  // The first interface that is not an event source: what the class's
  // IDispatch serves.
  const TypeInterface* DefaultInterface() const;
};

using TypeLibraryPtr = std::shared_ptr<const TypeLibrary>;

// Reads and checks a description file (a program path). TYPE_E_CANTLOADLIBRARY
// when it cannot be read or is not a well-formed description; error (may be
// null) then says why.
QAP_EXPORT HRESULT LoadTypeLibrary(const std::string& path, TypeLibraryPtr* library,
                                   std::string* error = nullptr);
// Records the file under HKEY_CLASSES_ROOT\TypeLib\{id}\<major>.<minor>
// (default value the help string; "0\win32" the path; "FLAGS" "0";
// "HELPDIR" the file's folder).
QAP_EXPORT HRESULT RegisterTypeLibrary(const std::string& path);
// Removes that version's key, and the library's key when no version is
// left. TYPE_E_REGISTRYACCESS when it was not registered.
QAP_EXPORT HRESULT UnRegisterTypeLib(REFGUID libId, WORD major, WORD minor);
// The registered file of that version, loaded. TYPE_E_LIBNOTREGISTERED when
// there is none.
QAP_EXPORT HRESULT LoadRegisteredTypeLibrary(REFGUID libId, WORD major, WORD minor,
                                             TypeLibraryPtr* library);
// The type library of a registered class (its CLSID key's TypeLib, newest
// registered version), which must describe that class. REGDB_E_CLASSNOTREG
// when the class or its library is not registered.
QAP_EXPORT HRESULT TypeLibraryOfClass(REFCLSID clsid, TypeLibraryPtr* library);

}  // namespace qap::automation
