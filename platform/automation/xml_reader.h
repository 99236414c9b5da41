// A reader for the small XML documents of interface descriptions: elements,
// attributes, comments, the XML declaration and a document type line.
// Character data between elements is not kept.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qap::automation {

struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in document order
  std::vector<XmlElement> children;

  // The attribute's value (entities resolved), or null.
  const std::string* Attribute(std::string_view attributeName) const;
};

// False (with a message naming the line) for a document that is not well
// formed in these terms.
bool ParseXml(std::string_view text, XmlElement* root, std::string* error);

}  // namespace qap::automation
