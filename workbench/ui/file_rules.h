#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::workbench {

inline constexpr std::string_view kCaptionPrefix = "Korvane - ";
inline constexpr std::string_view kUntitledName = "untitled.kvs";
inline constexpr std::string_view kScriptExtension = ".kvs";
inline constexpr std::string_view kScriptFilter = "Korvane script (*.kvs)";
// Build's save dialog filter, as description and pattern pairs separated by "|".
inline constexpr std::string_view kExecutableFilter = "Executable|*.exe";
inline constexpr std::string_view kLoadErrorPrefix = "Error loading file ";
inline constexpr std::string_view kSaveErrorText = "Error saving file";
inline constexpr std::string_view kHelpPage = "Help/html/index.html";
// Larger script files are refused rather than read into the editor whole.
inline constexpr std::size_t kMaxScriptFileSize = std::size_t{64} << 20;
inline constexpr std::size_t kMaxSaveAsNameLength = 100;

// "Korvane - " and the file name without its folders.
std::string CaptionFor(std::string_view path);

// The name the Save-as dialog offers: the caption after "Korvane - ", at most 100 characters.
std::string SaveAsSuggestion(std::string_view caption);

// The path Save as writes: ".kvs" is added only when the chosen path has no "." anywhere, so
// a folder with a dot in its name keeps an extension-less file name as chosen.
std::string SaveAsTarget(std::string_view chosenPath);

// The file name shown for a recent entry.
std::string RecentLabel(std::string_view path);

// A "description|pattern|description|pattern" filter in the form Qt's file dialogs take:
// "description (pattern);;description (pattern)".
std::string QtFileFilter(std::string_view pairs);

std::filesystem::path HelpPagePath(const std::filesystem::path& executableFolder);

}  // namespace korvane::workbench
