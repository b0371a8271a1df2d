#include "documents/module/xml_part.h"

#include <vector>

#include "documents/module/refusal.h"

namespace verko::documents {

void ParsePart(const std::string& bytes, const std::string& name, pugi::xml_document& document) {
  // Blanks between tags are kept: a run of text may be a single space.
  const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype;
  const pugi::xml_parse_result result =
      document.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
  if (!result) {
    throw Refusal("文書の部分 " + name + " の XML が壊れています（" + result.description() +
                  "）。");
  }
  for (const pugi::xml_node& node : document.children()) {
    if (node.type() == pugi::node_doctype) {
      throw Refusal("文書の部分 " + name +
                    " に DTD（実体宣言）があります。実体の展開による攻撃を防ぐため読み込みま"
                    "せん。");
    }
  }
}

std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_attribute AttributeOf(const pugi::xml_node& node, std::string_view name) {
  for (const pugi::xml_attribute& attribute : node.attributes()) {
    std::string_view full = attribute.name();
    const std::size_t colon = full.find(':');
    if ((colon == std::string_view::npos ? full : full.substr(colon + 1)) == name) {
      return attribute;
    }
  }
  return pugi::xml_attribute();
}

pugi::xml_node ChildOf(const pugi::xml_node& node, std::string_view name) {
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_element && LocalName(child) == name) return child;
  }
  return pugi::xml_node();
}

void CheckDepth(int depth) {
  if (depth > kMaxDepth) throw Refusal("文書の構造の入れ子が深すぎます。");
}

std::string ResolveTarget(const std::string& from, const std::string& target) {
  std::string path;
  if (!target.empty() && target[0] == '/') {
    path = target.substr(1);
  } else {
    const std::size_t slash = from.rfind('/');
    path = (slash == std::string::npos ? std::string() : from.substr(0, slash + 1)) + target;
  }
  // "a/b/../c" → "a/c"
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const std::string& part : parts) resolved += (resolved.empty() ? "" : "/") + part;
  return resolved;
}

}  // namespace verko::documents
