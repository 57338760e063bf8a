#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Reading a service's nested JSON arrays by index paths, as its answers are laid out. Every
// reader gives nothing (or null) when a step is not an array, is too short, or the value has
// another type, so an answer with parts missing or moved reads as one without those parts.
using JsonPathIndices = std::initializer_list<std::size_t>;

// "base[i][j]..." for log lines that name where a part was looked for.
std::string JsonPathText(std::string_view base, JsonPathIndices path);

// The element at the path, or null.
const nlohmann::json* JsonAt(const nlohmann::json& root, JsonPathIndices path);

// An integer that fits a long long.
std::optional<long long> JsonIntegerAt(const nlohmann::json& root, JsonPathIndices path);

// A finite number (integer or not).
std::optional<double> JsonNumberAt(const nlohmann::json& root, JsonPathIndices path);

// A string.
std::optional<std::string> JsonTextAt(const nlohmann::json& root, JsonPathIndices path);

}  // namespace korvane
