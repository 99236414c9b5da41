// An environment variable set for the life of the object and put back as
// it was afterwards: how the demo's steps point programs they start at their
// own buses, routes and scripts.
#pragma once

#include <stdlib.h>

#include <string>

namespace qap {

class EnvironmentValue {
 public:
  EnvironmentValue(const char* name, const std::string& value) : m_name(name) {
    if (const char* previous = getenv(name)) {
      m_previous = previous;
      m_had = true;
    }
    setenv(name, value.c_str(), 1);
  }
  ~EnvironmentValue() {
    if (m_had) {
      setenv(m_name, m_previous.c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }
  EnvironmentValue(const EnvironmentValue&) = delete;
  EnvironmentValue& operator=(const EnvironmentValue&) = delete;

 private:
  const char* m_name;
  std::string m_previous;
  bool m_had = false;
};

}  // namespace qap
