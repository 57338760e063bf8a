#pragma once

namespace korvane {

// The product's own texts, in one place.
inline constexpr const char* ApplicationTitle = "Korvane";
inline constexpr const char* MainWindowCaption = "Korvane 3.0";
inline constexpr const char* HomePageAddress = "https://korvane.example.org/";
inline constexpr const char* ContactAddress = "support@korvane.example.org";

// Companion programs and the manual, in the program folder.
inline constexpr const char* ImageViewerProgram = "pictoscope";
inline constexpr const char* ImageCombinerProgram = "mosaicker";
inline constexpr const char* HelpFileName = "help/help.html";

}  // namespace korvane
