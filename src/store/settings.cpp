#include "store/settings.h"

#include "store/profile.h"

namespace store {

Text SettingsPath(platform::Files& files) {
    return files.ProgramFolder() + "\\Start.ini";
}

Text ReadSetting(platform::Files& files, const Text& section, const Text& key) {
    return ReadProfileKey(files, SettingsPath(files), section, key);
}

Text ReadSetting(platform::Files& files, SettingKey key) {
    return ReadSetting(files, Text(key.section), Text(key.key));
}

bool IsPasswordSet(platform::Files& files) {
    return ReadSetting(files, kStartNum1) == "1";
}

long long ReadSettingInteger(platform::Files& files, const Text& section, const Text& key) {
    return text::ToInteger(ReadSetting(files, section, key));
}

long long ReadSettingInteger(platform::Files& files, SettingKey key) {
    return text::ToInteger(ReadSetting(files, key));
}

bool WriteSetting(platform::Files& files, const Text& section, const Text& key, const Text& value) {
    return WriteProfileKey(files, SettingsPath(files), section, key, value);
}

bool WriteSetting(platform::Files& files, SettingKey key, const Text& value) {
    return WriteSetting(files, Text(key.section), Text(key.key), value);
}

bool InitialiseSettingsIfNew(platform::Files& files) {
    if (files.Exists(SettingsPath(files)) && !ReadSetting(files, kStartNum).empty()) return false;
    for (const FirstRunValue& entry : kFirstRunValues)
        WriteSetting(files, entry.key, Text(entry.value));
    return true;
}

WindowSize ApplyMinimumWindowSize(long long width, long long height) {
    if (height < kMinimumWindowHeight || width < kMinimumWindowWidth)
        return {kDefaultWindowWidth, kDefaultWindowHeight, true};
    return {width, height, false};
}

void WriteWindowSize(platform::Files& files, long long width, long long height) {
    WriteSetting(files, kWindowWidth, DecimalText(width));
    WriteSetting(files, kWindowHeight, DecimalText(height));
}

}  // namespace store
