// Hosting a converter component: the module is loaded with dlopen and
// reached only through its three exports, as the transfer layer does.
#pragma once

#include <memory>
#include <string>

#include "converters/converter.h"

struct ConverterDestroyer {
  void operator()(Converter* converter) const { converter->Destroy(0); }
};
// Owns a converter object; it must go before the module that made it.
using ConverterPtr = std::unique_ptr<Converter, ConverterDestroyer>;

// Ends the object now, with Destroy's result: a writer whose output could
// not be completed answers -1, the reason in the thread's last error.
inline std::int32_t DestroyConverter(ConverterPtr& converter) {
  return converter ? converter.release()->Destroy(0) : kConvSuccess;
}

class ComponentModule {
 public:
  // Loads the module file; Loaded() and Error() tell how that went.
  explicit ComponentModule(const std::string& path);
  ~ComponentModule();
  ComponentModule(const ComponentModule&) = delete;
  ComponentModule& operator=(const ComponentModule&) = delete;

  bool Loaded() const { return m_create != nullptr; }
  const std::string& Error() const { return m_error; }
  const ConverterDescription* Description() const;
  const char* Extensions() const;
  // A new converter object; null when the component could not make one.
  ConverterPtr Create() const;

 private:
  void* m_handle = nullptr;
  CreateObjectFunction m_create = nullptr;
  GetDescriptionFunction m_description = nullptr;
  GetExtensionsFunction m_extensions = nullptr;
  std::string m_error;
};

// The module file of a component ("Lumbrix" -> .../libLumbrix.so): in
// $QAP_BIN_DIR when set, else beside the running program.
std::string ComponentPath(const std::string& component);
