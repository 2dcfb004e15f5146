#pragma once
// Small procedures that every part of the program calls.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/random_int.hpp"
#include "platform/control_array.hpp"
#include "platform/files.hpp"

namespace platform {
class Control;
class Form;
class Image;
class ListBox;
class PictureBox;
class Random;
class Clock;
}  // namespace platform

namespace tw {
class Tablewright;

// The whole file with every "&amp;" replaced by "&" in one pass; "" when it cannot be read.
std::string ReadFileText(const std::filesystem::path& path);
// The same text, or nullopt when the file cannot be read or is larger than max_bytes.
std::optional<std::string> ReadFileTextIfReadable(const std::filesystem::path& path,
                                                  std::size_t max_bytes = platform::kMaxReadBytes);
// The text that a file's bytes give to the two readers above.
std::string DecodeFileText(const std::string& bytes);

// Writes text as the whole file, atomically, creating a missing folder (one level). False when
// the file could not be written; the old file is then left whole.
bool WriteFileText(const std::string& text, const std::filesystem::path& path);

// A whole number from max(low, 1) to high (high 0 or below gives 1): floor(high * r + 1),
// drawn again while below low. Low above what any draw can give returns low.
std::int32_t RandomInt(Tablewright& tw, std::int32_t low, std::int32_t high);

// An ordinary file (no folder, no dot-file); a path ending in a separator asks whether that
// folder holds one. Names are literal: no wildcards. False for "".
bool FileExists(const std::filesystem::path& path);

// Blocks the program for that time; no events are handled.
void SleepMs(Tablewright& tw, std::int32_t ms);

bool IsWinXP();
bool IsWin2000();

// The address trimmed, "http://" put in front unless it starts with a scheme ("https://..."),
// commas removed; "" for blanks only.
std::string NormaliseUrl(const std::string& url);
// Opens the normalised address in the user's browser; nothing for blanks.
void OpenUrl(Tablewright& tw, const std::string& url);

// Starts a program of the program folder, named as the program names it (for example the log
// viewer in "Utilities"), as a process of its own: minimised, never waited for. False when it
// is missing or cannot be started.
bool StartProgramOfFolder(Tablewright& tw, std::string_view windows_name);

std::string IpToString(const std::array<std::uint8_t, 4>& bytes);

// Fills list with the two guide lines and the machine's IPv4 addresses, less loopback and those
// starting "192".
void ListLocalIPs(Tablewright& tw, platform::ListBox& list);
// The same from a given address table (dotted decimal, the system's order).
void ListLocalIPs(Tablewright& tw, platform::ListBox& list, const std::vector<std::string>& table);

void SetTopMost(Tablewright& tw, platform::Form& form, bool on_top);

// Field index (from 0) of text split at sep; the whole text when sep does not occur; "" for "".
// An index outside the fields raises rt::RuntimeError 9.
std::string GetField(const std::string& text, const std::string& sep, std::int16_t index);

void RestoreWndProc();

// Makes the font file (relative names are in the program folder) available to this program.
// Silent on any failure.
void InstallFont(Tablewright& tw, const std::string& file_name);

// Draws the user's attention to the window when interval is above 0.
void FlashWindowAlert(Tablewright& tw, platform::Form& form, std::int32_t interval, std::int32_t count);

// 0: both Ctrl keys down; 1: the left; 2: the right; other: either.
bool IsCtrlDown(Tablewright& tw, std::int32_t which);

bool InitCommonControls();

// Loads the picture when FileExists(path); otherwise the control keeps its picture. A file that
// is no picture raises rt::RuntimeError 481.
void LoadPictureIfExists(platform::PictureBox& box, const std::filesystem::path& path);
void LoadPictureIfExists(platform::Image& image, const std::filesystem::path& path);

// A picture stored with a window: the file of that name in the program folder's Buttons
// folder. A missing or unreadable file leaves the image as it was.
void LoadWindowPicture(Tablewright& tw, platform::Image& image, const std::string& file);

template <class T>
bool IsControlLoaded(const platform::ControlArray<T>& array, int index) {
    return array.exists(index);
}

bool IsOddNumber(std::int32_t n);
// Blanks around, a sign and a fraction (rounded) accepted; false for "", blanks, other
// characters or a value beyond 32 bits.
bool IsNumber(const std::string& text);

// Translucent windows and click-through panels are not offered: these do nothing.
void SetWindowAlpha(platform::Form& form, std::uint8_t alpha);
void SetClickThrough(platform::Control& control);

// Heads (true) or tails, each with chance one half.
bool FlipCoin(Tablewright& tw);

}  // namespace tw
