#include "lookup/JsonPath.h"

#include <cmath>
#include <limits>

namespace korvane {

using Json = nlohmann::json;

std::string JsonPathText(std::string_view base, JsonPathIndices path) {
  std::string text(base);
  for (const std::size_t index : path)
    text += "[" + std::to_string(index) + "]";
  return text;
}

const Json* JsonAt(const Json& root, JsonPathIndices path) {
  const Json* node = &root;
  for (const std::size_t index : path) {
    if (!node->is_array() || index >= node->size()) return nullptr;
    node = &(*node)[index];
  }
  return node;
}

std::optional<long long> JsonIntegerAt(const Json& root, JsonPathIndices path) {
  const Json* node = JsonAt(root, path);
  if (node == nullptr) return std::nullopt;
  if (node->is_number_integer() && !node->is_number_unsigned()) return node->get<long long>();
  if (node->is_number_unsigned()) {
    const auto value = node->get<unsigned long long>();
    if (value <= static_cast<unsigned long long>(std::numeric_limits<long long>::max())) {
      return static_cast<long long>(value);
    }
  }
  return std::nullopt;
}

std::optional<double> JsonNumberAt(const Json& root, JsonPathIndices path) {
  const Json* node = JsonAt(root, path);
  if (node == nullptr || !node->is_number()) return std::nullopt;
  const double value = node->get<double>();
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::string> JsonTextAt(const Json& root, JsonPathIndices path) {
  const Json* node = JsonAt(root, path);
  if (node == nullptr || !node->is_string()) return std::nullopt;
  return node->get<std::string>();
}

}  // namespace korvane
