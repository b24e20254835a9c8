#pragma once
namespace dravo {
inline constexpr const char* kProgramName = "dravo_srv";
inline constexpr const char* kProgramVersion = "v1.14";
inline constexpr const char* kVersionText = "dravo_srv v1.14";
}  // namespace dravo
