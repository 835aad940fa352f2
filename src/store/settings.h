#pragma once
// Start.ini, the settings file beside the program. There is no copy in
// memory: every value is read from the file when it is needed and written at
// once when it changes. Keys are spelled as the file has always spelled them
// ("Whith" included).
#include <array>
#include <string_view>

#include "platform/files.h"
#include "text/text.h"

namespace store {

struct SettingKey {
    std::string_view section;
    std::string_view key;
};

// Start: first-run state ("0" settings created, "1" help document written)
// and the password flag ("1" = a password is set).
inline constexpr SettingKey kStartNum{"Start", "Num"};
inline constexpr SettingKey kStartNum1{"Start", "Num1"};
// Outer size of the main window.
inline constexpr SettingKey kWindowWidth{"WH", "Whith"};
inline constexpr SettingKey kWindowHeight{"WH", "Height"};
// Colour scheme: colours as r + g*256 + b*65536, and the active scheme.
inline constexpr SettingKey kColorLog{"Color", "Log"};
inline constexpr SettingKey kColorContent{"Color", "Content"};
inline constexpr SettingKey kColorText1{"Color", "Text1"};
inline constexpr SettingKey kColorText2{"Color", "Text2"};
inline constexpr SettingKey kColorText3{"Color", "Text3"};
inline constexpr SettingKey kColorHome{"Color", "Home"};
inline constexpr SettingKey kColorText4{"Color", "Text4"};
inline constexpr SettingKey kColorText5{"Color", "Text5"};
inline constexpr SettingKey kColorNum{"Color", "Num"};
// Font scheme: face, four size indices, four style indices.
inline constexpr SettingKey kTextT1{"Text", "T1"};
inline constexpr SettingKey kTextT2{"Text", "T2"};
inline constexpr SettingKey kTextT3{"Text", "T3"};
inline constexpr SettingKey kTextT4{"Text", "T4"};
inline constexpr SettingKey kTextT5{"Text", "T5"};
inline constexpr SettingKey kTextT6{"Text", "T6"};
inline constexpr SettingKey kTextT7{"Text", "T7"};
inline constexpr SettingKey kTextT8{"Text", "T8"};
inline constexpr SettingKey kTextT9{"Text", "T9"};
// Directory icon index, reserved key, window opacity, last version string.
inline constexpr SettingKey kIconNum{"Icon", "Num"};
inline constexpr SettingKey kUpLoad{"Up", "Load"};
inline constexpr SettingKey kAlphaNum{"Alpha", "Num"};
inline constexpr SettingKey kConfigNumber{"Config", "Number"};

struct FirstRunValue {
    SettingKey key;
    std::string_view value;
};

// What a first run writes, in the order it writes it; sections are created in
// the order of their first write, so this order is the file's layout.
inline constexpr std::array<FirstRunValue, 25> kFirstRunValues{{
    {kStartNum, "0"},
    {kWindowWidth, "900"},
    {kWindowHeight, "600"},
    {kColorLog, "6311999"},
    {kColorContent, "15526636"},
    {kColorText1, "15526636"},
    {kColorText2, "6381404"},
    {kColorText3, "6381404"},
    {kColorHome, "15526636"},
    {kColorText4, "6381404"},
    {kColorText5, "15526636"},
    {kColorNum, "3"},
    {kStartNum1, "0"},
    {kTextT1, "0"},
    {kTextT2, "8"},
    {kTextT3, "4"},
    {kTextT4, "6"},
    {kTextT5, "6"},
    {kTextT6, "1"},
    {kTextT7, "0"},
    {kTextT8, "1"},
    {kTextT9, "1"},
    {kIconNum, "2"},
    {kUpLoad, "0"},
    {kAlphaNum, "255"},
}};

// Program folder + "\Start.ini", built afresh on every call.
Text SettingsPath(platform::Files& files);

Text ReadSetting(platform::Files& files, const Text& section, const Text& key);
Text ReadSetting(platform::Files& files, SettingKey key);
// The program's text-to-integer conversion of the value: "" and non-numeric
// text give 0.
long long ReadSettingInteger(platform::Files& files, const Text& section, const Text& key);
long long ReadSettingInteger(platform::Files& files, SettingKey key);
// True when the file holds the value afterwards; callers may ignore it.
bool WriteSetting(platform::Files& files, const Text& section, const Text& key, const Text& value);
bool WriteSetting(platform::Files& files, SettingKey key, const Text& value);

// The mode test's half that the settings file holds: Start/Num1 reads "1"
// once a password is set (a run may still have chosen PlainMode).
bool IsPasswordSet(platform::Files& files);

// First-run test: when Start.ini does not exist or Start/Num reads empty,
// writes every first-run value in order, each with its own write. True when
// it did so.
bool InitialiseSettingsIfNew(platform::Files& files);

// The minimum main-window size rule.
struct WindowSize {
    long long width = 0;
    long long height = 0;
    bool rewrite = false;  // WH/Whith and WH/Height must be written as the size
};
inline constexpr long long kMinimumWindowWidth = 640;
inline constexpr long long kMinimumWindowHeight = 480;
inline constexpr long long kDefaultWindowWidth = 900;
inline constexpr long long kDefaultWindowHeight = 600;

// From the applied outer size: below 640 wide or 480 high becomes 900 x 600,
// to be written back; anything else stays.
WindowSize ApplyMinimumWindowSize(long long width, long long height);

// WH/Whith then WH/Height as decimal text.
void WriteWindowSize(platform::Files& files, long long width, long long height);

}  // namespace store
