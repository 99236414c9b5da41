// Fuzz target: a type library (an interface description file), loaded as
// the agent loads its own and as a client loads a class's: checked, then
// every member looked up by its dispatch identifier and by its names as an
// automation client asks for them, and the file registered, loaded back
// through the registry and unregistered.
#include "platform/automation/type_library.h"

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/base/codepage.h"

using qap::automation::TypeInterface;
using qap::automation::TypeLibraryPtr;
using qap::automation::TypeMember;

namespace {

void LookUp(const TypeInterface& entry) {
  for (const TypeMember& member : entry.members) {
    if (entry.FindDispId(member.dispId) == nullptr)
      qap::fuzz::Fail("a member is not found by its dispatch identifier");
    if (entry.FindName(member.name) == nullptr) qap::fuzz::Fail("a member is not found by name");
    member.InSignature();
    member.OutSignature();
    member.Result();
    std::vector<std::u16string> names{AnsiToWide(member.name)};
    for (const auto& argument : member.arguments) {
      if (!argument.out) names.push_back(AnsiToWide(argument.name));
    }
    std::vector<LPOLESTR> pointers;
    for (std::u16string& name : names) pointers.push_back(name.data());
    std::vector<DISPID> ids(names.size());
    if (FAILED(
            entry.GetIDsOfNames(pointers.data(), static_cast<UINT>(pointers.size()), ids.data())))
      qap::fuzz::Fail("a member's own names are unknown to it");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = qap::fuzz::WriteInput("LBAgent2.tlb", qap::fuzz::Bytes(data, size));
  TypeLibraryPtr library;
  std::string error;
  if (FAILED(qap::automation::LoadTypeLibrary(path, &library, &error))) {
    if (error.empty()) qap::fuzz::Fail("a refused library without a reason");
    return 0;
  }
  library->DefaultInterface();
  for (const TypeInterface& entry : library->interfaces) {
    if (library->Find(entry.iid) == nullptr)
      qap::fuzz::Fail("an interface is not found by its iid");
    LookUp(entry);
  }
  if (SUCCEEDED(qap::automation::RegisterTypeLibrary(path))) {
    TypeLibraryPtr registered;
    if (FAILED(qap::automation::LoadRegisteredTypeLibrary(library->libId, library->major,
                                                          library->minor, &registered)))
      qap::fuzz::Fail("a registered library cannot be loaded back");
    qap::automation::UnRegisterTypeLib(library->libId, library->major, library->minor);
  }
  return 0;
}
