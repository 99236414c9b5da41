// The fuzz targets' shared start: the scratch environment is in place before
// libFuzzer hands over the first input.
#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace qap::fuzz {
namespace {

qap::testing::ScratchDir* root = nullptr;

}  // namespace

const qap::testing::ScratchDir& Scratch() {
  if (root == nullptr) {
    root = new qap::testing::ScratchDir;
    qap::testing::UseScratchRuntimeFiles(*root);
    std::atexit([] { delete root; });
  }
  return *root;
}

std::string WriteInput(const std::string& name, std::string_view bytes) {
  const std::string path = Scratch().File(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail("cannot write the input to " + path);
  return path;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace qap::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qap::fuzz::Scratch();
  return 0;
}
